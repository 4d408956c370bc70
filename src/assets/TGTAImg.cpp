#include "TGTAImg.h"

#include "EntryNames.h"
#include "FileIO.h"

#include "GamePaths.h"
#include "LoadProgress.h"
#include "Log.h"
#include "ProgramSettings.h"
#include "SystemFiles.h"
#include "TGTAFileList.h"
#include "TextParser.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

// The radar tiles "radar00" to "radar63" stay loaded for the background map.
bool isRadarTile(std::string_view name)
{
    return name.size() == 7 && name.starts_with("radar");
}

} // namespace

TGTAImg::TGTAImg(std::string gameDir, bool compressedTextures, TextureUploader* uploader, LoadProgress* progress)
    : TGTA3Archive(resolveGamePath(gameDir, "models\\gta3.img"), false), m_gameDir(std::move(gameDir)),
      m_compressedTextures(compressedTextures), m_uploader(uploader)
{
    ModelsUnavailable = !Opened;
    TexturesUnavailable = !Opened;
    if (!m_compressedTextures) {
        const std::string txdImage = gameFile("models\\txd.img");
        std::error_code ignored;
        if (std::filesystem::exists(systemfiles::pathFromUtf8(txdImage), ignored)) {
            TxdArchive = std::make_unique<TGTA3Archive>(txdImage, false);
            TexturesUnavailable = TexturesUnavailable || !TxdArchive->Opened;
        } else {
            TexturesUnavailable = true;
        }
    }
    FreePending = false;
    loadContents(progress);
}

TGTAImg::~TGTAImg() = default;

std::string TGTAImg::gameFile(std::string_view relative) const
{
    return resolveGamePath(m_gameDir, relative);
}

void applyArchiveAvailability(const TGTAImg& set, ProgramSettings& settings)
{
    if (set.TexturesUnavailable) {
        settings.LoadTextures = false;
        settings.SkipTextures = false;
    }
    if (set.ModelsUnavailable)
        settings.LoadModels = false;
}

void TGTAImg::loadContents(LoadProgress* progress)
{
    if (progress)
        progress->SetPartText("Generic Textures");
    loadGeneric();
    TxdCount = 1;
    DffCount = 0;
    if (m_compressedTextures) {
        scanArchive(*this, true, true, progress);
    } else {
        scanArchive(*this, true, false, progress);
        if (TxdArchive && TxdArchive->Opened)
            scanArchive(*TxdArchive, false, true, progress);
    }
    BuildTxdIndex();
    BuildDffIndex();
}

void TGTAImg::loadGeneric()
{
    // Without "generic" every later position would shift, so a missing file still gives an
    // empty dictionary at position 0; the load sequence reports `GenericError`.
    const std::string path = gameFile("models\\generic.txd");
    std::vector<std::uint8_t> bytes;
    std::ifstream in(systemfiles::pathFromUtf8(path), std::ios::binary);
    if (!in) {
        GenericError = errno != 0 ? errno : ENOENT;
        logLine("cannot open " + path + ": " + std::strerror(GenericError));
    } else {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            GenericError = EIO;
            bytes.clear();
        }
    }
    const auto length = static_cast<std::int64_t>(bytes.size());
    m_genericBytes = std::make_unique<MemoryByteSource>(std::move(bytes));
    Txds.clear();
    Txds.push_back(std::make_unique<TGTATxd>(m_genericBytes.get(), length, 0, "generic", m_uploader));
    Txds.front()->Load();
}

void TGTAImg::scanArchive(const TGTA3Archive& archive, bool withModels, bool withDictionaries,
                          LoadProgress* progress)
{
    if (progress)
        progress->SetPartText("Parsing Archive Contents");

    enum class Kind : std::uint8_t { Neither, Dictionary, Model };
    std::vector<Kind> kinds(archive.Entries.size(), Kind::Neither);
    std::vector<std::string_view> names(archive.Entries.size());
    int newDictionaries = 0;
    int newModels = 0;
    for (std::size_t pos = 0; pos < archive.Entries.size(); ++pos) {
        names[pos] = archive.Entries[pos].TrimmedView();
        const std::string_view extension = extensionOf(names[pos]);
        if (withDictionaries && equalsIgnoringCase(extension, ".txd")) {
            kinds[pos] = Kind::Dictionary;
            ++newDictionaries;
        } else if (withModels && equalsIgnoringCase(extension, ".dff")) {
            kinds[pos] = Kind::Model;
            ++newModels;
        }
    }
    if (progress)
        progress->SetPartMax(newDictionaries + newModels);
    if (archive.EntryCount() == 0)
        return;

    Txds.reserve(Txds.size() + static_cast<std::size_t>(newDictionaries));
    Dffs.reserve(Dffs.size() + static_cast<std::size_t>(newModels));
    const ByteSource& source = archive.ImgSource();
    for (std::size_t pos = 0; pos < archive.Entries.size(); ++pos) {
        if (kinds[pos] == Kind::Neither)
            continue;
        const TImgEntry& entry = archive.Entries[pos];
        const std::int64_t offset = std::int64_t{entry.Offset} * 2048;
        const std::int64_t length = std::int64_t{entry.Size} * 2048;
        if (progress)
            progress->SetPartText(names[pos]);
        if (kinds[pos] == Kind::Dictionary)
            Txds.push_back(std::make_unique<TGTATxd>(&source, length, offset, names[pos], m_uploader));
        else
            Dffs.push_back(std::make_unique<TGTADff>(&source, length, offset, names[pos]));
        if (progress)
            progress->StepPart();
    }
    TxdCount = static_cast<int>(Txds.size());
    DffCount = static_cast<int>(Dffs.size());
}

void TGTAImg::BuildTxdIndex()
{
    std::vector<std::string_view> names;
    names.reserve(Txds.size());
    for (const auto& txd : Txds)
        names.push_back(TrimText(txd->Name));
    m_txdNameIndex.build(names);
}

void TGTAImg::BuildDffIndex()
{
    std::vector<std::string_view> names;
    names.reserve(Dffs.size());
    for (const auto& dff : Dffs)
        names.push_back(TrimText(dff->Name));
    m_dffNameIndex.build(names);
}

int TGTAImg::FindTxd(std::string_view name) const
{
    if (TxdCount >= 1 && equalsIgnoringCase(name, "generic"))
        return 0;
    return m_txdNameIndex.find(name);
}

int TGTAImg::FindDff(std::string_view name) const
{
    return m_dffNameIndex.find(name);
}

bool TGTAImg::TxdExists(std::string_view name) const
{
    if (equalsIgnoringCase(name, "generic"))
        return true;
    return FindEntry(withExtension(name, ".txd")) != -1;
}

bool TGTAImg::DffExists(std::string_view name) const
{
    return FindEntry(withExtension(name, ".dff")) != -1;
}

int TGTAImg::AddFile(const std::string& name, std::istream& source)
{
    const int countBefore = EntryCount();
    if (const int error = TGTA3Archive::AddFile(name, source))
        return error;
    if (EntryCount() <= countBefore)
        return 0;

    const TImgEntry& entry = Entries.back();
    const std::string trimmed = entry.TrimmedName();
    const std::string_view extension = extensionOf(trimmed);
    const std::int64_t offset = std::int64_t{entry.Offset} * 2048;
    const std::int64_t length = std::int64_t{entry.Size} * 2048;
    if (m_compressedTextures && equalsIgnoringCase(extension, ".txd")) {
        Txds.push_back(std::make_unique<TGTATxd>(&ImgSource(), length, offset, trimmed, m_uploader));
        TxdCount = static_cast<int>(Txds.size());
        BuildTxdIndex();
        // The archive told the definitions before the dictionary existed; now they can find it.
        if (EntryChanged)
            EntryChanged(trimmed);
    } else if (equalsIgnoringCase(extension, ".dff")) {
        Dffs.push_back(std::make_unique<TGTADff>(&ImgSource(), length, offset, trimmed));
        DffCount = static_cast<int>(Dffs.size());
        BuildDffIndex();
    }
    return 0;
}

int TGTAImg::ReplaceFile(const std::string& name, std::istream& source)
{
    const std::string trimmed(TrimText(name));
    if (FindEntry(trimmed) < 0)
        return AddFile(name, source);
    if (const int error = ReplaceEntry(name, source))
        return error;
    const TImgEntry& added = Entries.back();
    const std::int64_t offset = std::int64_t{added.Offset} * 2048;
    const std::int64_t length = std::int64_t{added.Size} * 2048;
    const std::string_view extension = extensionOf(trimmed);
    const std::string_view base = withoutExtension(trimmed);
    const int model = equalsIgnoringCase(extension, ".dff") ? FindDff(base) : -1;
    const int dictionary = m_compressedTextures && equalsIgnoringCase(extension, ".txd") ? FindTxd(base) : -1;
    if (model >= 0 && Dffs[static_cast<std::size_t>(model)]->Stream == &ImgSource()) {
        TGTADff& object = *Dffs[static_cast<std::size_t>(model)];
        if (object.Loaded)
            object.Unload();
        object.Offset = offset;
        object.Length = length;
    } else if (dictionary > 0) {
        Txds[static_cast<std::size_t>(dictionary)]->SetSource(&ImgSource(), offset, length);
    } else if (equalsIgnoringCase(extension, ".dff")) {
        Dffs.push_back(std::make_unique<TGTADff>(&ImgSource(), length, offset, trimmed));
        DffCount = static_cast<int>(Dffs.size());
        BuildDffIndex();
    } else if (m_compressedTextures && equalsIgnoringCase(extension, ".txd")) {
        Txds.push_back(std::make_unique<TGTATxd>(&ImgSource(), length, offset, trimmed, m_uploader));
        TxdCount = static_cast<int>(Txds.size());
        BuildTxdIndex();
    }
    return 0;
}

int TGTAImg::SaveTxd(int index, std::span<const std::uint8_t> bytes)
{
    if (index < 0 || index >= TxdCount)
        return EINVAL;
    TGTATxd& dictionary = *Txds[static_cast<std::size_t>(index)];
    const std::string_view contents(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (index == 0) {
        if (const int error = replaceFileContents(gameFile("models\\generic.txd"), contents))
            return error;
        dictionary.Unload();
        m_genericBytes = std::make_unique<MemoryByteSource>(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        GenericError = 0;
        dictionary.SetSource(m_genericBytes.get(), 0, static_cast<std::int64_t>(bytes.size()));
        return 0;
    }
    TGTA3Archive& archive = m_compressedTextures || !TxdArchive ? *this : *TxdArchive;
    // The entry keeps the name it has, letter case and all.
    const int entry = archive.FindEntry(withExtension(dictionary.Name, ".txd"));
    const std::string name = entry >= 0 ? archive.Entries[static_cast<std::size_t>(entry)].TrimmedName()
                                        : withExtension(dictionary.Name, ".txd");
    std::istringstream source{std::string(contents)};
    if (&archive == this)
        return ReplaceFile(name, source);
    if (const int error = archive.ReplaceEntry(name, source))
        return error;
    const TImgEntry& added = archive.Entries.back();
    dictionary.SetSource(&archive.ImgSource(), std::int64_t{added.Offset} * 2048, std::int64_t{added.Size} * 2048);
    return 0;
}

int TGTAImg::Rebuild(ArchiveRebuildReport& report, const RebuildObserver& observer)
{
    const int error = TGTA3Archive::Rebuild(report, observer);
    if (!report.replaced || report.oldOffsets.size() != Entries.size())
        return error;
    // Old byte offset to new, for every entry that was kept; the first of equal offsets.
    std::vector<std::pair<std::int64_t, std::int64_t>> moves;
    moves.reserve(Entries.size());
    for (std::size_t pos = 0; pos < Entries.size(); ++pos)
        moves.emplace_back(std::int64_t{report.oldOffsets[pos]} * 2048, std::int64_t{Entries[pos].Offset} * 2048);
    std::stable_sort(moves.begin(), moves.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto follow = [&moves](auto& object) {
        const auto found = std::lower_bound(moves.begin(), moves.end(), object.Offset,
                                            [](const auto& move, std::int64_t offset) { return move.first < offset; });
        if (found != moves.end() && found->first == object.Offset && object.Length > 0) {
            object.Offset = found->second;
        } else {
            // Its entry was deleted: the bytes it pointed at are gone.
            object.Offset = 0;
            object.Length = 0;
        }
    };
    for (auto& model : Dffs) {
        if (model->Stream == &ImgSource())
            follow(*model);
    }
    if (m_compressedTextures) {
        for (std::size_t pos = 1; pos < Txds.size(); ++pos)
            follow(*Txds[pos]);
    }
    return error;
}

void TGTAImg::DrawModel(std::string_view name, int dictionaryIndex, ModelDrawTarget& target)
{
    const int index = FindDff(name);
    if (index == -1)
        return;
    TGTADff& model = *Dffs[static_cast<std::size_t>(index)];
    if (!model.Loaded)
        model.Load();
    model.Draw(dictionaryIndex, target);
    model.Used = true;
}

bool TGTAImg::DrawDefinitionModel(std::int32_t& modelIndex, std::string_view modelName, std::int32_t textureIndex,
                                  ModelDrawTarget& target)
{
    if (textureIndex >= 0 && textureIndex < TxdCount)
        Txds[static_cast<std::size_t>(textureIndex)]->Used = true;
    if (modelIndex == -1)
        modelIndex = FindDff(modelName);
    if (modelIndex < 0 || modelIndex >= DffCount)
        return false;
    TGTADff& model = *Dffs[static_cast<std::size_t>(modelIndex)];
    if (!model.Loaded)
        model.Load();
    model.Draw(textureIndex, target);
    model.Used = true;
    return true;
}

void TGTAImg::ResetUsage()
{
    FreePending = true;
    for (auto& model : Dffs)
        model->Used = false;
    for (auto& dictionary : Txds)
        dictionary->Used = false;
}

void TGTAImg::FreeUnused()
{
    for (std::size_t pos = 0; pos < Dffs.size(); ++pos) {
        TGTADff& model = *Dffs[pos];
        if (!model.Used && model.Loaded && !DffHeld(static_cast<int>(pos)))
            model.Unload();
    }
    for (std::size_t pos = 1; pos < Txds.size(); ++pos) {
        TGTATxd& dictionary = *Txds[pos];
        if (!dictionary.Used && dictionary.Loaded && !isRadarTile(dictionary.Name) && !TxdHeld(static_cast<int>(pos)))
            dictionary.Unload();
    }
}

namespace {

void changeHold(std::vector<int>& holds, int index, int count, int step)
{
    if (index < 0 || index >= count)
        return;
    const auto pos = static_cast<std::size_t>(index);
    if (pos >= holds.size())
        holds.resize(pos + 1, 0);
    holds[pos] = std::max(0, holds[pos] + step);
}

bool held(const std::vector<int>& holds, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < holds.size() && holds[static_cast<std::size_t>(index)] > 0;
}

} // namespace

void TGTAImg::HoldTxd(int index)
{
    changeHold(m_txdHolds, index, TxdCount, 1);
}

void TGTAImg::ReleaseTxd(int index)
{
    changeHold(m_txdHolds, index, TxdCount, -1);
}

bool TGTAImg::TxdHeld(int index) const
{
    return held(m_txdHolds, index);
}

void TGTAImg::HoldDff(int index)
{
    changeHold(m_dffHolds, index, DffCount, 1);
}

void TGTAImg::ReleaseDff(int index)
{
    changeHold(m_dffHolds, index, DffCount, -1);
}

bool TGTAImg::DffHeld(int index) const
{
    return held(m_dffHolds, index);
}

void TGTAImg::ConnectFileList(TGTAFileList& fileList)
{
    fileList.SetTextureDictionaryLookup([this](std::string_view name) { return FindTxd(name); });
    EntryChanged = [&fileList](std::string_view entryName) { fileList.TextureEntryChanged(entryName); };
}

TGTATxd* TGTAImg::loadedTxd(int dictionaryIndex)
{
    if (dictionaryIndex < 0 || dictionaryIndex >= TxdCount)
        return nullptr;
    TGTATxd& dictionary = *Txds[static_cast<std::size_t>(dictionaryIndex)];
    if (!dictionary.Loaded)
        dictionary.Load();
    return &dictionary;
}

std::uint32_t TGTAImg::textureId(int dictionaryIndex, std::string_view name)
{
    if (name.empty())
        return 0;
    TGTATxd* dictionary = loadedTxd(dictionaryIndex);
    const int texture = dictionary ? dictionary->FindTexture(name) : -1;
    if (texture < 0 || static_cast<std::size_t>(texture) >= dictionary->TextureIds.size())
        return 0;
    return dictionary->TextureIds[static_cast<std::size_t>(texture)];
}

std::uint32_t TGTAImg::maskTextureId(int dictionaryIndex, std::string_view maskName)
{
    if (maskName.empty())
        return 0;
    TGTATxd* dictionary = loadedTxd(dictionaryIndex);
    const int texture = dictionary ? dictionary->FindMask(maskName) : -1;
    if (texture < 0 || static_cast<std::size_t>(texture) >= dictionary->TextureIds.size())
        return 0;
    return dictionary->TextureIds[static_cast<std::size_t>(texture)];
}
