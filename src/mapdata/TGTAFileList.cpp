#include "TGTAFileList.h"

#include "FileIO.h"
#include "GamePaths.h"
#include "LoadProgress.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TextParser.h"

#include <algorithm>
#include <optional>

namespace {

// A DAT line is a keyword, a space and an argument; a line without a space carries no entry.
struct DatEntry {
    std::string_view keyword;
    std::string_view argument;
};

std::optional<DatEntry> datEntry(std::string_view line)
{
    if (line.empty() || line.front() == '#')
        return std::nullopt;
    const size_t space = line.find(' ');
    if (space == std::string_view::npos)
        return std::nullopt;
    return DatEntry{TrimText(line.substr(0, space)), TrimText(line.substr(space + 1))};
}

std::unique_ptr<TGTASFile> fileForEntry(DatPass pass, std::string_view keyword)
{
    if (pass == DatPass::IDE && equalsIgnoringCase(keyword, "IDE"))
        return std::make_unique<TIDEFile>();
    if (pass == DatPass::IPL && (equalsIgnoringCase(keyword, "IPL") || equalsIgnoringCase(keyword, "MAPZONE")))
        return std::make_unique<TIPLFile>();
    return nullptr;
}

} // namespace

TGTAFileList::TGTAFileList(std::string gameDir, bool viceCity) : m_gameDir(std::move(gameDir)), m_viceCity(viceCity)
{
}

TGTAFileList::~TGTAFileList() = default;

TGTASFile* TGTAFileList::File(int pos) const
{
    return pos >= 0 && pos < Count() ? Files[pos].get() : nullptr;
}

TIDEFile* TGTAFileList::IDEFile(int pos) const
{
    TGTASFile* file = File(pos);
    return file && file->Kind == FileKind::IDE ? static_cast<TIDEFile*>(file) : nullptr;
}

TIPLFile* TGTAFileList::IPLFile(int pos) const
{
    TGTASFile* file = File(pos);
    return file && file->Kind == FileKind::IPL ? static_cast<TIPLFile*>(file) : nullptr;
}

std::string TGTAFileList::DatName(bool viceCity)
{
    return viceCity ? "data\\gta_vc.dat" : "data\\gta3.dat";
}

std::string TGTAFileList::DatPath() const
{
    return resolveGamePath(m_gameDir, DatName());
}

int TGTAFileList::LoadDat(DatPass pass, LoadProgress* progress)
{
    LoadProgress idle;
    LoadProgress& report = progress ? *progress : idle;

    DatLines.clear();
    DatModified = false;
    report.SetPartText("Parsing DAT Contents");
    const int firstNew = Count();

    const int error = readLines(DatPath(), [&](std::string_view raw) {
        const std::string_view line = TrimText(raw);
        DatLines.emplace_back(line);
        const auto entry = datEntry(line);
        if (!entry)
            return;
        if (auto file = fileForEntry(pass, entry->keyword)) {
            file->FileName = entry->argument;
            file->RelativeToGame = true;
            AddFile(std::move(file));
        }
    });

    report.SetPartMax(Count() - firstNew);
    for (int pos = firstNew; pos < Count(); ++pos) {
        TGTASFile& file = *Files[pos];
        report.SetPartText(file.FileName);
        file.Load(file.FileName);
        report.StepPart();
    }
    return error;
}

int TGTAFileList::SaveDat()
{
    std::string text;
    // Reading takes one byte order mark off the start of the file: a first line that
    // begins with one of its own would lose it unless the file's mark precedes it.
    if (!DatLines.empty() && DatLines.front().starts_with(ByteOrderMark))
        text += ByteOrderMark;
    for (const std::string& line : DatLines) {
        text += line;
        text += "\r\n";
    }
    return replaceFileContents(DatPath(), text);
}

void TGTAFileList::PrepareFile(TGTASFile& file) const
{
    file.GameDir = m_gameDir;
    if (file.Kind == FileKind::IPL)
        static_cast<TIPLFile&>(file).Inst.ViceCity = m_viceCity;
}

int TGTAFileList::AddFile(std::unique_ptr<TGTASFile> file)
{
    if (!file)
        return -1;
    PrepareFile(*file);
    if (file->Kind == FileKind::IDE) {
        auto& ide = static_cast<TIDEFile&>(*file);
        ide.SetContext(this);
        // A file opened before it joined the list found no dictionaries yet.
        ide.Objs.ResolveAllTextures();
        ide.TObj.ResolveAllTextures();
    }
    Files.push_back(std::move(file));
    return Count() - 1;
}

void TGTAFileList::RemoveFile(int pos)
{
    if (File(pos))
        Files.erase(Files.begin() + pos);
}

int TGTAFileList::HighestID() const
{
    int highest = 0;
    for (int pos = 0; pos < Count(); ++pos) {
        if (const TIDEFile* ide = IDEFile(pos))
            highest = std::max({highest, ide->Objs.HighestID(), ide->TObj.HighestID()});
    }
    return highest;
}

void TGTAFileList::SetTextureDictionaryLookup(std::function<int(std::string_view)> lookup)
{
    m_textureLookup = std::move(lookup);
}

int TGTAFileList::FindTextureDictionary(std::string_view name) const
{
    return m_textureLookup ? m_textureLookup(name) : -1;
}

void TGTAFileList::TextureEntryChanged(std::string_view entryName)
{
    for (int pos = 0; pos < Count(); ++pos) {
        if (TIDEFile* ide = IDEFile(pos)) {
            ide->Objs.TextureEntryChanged(entryName);
            ide->TObj.TextureEntryChanged(entryName);
        }
    }
}

void TGTAFileList::DrawDefinitionsByID(int id, const std::function<void(TGTASObjsObj&)>& draw)
{
    for (int pos = 0; pos < Count(); ++pos) {
        TIDEFile* ide = IDEFile(pos);
        if (!ide)
            continue;
        for (TGTASObjsObj& record : ide->Objs.Items) {
            if (record.ID == id) {
                draw(record);
                break;
            }
        }
        for (TGTASTObjObj& record : ide->TObj.Items) {
            if (record.ID == id) {
                draw(record);
                break;
            }
        }
    }
}
