#include "MapValidator.h"

#include "ArchiveNames.h"
#include "ReportText.h"
#include "DefinitionSearch.h"
#include "MapSearch.h"
#include "TGTA3Archive.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TextParser.h"

#include <algorithm>
#include <exception>

MapValidator::MapValidator(TGTAFileList& files, const TGTA3Archive* archive, bool viceCity, std::string gameDir)
    : m_files(files), m_archive(archive), m_viceCity(viceCity), m_gameDir(std::move(gameDir))
{
}

MapValidator::~MapValidator() = default;

ValidationReport MapValidator::run(const FixPolicy& policy, ValidationObserver* observer)
{
    m_policy = policy;
    m_observer = observer;
    m_report = {};
    m_report.viceCity = m_viceCity;
    m_modified.assign(static_cast<std::size_t>(m_files.Count()), false);
    m_lines.clear();
    m_lines.resize(static_cast<std::size_t>(m_files.Count()));

    // The working lists live for one run only: a second run sees the repaired data.
    const ArchiveNames names(m_archive);
    m_names = &names;
    buildLists();

    section("Main Archive", "### Error Report: Main Archive  ###");
    checkArchive();
    section("IDE - Section: Objs", "### Error Report: IDE - Objs ###");
    checkObjs();
    section("IDE - Section: TObj", "### Error Report: IDE - TObj ###");
    checkTObj();
    section("IPL - Section: Inst", "### Error Report: IPL - Inst ###");
    checkInstances();

    section("Map Consistency", "### Error Report: Map Consistency ###");
    checkDatFilesOnDisk();
    checkFilesNotInDat();
    checkObjsAlsoTimed();
    checkNameLengths();
    checkRotations();
    checkTimedHours();
    checkLodPartners();
    checkLodPlacements();

    m_names = nullptr;
    m_lines.clear();
    m_objs.clear();
    m_tobj.clear();
    m_observer = nullptr;
    return std::move(m_report);
}

void MapValidator::buildLists()
{
    m_objs.clear();
    m_tobj.clear();
    for (int file = 0; file < m_files.Count(); ++file) {
        if (TIDEFile* ide = m_files.IDEFile(file)) {
            for (TGTASObjsObj& record : ide->Objs.Items)
                m_objs.push_back({&record, file});
            for (TGTASTObjObj& record : ide->TObj.Items)
                m_tobj.push_back({&record, file});
        }
    }
    // Stable: records of one ID stay in file-list and record order.
    std::stable_sort(m_objs.begin(), m_objs.end(), [](const auto& a, const auto& b) { return a.record->ID < b.record->ID; });
    std::stable_sort(m_tobj.begin(), m_tobj.end(), [](const auto& a, const auto& b) { return a.record->ID < b.record->ID; });
}

void MapValidator::section(const char* caption, const char* heading)
{
    m_report.sections.push_back({caption, heading, {}});
    if (m_observer)
        m_observer->sectionStarted(m_report.sections.back());
}

void MapValidator::check(const char* caption)
{
    m_report.sections.back().checks.push_back({caption, 0});
    m_changedInCheck.clear();
    if (m_observer)
        m_observer->checkStarted(m_report.sections.back().checks.back());
}

void MapValidator::finishCheck()
{
    if (m_observer) {
        for (const int file : m_changedInCheck)
            m_observer->recordsChanged(file);
        m_observer->checkFinished(m_report.sections.back().checks.back());
    }
    m_changedInCheck.clear();
}

ValidationFinding& MapValidator::add(FindingSeverity severity, std::string file, int id, std::string model,
                                     std::string text, const RecordAt& at)
{
    const int line = lineOf(at);
    ValidationSectionRow& section = m_report.sections.back();
    ValidationCheckRow& check = section.checks.back();
    ++check.count;
    if (severity == FindingSeverity::Error)
        ++m_report.errors;
    else
        ++m_report.warnings;
    m_report.findings.push_back(
        {section.caption, check.caption, severity, std::move(file), id, std::move(model), std::move(text), {}, line});
    return m_report.findings.back();
}

// Lines as the file was read: a record deleted by a fix keeps the line the user sees in
// the file, and so do the records after it.
int MapValidator::lineOf(const RecordAt& at)
{
    const TGTASFile* file = m_files.File(at.file);
    if (!file || !at.section || static_cast<std::size_t>(at.file) >= m_lines.size())
        return 0;
    std::unique_ptr<RecordLines>& lines = m_lines[static_cast<std::size_t>(at.file)];
    if (!lines)
        lines = std::make_unique<RecordLines>(*file);
    return lines->line(file->SectionIndexOf(at.section), at.pos);
}

MapValidator::RecordAt MapValidator::objsAt(const Definition& definition) const
{
    const TIDEFile* ide = m_files.IDEFile(definition.file);
    if (!ide)
        return {};
    return {definition.file, &ide->Objs, static_cast<int>(definition.record - ide->Objs.Items.data())};
}

void MapValidator::noteFix(ValidationFinding& finding, int file, const char* note)
{
    finding.fix = note;
    markModified(file);
    changed(file);
}

void MapValidator::markModified(int file)
{
    if (TGTASFile* target = m_files.File(file))
        target->Modified = true;
    if (file >= 0 && static_cast<std::size_t>(file) < m_modified.size() && !m_modified[static_cast<std::size_t>(file)]) {
        m_modified[static_cast<std::size_t>(file)] = true;
        if (m_observer)
            m_observer->fileModified(file);
    }
}

void MapValidator::changed(int file)
{
    if (std::find(m_changedInCheck.begin(), m_changedInCheck.end(), file) == m_changedInCheck.end())
        m_changedInCheck.push_back(file);
}

void MapValidator::checkArchive()
{
    check("Duplicate Entries");
    const auto& names = m_names->sorted();
    for (std::size_t at = 1; at < names.size(); ++at) {
        if (names[at - 1].folded != names[at].folded)
            continue;
        const std::string& name = names[at - 1].original;
        const int position = m_archive ? m_archive->FindEntry(name) : -1;
        add(FindingSeverity::Warning, name, -1, {},
            "Warning @ File: " + name + " = Duplicate Entries Found![-1, -1, " + std::to_string(position) + "]")
            .inArchive = true;
    }
    finishCheck();
}

void MapValidator::checkObjs()
{
    check("Duplicate IDs");
    for (std::size_t at = 1; at < m_objs.size(); ++at) {
        const Definition& first = m_objs[at - 1];
        if (first.record->ID != m_objs[at].record->ID)
            continue;
        const std::string& file = m_files.File(first.file)->FileName;
        add(FindingSeverity::Error, file, first.record->ID, first.record->ModelName,
            "Error @ file " + file + " [OBJS] " + std::to_string(first.record->ID) + " = Model: " +
                inQuotes(first.record->ModelName) + " Duplicate IDs Found! ",
            objsAt(first));
    }
    finishCheck();

    check("Invalid Values");
    for (const Definition& definition : m_objs) {
        TGTASObjsObj& record = *definition.record;
        if (record.MeshCount != 0)
            continue;
        add(FindingSeverity::Error, m_files.File(definition.file)->FileName, record.ID, record.ModelName,
            "Error @ ID: " + std::to_string(record.ID) + " - " + record.ModelName +
                " = ZERO number of clumps in model (!!model invisible!!) !",
            objsAt(definition));
        if (m_policy.repairs) {
            // Repaired without a note on the line.
            record.MeshCount = 1;
            markModified(definition.file);
            changed(definition.file);
        }
    }
    finishCheck();

    checkArchiveNames(false);
}

void MapValidator::checkTObj()
{
    checkArchiveNames(true);
}

// The archive checks visit the IDE files in list order and their records in order.
void MapValidator::checkArchiveNames(bool timed)
{
    auto forEachRecord = [&](auto&& visit) {
        for (int file = 0; file < m_files.Count(); ++file) {
            const TIDEFile* ide = m_files.IDEFile(file);
            if (!ide)
                continue;
            if (timed) {
                for (int pos = 0; pos < ide->TObj.Count(); ++pos)
                    visit(ide->FileName, ide->TObj.Items[static_cast<std::size_t>(pos)], RecordAt{file, &ide->TObj, pos});
            } else {
                for (int pos = 0; pos < ide->Objs.Count(); ++pos)
                    visit(ide->FileName, ide->Objs.Items[static_cast<std::size_t>(pos)], RecordAt{file, &ide->Objs, pos});
            }
        }
    };
    const std::string prefix = timed ? " [TOBJ] " : " [OBJS] ";

    check("Models in Archive");
    forEachRecord([&](const std::string& file, const TGTASObjsObj& record, const RecordAt& at) {
        if (!m_names->contains(record.ModelName + ".dff"))
            add(FindingSeverity::Error, file, record.ID, record.ModelName,
                "Error @ file " + file + prefix + std::to_string(record.ID) + " = Model: " + inQuotes(record.ModelName) +
                    " Not Found In Archive! ",
                at);
    });
    finishCheck();

    check("Textures in Archive");
    forEachRecord([&](const std::string& file, const TGTASObjsObj& record, const RecordAt& at) {
        if (!m_names->contains(record.TextureName + ".txd"))
            add(FindingSeverity::Error, file, record.ID, record.ModelName,
                "Error @ file " + file + prefix + std::to_string(record.ID) + " = Texture: " +
                    inQuotes(record.TextureName) + " Not Found In Archive! ",
                at);
    });
    finishCheck();
}

const MapValidator::Definition* MapValidator::findObjs(int id) const
{
    auto at = std::lower_bound(m_objs.begin(), m_objs.end(), id,
                               [](const Definition& d, int wanted) { return d.record->ID < wanted; });
    return at != m_objs.end() && at->record->ID == id ? &*at : nullptr;
}

const MapValidator::TimedDefinition* MapValidator::findTObj(int id) const
{
    auto at = std::lower_bound(m_tobj.begin(), m_tobj.end(), id,
                               [](const TimedDefinition& d, int wanted) { return d.record->ID < wanted; });
    return at != m_tobj.end() && at->record->ID == id ? &*at : nullptr;
}

void MapValidator::forEachDefinition(const std::function<void(const std::string& file, const char* tag,
                                                                const TGTASObjsObj& record, const RecordAt& at)>& visit) const
{
    for (int file = 0; file < m_files.Count(); ++file) {
        const TIDEFile* ide = m_files.IDEFile(file);
        if (!ide)
            continue;
        for (int pos = 0; pos < ide->Objs.Count(); ++pos)
            visit(ide->FileName, "OBJS", ide->Objs.Items[static_cast<std::size_t>(pos)], {file, &ide->Objs, pos});
        for (int pos = 0; pos < ide->TObj.Count(); ++pos)
            visit(ide->FileName, "TOBJ", ide->TObj.Items[static_cast<std::size_t>(pos)], {file, &ide->TObj, pos});
    }
}

// The IDE file named like the IPL file first, then every definition by ID, objs first.
MapValidator::FoundDefinition MapValidator::findDefinition(DefinitionSearch& search, int id) const
{
    if (const DefinitionFound preferred = search.findPreferred(id))
        return {preferred.record, preferred.timed};
    if (const Definition* objs = findObjs(id))
        return {objs->record, false};
    if (const TimedDefinition* tobj = findTObj(id))
        return {tobj->record, true};
    return {};
}

int MapValidator::placementsWithoutDefinition()
{
    buildLists();
    DefinitionIDIndex index;
    int count = 0;
    for (int file = 0; file < m_files.Count(); ++file) {
        const TIPLFile* ipl = m_files.IPLFile(file);
        if (!ipl || ipl->Inst.Count() == 0)
            continue;
        DefinitionSearch search(m_files, ipl->FileName, &index);
        for (const TGTASInstObj& inst : ipl->Inst.Items)
            count += findDefinition(search, inst.ID).record ? 0 : 1;
    }
    m_objs.clear();
    m_tobj.clear();
    return count;
}

void MapValidator::checkInstances()
{
    check("Associated Definition");
    // Repairs never change definitions, so one sorted index serves every IPL file.
    DefinitionIDIndex index;
    // Last file first and last instance first, so a deletion never moves what is still to come.
    for (int file = m_files.Count() - 1; file >= 0; --file) {
        TIPLFile* ipl = m_files.IPLFile(file);
        if (!ipl || ipl->Inst.Count() == 0)
            continue;
        DefinitionSearch search(m_files, ipl->FileName, &index);
        bool deleting = false;
        for (int pos = ipl->Inst.Count() - 1; pos >= 0; --pos)
            checkInstance(file, *ipl, pos, search, deleting);
    }
    finishCheck();
}

void MapValidator::checkInstance(int file, TIPLFile& ipl, int pos, DefinitionSearch& search, bool& deleting)
{
    ValidationFinding* finding = nullptr;
    try {
        TGTASInstObj& inst = ipl.Inst.Items[static_cast<std::size_t>(pos)];
        const std::string& name = ipl.FileName;
        const std::string id = std::to_string(inst.ID);
        const RecordAt at{file, &ipl.Inst, pos};

        const auto [definition, timed] = findDefinition(search, inst.ID);
        if (!definition) {
            finding = &add(FindingSeverity::Error, name, inst.ID, inst.ModelName,
                           "Error @ File: " + name + " [INST] ID: \"" + id + "\" (Model: " + inQuotes(inst.ModelName) +
                               " !! IDE DEFINITION IS MISSING!!)",
                           at);
            if (m_policy.repairs && !m_policy.deletions) {
                finding->fix = m_policy.keptNote;
            } else if (m_policy.repairs) {
                if (!deleting && m_observer)
                    m_observer->instancesDeleting(file);
                deleting = true;
                ipl.Inst.DeleteRecord(pos);
                noteFix(*finding, file, "DELETED");
            }
            return;
        }
        if (timed) {
            if (!equalsIgnoringCase(inst.ModelName, definition->ModelName)) {
                finding = &add(FindingSeverity::Error, name, inst.ID, inst.ModelName,
                               "Error @ File: " + name + " [TOBJ] ID: " + id + " (Model: " + inQuotes(inst.ModelName) +
                                   " should be " + inQuotes(definition->ModelName) + ")",
                           at);
                if (m_policy.repairs) {
                    inst.ModelName = definition->ModelName;
                    noteFix(*finding, file, "changed ipl name to TOBJ name");
                }
            }
            return;
        }
        if (m_viceCity && !inst.HasInterior) {
            finding = &add(FindingSeverity::Warning, name, inst.ID, inst.ModelName,
                           "Warning @ File: " + name + " [OBJS] ID: " + id + " (Model: " + inQuotes(inst.ModelName) +
                               ") - missing VC interior number",
                           at);
            if (m_policy.repairs) {
                inst.HasInterior = true;
                inst.Interior = 0;
                noteFix(*finding, file, "set interior to zero (externior)");
            }
        }
        if (!equalsIgnoringCase(inst.ModelName, definition->ModelName)) {
            finding = &add(FindingSeverity::Error, name, inst.ID, inst.ModelName,
                           "Error @ File: " + name + " [OBJS] ID: " + id + " (Model: " + inQuotes(inst.ModelName) +
                               " should be " + inQuotes(definition->ModelName) + ")",
                           at);
            if (m_policy.repairs) {
                inst.ModelName = definition->ModelName;
                noteFix(*finding, file, "changed ipl name to objs name");
            }
        }
    } catch (const std::exception&) {
        // One instance that cannot be checked or repaired does not stop the run.
        if (finding && m_policy.repairs)
            finding->fix = "FAILED TO FIX, DO IT MANUALLY OR DELETE THE STUFF!!";
    }
}
