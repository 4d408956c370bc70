#pragma once

#include "FixPolicy.h"
#include "ValidationReport.h"

#include <functional>
#include <memory>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

class ArchiveNames;
class TGTA3Archive;
class TGTAFileList;
class TIPLFile;
class RecordLines;
class TGTASContainer;
struct TGTASObjsObj;
struct TGTASTObjObj;

// Told what a run does while it does it: the window shows a check as running and then
// as passed or failed, and the editors must hear of records that a fix changes.
class ValidationObserver {
public:
    virtual ~ValidationObserver() = default;
    virtual void sectionStarted(const ValidationSectionRow& /*section*/) {}
    virtual void checkStarted(const ValidationCheckRow& /*check*/) {}
    virtual void checkFinished(const ValidationCheckRow& /*check*/) {}
    // A fix is about to delete instances of this IPL file: positions are going to shift.
    virtual void instancesDeleting(int /*file*/) {}
    // Fixes changed records of this file (once per file and check, after the changes).
    virtual void recordsChanged(int /*file*/) {}
    // The file became modified by a fix.
    virtual void fileModified(int /*file*/) {}
};

// Checks the whole loaded map against itself and against the main archive: duplicate
// archive entries, duplicate and broken definitions, models and dictionaries the archive
// lacks, instances without a definition or with another model name, then the consistency
// checks of the DAT file, names, rotations, hours and LOD partners. Repairs what its fix policy allows.
class MapValidator {
public:
    // `archive` may be null (no archive: every name is missing). `gameDir` is the game
    // folder the DAT file names its map files under.
    MapValidator(TGTAFileList& files, const TGTA3Archive* archive, bool viceCity, std::string gameDir);
    ~MapValidator();

    ValidationReport run(const FixPolicy& policy = FixPolicy::checkOnly(), ValidationObserver* observer = nullptr);

    // How many placements a run deleting them would delete: those whose ID no IDE file
    // defines. Changes nothing.
    int placementsWithoutDefinition();

private:
    struct Definition {
        TGTASObjsObj* record;
        int file;
    };
    struct TimedDefinition {
        TGTASTObjObj* record;
        int file;
    };

    // Where a finding's record stands: file position, its section, record position.
    struct RecordAt {
        int file = -1;
        const TGTASContainer* section = nullptr;
        int pos = -1;
    };

    void buildLists();
    void section(const char* caption, const char* heading);
    void check(const char* caption);
    void finishCheck();
    ValidationFinding& add(FindingSeverity severity, std::string file, int id, std::string model, std::string text,
                           const RecordAt& at);
    ValidationFinding& add(FindingSeverity severity, std::string file, int id, std::string model, std::string text)
    {
        return add(severity, std::move(file), id, std::move(model), std::move(text), RecordAt{});
    }
    int lineOf(const RecordAt& at);
    RecordAt objsAt(const Definition& definition) const;
    void noteFix(ValidationFinding& finding, int file, const char* note);
    void markModified(int file);
    void changed(int file);

    void checkArchive();
    void checkObjs();
    void checkTObj();
    void checkInstances();
    void checkInstance(int file, TIPLFile& ipl, int pos, class DefinitionSearch& search, bool& deleting);
    struct FoundDefinition {
        const TGTASObjsObj* record = nullptr;
        bool timed = false;
    };
    FoundDefinition findDefinition(DefinitionSearch& search, int id) const;
    void checkArchiveNames(bool timed);

    void checkDatFilesOnDisk();
    void checkFilesNotInDat();
    void checkObjsAlsoTimed();
    void checkNameLengths();
    void checkRotations();
    void checkTimedHours();
    void checkLodPartners();
    void checkLodPlacements();

    const Definition* findObjs(int id) const;
    const TimedDefinition* findTObj(int id) const;
    const TGTASObjsObj* definitionOf(int id) const; // objs first, as the instance check takes it
    // Every objs and then tobj record of each IDE file in list order, with the file's name,
    // the section's tag as report lines show it ("OBJS", "TOBJ") and where the record stands.
    void forEachDefinition(const std::function<void(const std::string& file, const char* tag,
                                                    const TGTASObjsObj& record, const RecordAt& at)>& visit) const;
    // The map files the DAT file names, with the index of their DAT line.
    std::vector<std::pair<std::string, int>> datMapFiles() const;

    TGTAFileList& m_files;
    const TGTA3Archive* m_archive;
    bool m_viceCity;
    std::string m_gameDir;

    FixPolicy m_policy;
    ValidationObserver* m_observer = nullptr;
    ValidationReport m_report;
    const ArchiveNames* m_names = nullptr;
    std::vector<Definition> m_objs;
    std::vector<TimedDefinition> m_tobj;
    std::vector<bool> m_modified;      // files marked modified by this run
    std::vector<int> m_changedInCheck; // files whose records this check changed
    std::vector<std::unique_ptr<RecordLines>> m_lines; // per file, made when a finding first needs it
};
