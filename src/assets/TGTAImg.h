#pragma once

#include "ByteSource.h"
#include "NameIndex.h"
#include "TGTA3Archive.h"
#include "TGTADff.h"
#include "TGTATxd.h"
#include "TextureLookup.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class LoadProgress;
class ModelDrawTarget;
class TextureUploader;
class TGTAFileList;
struct ProgramSettings;

// The archive set: the main archive "models\gta3.img" itself, plus one texture dictionary
// per dictionary entry of the texture source (with "generic" from the loose file
// "models\generic.txd" always at position 0) and one model per model entry. Models and
// dictionaries are created unloaded and loaded on first use; usage marks let those no
// frame draws any more be freed. Positions in `Txds` and `Dffs` never change in a run.
class TGTAImg : public TGTA3Archive, public TextureLookup {
public:
    // `compressedTextures`: the compressed-texture upload entry point is available, so
    // dictionaries come from the main archive; otherwise from "models\txd.img".
    // `uploader` turns decoded dictionaries into graphics textures (none for tools).
    // `gameDir` ends with the platform's separator.
    TGTAImg(std::string gameDir, bool compressedTextures, TextureUploader* uploader, LoadProgress* progress = nullptr);
    ~TGTAImg() override;

    int AddFile(const std::string& name, std::istream& source) override;
    // Adds the source as a new entry and removes every older entry of the same name. The
    // model or dictionary of that name reads the new entry from now on (it is reloaded on
    // its next use), so definitions that found it keep finding it.
    int ReplaceFile(const std::string& name, std::istream& source);
    // Writes a changed dictionary back to where it came from: "generic" to its loose file
    // (replaced whole or not at all), any other to its archive entry, replaced as above.
    // The dictionary is unloaded (with a graphics context current) and reads the new bytes
    // on its next use. On failure the old file or entry is as it was.
    int SaveTxd(int index, std::span<const std::uint8_t> bytes);
    // The archive's rebuild; models and dictionaries follow their entries to the new
    // offsets, and those whose entries are gone read nothing any more.
    int Rebuild(ArchiveRebuildReport& report, const RebuildObserver& observer = {}) override;

    int FindTxd(std::string_view name) const;
    int FindDff(std::string_view name) const;
    bool TxdExists(std::string_view name) const;
    bool DffExists(std::string_view name) const;

    void DrawModel(std::string_view name, int dictionaryIndex, ModelDrawTarget& target);
    // The drawing protocol of an object definition: marks its dictionary used, looks its
    // model up while `modelIndex` is -1, loads and draws it. False: draw the placeholder.
    bool DrawDefinitionModel(std::int32_t& modelIndex, std::string_view modelName, std::int32_t textureIndex,
                             ModelDrawTarget& target);

    void ResetUsage();
    // Unloads what no drawn record used, except "generic", the radar tiles and what is held.
    void FreeUnused();

    // A window that shows a dictionary or a model (the texture viewer, the secondary model
    // view) holds it, so that FreeUnused keeps it loaded while shown; every hold is matched
    // by one release. Positions out of range are ignored.
    void HoldTxd(int index);
    void ReleaseTxd(int index);
    bool TxdHeld(int index) const;
    void HoldDff(int index);
    void ReleaseDff(int index);
    bool DffHeld(int index) const;

    // Links the map data: definitions find their dictionaries here, and changes to the
    // archive's entries make them look again.
    void ConnectFileList(TGTAFileList& fileList);

    // What turns this set's dictionaries into graphics textures (null for tools).
    TextureUploader* Uploader() const { return m_uploader; }

    std::uint32_t textureId(int dictionaryIndex, std::string_view name) override;
    std::uint32_t maskTextureId(int dictionaryIndex, std::string_view maskName) override;

    std::unique_ptr<TGTA3Archive> TxdArchive;
    std::vector<std::unique_ptr<TGTATxd>> Txds;
    int TxdCount = 0;
    std::vector<std::unique_ptr<TGTADff>> Dffs;
    int DffCount = 0;
    bool FreePending = false;
    // 0, or the system's error code when "models\generic.txd" could not be read; the set
    // then still has an empty "generic" at position 0 and everything else.
    int GenericError = 0;
    // The main archive could not be opened: nothing can be drawn as a model.
    bool ModelsUnavailable = false;
    // The archive the dictionaries come from could not be opened or is missing.
    bool TexturesUnavailable = false;

    void BuildTxdIndex();
    void BuildDffIndex();

private:
    std::string gameFile(std::string_view relative) const;
    void loadContents(LoadProgress* progress);
    void loadGeneric();
    void scanArchive(const TGTA3Archive& archive, bool withModels, bool withDictionaries, LoadProgress* progress);
    TGTATxd* loadedTxd(int dictionaryIndex);

    std::string m_gameDir;
    bool m_compressedTextures = false;
    TextureUploader* m_uploader = nullptr;
    std::unique_ptr<MemoryByteSource> m_genericBytes;
    NameIndex m_txdNameIndex;
    NameIndex m_dffNameIndex;
    // Hold counts by position; shorter than the lists when the rest is not held.
    std::vector<int> m_txdHolds;
    std::vector<int> m_dffHolds;
};

// Turns the start-up flags off for what the set could not open: textures when their
// archive is missing or unopened, models (and textures) when the main archive is.
void applyArchiveAvailability(const TGTAImg& set, ProgramSettings& settings);
