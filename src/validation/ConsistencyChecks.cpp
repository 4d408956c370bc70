// The checks of the "Map Consistency" section: what the DAT file names against the disk,
// and values the game cannot use although each line reads well on its own.
#include "MapValidator.h"

#include "GamePaths.h"
#include "NumberText.h"
#include "ReportText.h"
#include "SystemFiles.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TextParser.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

// An archive entry name is 24 bytes with a terminating zero.
constexpr std::size_t LongestArchiveName = 23;

bool isMapFileKeyword(std::string_view keyword)
{
    return equalsIgnoringCase(keyword, "IDE") || equalsIgnoringCase(keyword, "IPL")
        || equalsIgnoringCase(keyword, "MAPZONE");
}

bool hasMapFileExtension(const fs::path& path)
{
    const std::string extension = systemfiles::utf8FromPath(path.extension());
    return equalsIgnoringCase(extension, ".ide") || equalsIgnoringCase(extension, ".ipl");
}

// The same file whatever the spelling of the path; the path itself when that fails.
std::string identity(const fs::path& path)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    std::string text = systemfiles::utf8FromPath(error ? path.lexically_normal() : canonical);
#ifdef _WIN32
    // Windows names one file in any letter case, and its canonical form keeps the case given.
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
#endif
    return text;
}

} // namespace

std::vector<std::pair<std::string, int>> MapValidator::datMapFiles() const
{
    std::vector<std::pair<std::string, int>> names;
    for (std::size_t index = 0; index < m_files.DatLines.size(); ++index) {
        const std::string& line = m_files.DatLines[index];
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t space = line.find(' ');
        if (space == std::string::npos)
            continue;
        const std::string_view text = line;
        if (isMapFileKeyword(TrimText(text.substr(0, space))))
            names.emplace_back(TrimText(text.substr(space + 1)), static_cast<int>(index));
    }
    return names;
}

void MapValidator::checkDatFilesOnDisk()
{
    check("DAT Map Files on Disk");
    const std::string dat = TGTAFileList::DatName(m_viceCity);
    for (const auto& [name, index] : datMapFiles()) {
        std::error_code error;
        if (!fs::is_regular_file(systemfiles::pathFromUtf8(resolveGamePath(m_gameDir, name)), error))
            add(FindingSeverity::Error, dat, -1, {},
                "Error @ file " + dat + " [DAT] -1 = Map File: " + inQuotes(name) + " Not Found On Disk! ")
                .lineNumber = index + 1; // DatLines holds every line of the DAT file
    }
    finishCheck();
}

void MapValidator::checkFilesNotInDat()
{
    check("Map Files Not in DAT");
    std::set<std::string> named;
    for (const auto& [name, index] : datMapFiles())
        named.insert(identity(systemfiles::pathFromUtf8(resolveGamePath(m_gameDir, name))));

    const fs::path game = systemfiles::pathFromUtf8(m_gameDir);
    const fs::path data = systemfiles::pathFromUtf8(resolveGamePath(m_gameDir, "data"));
    std::vector<std::string> unnamed;
    std::error_code error;
    for (fs::recursive_directory_iterator it(data, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored) || !hasMapFileExtension(it->path()))
            continue;
        if (named.count(identity(it->path())))
            continue;
        // Named as the DAT file would name it: relative to the game folder, with backslashes.
        std::string name = systemfiles::utf8FromPath(it->path().lexically_relative(game));
        std::replace(name.begin(), name.end(), '/', '\\');
        unnamed.push_back(name);
    }
    std::sort(unnamed.begin(), unnamed.end());
    for (const std::string& name : unnamed)
        add(FindingSeverity::Warning, name, -1, {},
            "Warning @ file " + name + " [DAT] -1 = Map File Not Named In " + TGTAFileList::DatName(m_viceCity) + "! ");
    finishCheck();
}

void MapValidator::checkObjsAlsoTimed()
{
    check("IDs in Objs and TObj");
    for (int file = 0; file < m_files.Count(); ++file) {
        const TIDEFile* ide = m_files.IDEFile(file);
        if (!ide)
            continue;
        for (int pos = 0; pos < ide->Objs.Count(); ++pos) {
            const TGTASObjsObj& record = ide->Objs.Items[static_cast<std::size_t>(pos)];
            const TimedDefinition* timed = findTObj(record.ID);
            if (!timed)
                continue;
            const std::string& timedFile = m_files.File(timed->file)->FileName;
            add(FindingSeverity::Warning, ide->FileName, record.ID, record.ModelName,
                "Warning @ file " + ide->FileName + " [OBJS] " + std::to_string(record.ID) + " = Model: " +
                    inQuotes(record.ModelName) + " ID Also Defined As TOBJ In " + timedFile + "! ",
                {file, &ide->Objs, pos});
        }
    }
    finishCheck();
}

void MapValidator::checkNameLengths()
{
    check("Name Lengths");
    auto visit = [&](const std::string& file, const char* tag, const TGTASObjsObj& record, const RecordAt& at) {
        const std::string prefix = "Error @ file " + file + " [" + tag + "] " + std::to_string(record.ID) + " = ";
        if (record.ModelName.size() > LongestArchiveName)
            add(FindingSeverity::Error, file, record.ID, record.ModelName,
                prefix + "Model: " + inQuotes(record.ModelName) + " Name Longer Than 23 Characters! ", at);
        if (record.TextureName.size() > LongestArchiveName)
            add(FindingSeverity::Error, file, record.ID, record.ModelName,
                prefix + "Texture: " + inQuotes(record.TextureName) + " Name Longer Than 23 Characters! ", at);
    };
    forEachDefinition(visit);
    finishCheck();
}

void MapValidator::checkRotations()
{
    check("Instance Rotations");
    for (int file = 0; file < m_files.Count(); ++file) {
        const TIPLFile* ipl = m_files.IPLFile(file);
        if (!ipl)
            continue;
        for (int pos = 0; pos < ipl->Inst.Count(); ++pos) {
            const TGTASInstObj& inst = ipl->Inst.Items[static_cast<std::size_t>(pos)];
            const double length = std::sqrt(double(inst.RotX) * inst.RotX + double(inst.RotY) * inst.RotY +
                                            double(inst.RotZ) * inst.RotZ + double(inst.RotW) * inst.RotW);
            // The game draws a rotation of another length scaled and skewed.
            if (length >= 0.99 && length <= 1.01)
                continue;
            add(FindingSeverity::Warning, ipl->FileName, inst.ID, inst.ModelName,
                "Warning @ File: " + ipl->FileName + " [INST] ID: " + std::to_string(inst.ID) + " (Model: " +
                    inQuotes(inst.ModelName) + ") - rotation is not a unit quaternion (length " +
                    shortFloatText(static_cast<float>(length)) + ")",
                {file, &ipl->Inst, pos});
        }
    }
    finishCheck();
}

void MapValidator::checkTimedHours()
{
    check("TObj Hours");
    auto outside = [](int hour) { return hour < 0 || hour > 23; };
    for (int file = 0; file < m_files.Count(); ++file) {
        const TIDEFile* ide = m_files.IDEFile(file);
        if (!ide)
            continue;
        for (int pos = 0; pos < ide->TObj.Count(); ++pos) {
            const TGTASTObjObj& record = ide->TObj.Items[static_cast<std::size_t>(pos)];
            if (!outside(record.TimeOn) && !outside(record.TimeOff))
                continue;
            add(FindingSeverity::Warning, ide->FileName, record.ID, record.ModelName,
                "Warning @ file " + ide->FileName + " [TOBJ] " + std::to_string(record.ID) + " = Model: " +
                    inQuotes(record.ModelName) + " Hours " + std::to_string(record.TimeOn) + "-" +
                    std::to_string(record.TimeOff) + " Outside 0..23! ",
                {file, &ide->TObj, pos});
        }
    }
    finishCheck();
}
