#pragma once

#include "SectionCode.h"
#include "SortCycle.h"
#include "TGTASFile.h"

#include <QWidget>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class DatReferences;
class FileRowsModel;
class MapDocument;
class MapListView;
class QAction;
class QButtonGroup;
class QGroupBox;
class QMenu;
class QToolBar;
class QVBoxLayout;
class RecordRowsModel;
class TFormEditorItem;
class TGLView;
class TGTAFileList;
struct RecordSection;

// What sets an editor of IPL files apart from one of IDE files where their files are handled.
struct MapFileKind {
    FileKind kind;
    const char* name; // "IPL" or "IDE", as the actions name the files
    const char* deleteCaption;
    const char* extension;
    const char* newFilter;
    const char* openFilter;
    std::unique_ptr<TGTASFile> (*create)();
    void (DatReferences::*addReference)(const std::string& name);
    bool (DatReferences::*removeReference)(const std::string& name);
};

// The window shared by the IPL and IDE editors: the list of one kind of map file and the
// list of the records of one section of the chosen file, both filled on demand from row
// maps. It creates, opens, closes and deletes files (offering to change the DAT file),
// adds and deletes records, and opens records in the item editor. Its changes go through the
// map document, whose signals the other windows follow.
class MapFileEditor : public QWidget {
    Q_OBJECT
public:
    ~MapFileEditor() override;

    // The document records are added and deleted through, as steps; the lists follow its steps.
    MapDocument* Document() const { return m_document; }

    // Rebuilds the file rows from the file list in list order.
    void RefreshFiles();
    // Takes the chosen file row as the current file and lists its records of the current section.
    void RefreshRecords();
    // Chooses the file's row and lists its records; false when the editor does not list it.
    bool ShowFile(int file);
    // Chooses the file's row, the section and the record's row (none when it is not listed)
    // without opening the record.
    void ShowRecordRow(int file, SectionCode section, int record);
    // Adds a record to the current section of the current file, marks the file modified and
    // makes the record's row current. Its index, or -1 when nothing was added.
    int AddRecord();
    // Deletes records of one section of a file as one step, where the section's records are
    // deleted here at all. The selection is cleared first: later records move up.
    void DeleteRecords(int file, SectionCode section, std::vector<int> records);
    // Appends a copy of each record after the last of its section as one step; the copies'
    // indexes, none where the section has no duplicates.
    std::vector<int> DuplicateRecords(int file, SectionCode section, const std::vector<int>& records);
    // Shows the record of the row in the item editor; `add` adds an instance to the
    // several-instance selection. Without a file or row, clears the item editor's selection.
    void OpenRecord(int row, bool add);
    // Position of the current file in the file list, -1 for none.
    int CurrentFile() const { return m_currentFile; }
    SectionCode CurrentSection() const;
    void SetSection(SectionCode code);
    // The chosen record row and its record index, -1 for none.
    int CurrentRow() const;
    int CurrentRecord() const;
    // Produces the shown texts again (names and IDs changed elsewhere).
    void RepaintLists();

    void ListFilesSelectItem();
    void ListItemsSelectItem();
    void ListFilesColumnClick(int column);
    void ListItemsColumnClick(int column);
    void RadioSectionClick(int item);
    void ActionEditItemExecute();
    void ActionEditAddExecute();
    void ActionEditDeleteExecute();
    void ActionFileNewExecute();
    void ActionFileOpenExecute();
    void ActionFileCloseExecute();
    void ActionFileDeleteExecute();

    MapListView* ListFiles = nullptr;
    MapListView* ListItems = nullptr;
    QGroupBox* RadioSection = nullptr;
    QToolBar* MainToolbar = nullptr;
    QToolBar* FileToolbar = nullptr;
    QMenu* PopupFiles = nullptr;
    QMenu* PopupItems = nullptr;
    QAction* ActionEditItem = nullptr;
    QAction* ActionEditAdd = nullptr;
    QAction* ActionEditDelete = nullptr;
    QAction* ActionFileOpen = nullptr;
    QAction* ActionFileNew = nullptr;
    QAction* ActionFileClose = nullptr;
    QAction* ActionFileDelete = nullptr;

public slots:
    // A file left the document's file list (closed by this editor or another): the current
    // file stays the same file at its new position, or none when it was the one removed.
    void FileRemoved(int file);

signals:
    // The secondary model view shows the definition with this ID (of tobj when timed), or nothing.
    void definitionChosen(int id, bool timed);
    void definitionCleared();

protected:
    MapFileEditor(const MapFileKind& kind, std::span<const RecordSection> sections, MapDocument& document,
                  TFormEditorItem* itemEditor, TGLView* view, DatReferences* dat, QWidget* parent);

    // The record commands of the main tool bar and the record popup, in order.
    void setRecordCommands(std::initializer_list<QAction*> actions);
    // A command of the record popup that asks the find window; disabled until a row is chosen.
    QAction* addFindCommand(const QString& caption, const char* name);
    QVBoxLayout* layoutBelowRecords() const { return m_bottom; }

    // A record row was chosen (its record index), or none is (-1).
    virtual void recordChosen(int record) = 0;
    // The record rows were rebuilt; no row is chosen.
    virtual void recordsRefreshed() = 0;
    // The section the item editor gets for the record: by default the current one.
    virtual SectionCode openedSection(int record, bool add);
    // "Add Item" appended the record, within the step that adds it.
    virtual void recordAdded(TGTASFile& file, int record);

    // Adds records through `add` as one step; the first new record, or -1. The document
    // marks the file, and the file list shows the mark when it changes.
    int addRecordsStep(const QString& text, TGTASFile& file, const std::function<int()>& add);
    // Chooses a file row without running the choice handler (-1: none).
    void chooseFileRow(int row);
    TGTASFile* currentFileObject() const;
    const RecordSection& currentSectionEntry() const;
    // The entry of the section with this code; nullptr when this editor lists no such section.
    const RecordSection* sectionEntry(SectionCode code) const;
    TGTAFileList* fileList() const { return m_files; }
    TFormEditorItem* itemEditor() const { return m_itemEditor; }
    TGLView* view() const { return m_view; }
    RecordRowsModel& recordRows() const { return *m_recordRows; }
    FileRowsModel& fileRows() const { return *m_fileRows; }


private:
    void buildControls();
    void buildActions();
    // The file's name in the games' form, or nothing after the refusal message.
    std::optional<std::string> gameName(const QString& chosen, const char* failure) const;
    // True, after an error message, when the file is in the list already.
    bool alreadyLoaded(const std::string& name) const;
    void offerReference(const std::string& name);
    int addFile(std::unique_ptr<TGTASFile> file);
    // A step was done or undone on the file's records.
    void followRecords(int file);
    // Asks, then removes the current file from the list; its path on disk when it was removed.
    std::optional<std::string> closeCurrentFile();
    bool saveBeforeClosing(TGTASFile& file);

    MapFileKind m_kind;
    std::span<const RecordSection> m_sections;
    MapDocument* m_document;
    TGTAFileList* m_files = nullptr;
    TFormEditorItem* m_itemEditor = nullptr;
    TGLView* m_view = nullptr;
    DatReferences* m_dat = nullptr;

    FileRowsModel* m_fileRows = nullptr;
    RecordRowsModel* m_recordRows = nullptr;
    QButtonGroup* m_sectionButtons = nullptr;
    QVBoxLayout* m_bottom = nullptr;
    SortCycle m_fileSort;
    SortCycle m_recordSort;
    int m_currentFile = -1;
    bool m_ownStep = false; // a step of this editor's is being made
    // The current file itself, which it stays when files before it leave the list.
    const TGTASFile* m_currentObject = nullptr;
    size_t m_section = 0;
    // Rows chosen by the program itself do not run the choice handlers.
    bool m_choosing = false;
};
