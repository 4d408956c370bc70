#pragma once

#include "DefinitionContext.h"
#include "TGTASFile.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class LoadProgress;
struct TGTASObjsObj;
class TIDEFile;
class TIPLFile;

enum class DatPass { IDE, IPL };

// The loaded game's map files, built from its DAT file, and every line of that DAT file
// so the DAT editor can change and write it back. Files are addressed by position:
// IDE files in DAT order, then IPL files in DAT order, then files added by the editors.
class TGTAFileList : public DefinitionContext {
public:
    std::vector<std::unique_ptr<TGTASFile>> Files;
    std::vector<std::string> DatLines; // every DAT line as last read, trimmed
    bool DatModified = false;

    // `gameDir` ends with the platform's separator; `viceCity` is the game mode.
    TGTAFileList(std::string gameDir, bool viceCity);
    ~TGTAFileList() override;
    TGTAFileList(const TGTAFileList&) = delete;
    TGTAFileList& operator=(const TGTAFileList&) = delete;

    int Count() const { return static_cast<int>(Files.size()); }
    TGTASFile* File(int pos) const;
    TIDEFile* IDEFile(int pos) const; // nullptr when out of range or not an IDE file
    TIPLFile* IPLFile(int pos) const; // nullptr when out of range or not an IPL file

    // Reads the DAT file (again) and loads the map files of one pass: IDE lines in the IDE
    // pass, IPL and MAPZONE lines in the IPL pass. A map file that cannot be read stays in
    // the list, empty. Returns the error code of reading the DAT file.
    int LoadDat(DatPass pass, LoadProgress* progress = nullptr);

    // Writes DatLines back, each ended by CR LF. Clearing DatModified is the caller's business.
    int SaveDat();

    // Gives a file of this game its folder and mode; a file opened by an editor gets them
    // before it is read, as AddFile gives them to every file that joins.
    void PrepareFile(TGTASFile& file) const;

    // Appends a created or opened file and returns its position.
    int AddFile(std::unique_ptr<TGTASFile> file);

    // Destroys the file; later files move down by one.
    void RemoveFile(int pos);

    // The largest ID of the objs and tobj sections of every IDE file, 0 when none.
    int HighestID() const override;

    // The archive set answers texture dictionary lookups once it exists; until then, -1.
    void SetTextureDictionaryLookup(std::function<int(std::string_view)> lookup);
    int FindTextureDictionary(std::string_view name) const override;

    // For every IDE file in order, hands the first objs record and then the first tobj record
    // with this ID to `draw` (the secondary model view draws a definition so).
    void DrawDefinitionsByID(int id, const std::function<void(TGTASObjsObj&)>& draw);

    // An archive entry was added or deleted: definitions using it look their dictionary up again.
    void TextureEntryChanged(std::string_view entryName);

    const std::string& GameDir() const { return m_gameDir; }
    bool IsViceCity() const { return m_viceCity; }

    // "data\gta_vc.dat" for Vice City, else "data\gta3.dat"; and its path on disk.
    static std::string DatName(bool viceCity);
    std::string DatName() const { return DatName(m_viceCity); }
    std::string DatPath() const;

private:
    std::string m_gameDir;
    bool m_viceCity;
    std::function<int(std::string_view)> m_textureLookup;
};
