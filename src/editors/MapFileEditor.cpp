#include "MapFileEditor.h"

#include "DatReferences.h"
#include "DialogService.h"
#include "FileRowsModel.h"
#include "GamePaths.h"
#include "MapDocument.h"
#include "MapListView.h"
#include "RecordRowsModel.h"
#include "RecordSection.h"
#include "TFormEditorItem.h"
#include "TGLView.h"
#include "TGTAFileList.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

#include <filesystem>

namespace {

QString quoted(const QString& text)
{
    return QStringLiteral("\"") + text + QStringLiteral("\"");
}

QString datName(const TGTAFileList& files)
{
    return QString::fromStdString(files.DatName());
}

DialogAnswer ask(const QString& question, DialogButtons buttons)
{
    return dialogs().showMessage(MessageKind::Confirmation, QString(), question, buttons);
}

void tell(MessageKind kind, const QString& text)
{
    dialogs().showMessage(kind, QString(), text);
}

QString withoutAccelerator(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

QAction* newAction(QWidget* owner, const char* name, const QString& caption)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    // Both editors live in one main window: each one's shortcuts work inside it only.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    owner->addAction(action);
    return action;
}

// The refusal of a file outside the game folder, or of one that cannot be read.
void refuseFile(const QString& chosen, const char* failure)
{
    tell(MessageKind::Error, QStringLiteral("ERROR: ") + quoted(chosen) + QString::fromLatin1(failure)
                                 + QStringLiteral("\nPlease check this file is located in a subfolder of the GTA Path"
                                                  " and that there are no spaces or illegal characters in the filename!"));
}

} // namespace

MapFileEditor::MapFileEditor(const MapFileKind& kind, std::span<const RecordSection> sections, MapDocument& document,
                             TFormEditorItem* itemEditor, TGLView* view, DatReferences* dat, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_sections(sections)
    , m_document(&document)
    , m_itemEditor(itemEditor)
    , m_view(view)
    , m_dat(dat)
{
    m_fileRows = new FileRowsModel(kind.kind, this);
    m_recordRows = new RecordRowsModel(kind.kind, this);
    buildActions();
    buildControls();
    // The hooks of the editor being built cannot run yet; it calls them itself.
    m_files = &document.files();
    m_fileRows->setFileList(m_files);
    m_recordRows->setFileList(m_files);
    m_fileRows->rebuild();
    m_recordRows->show(-1, &currentSectionEntry());
    connect(m_document, &MapDocument::modifiedChanged, this, &MapFileEditor::RepaintLists);
    connect(m_document, &MapDocument::selectionChanged, this, &MapFileEditor::RepaintLists);
    connect(m_document, &MapDocument::recordsChanged, this, [this](int file, int) { followRecords(file); });
    connect(m_document, &MapDocument::fileRemoved, this, &MapFileEditor::FileRemoved);
}

MapFileEditor::~MapFileEditor() = default;

void MapFileEditor::buildActions()
{
    const QString name = QString::fromLatin1(m_kind.name);
    ActionEditItem = newAction(this, "ActionEditItem", QStringLiteral("&Edit Item"));
    ActionEditAdd = newAction(this, "ActionEditAdd", QStringLiteral("&Add Item"));
    ActionEditDelete = newAction(this, "ActionEditDelete", QStringLiteral("&Delete Item"));
    ActionEditDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    ActionFileOpen = newAction(this, "ActionFileOpen", QStringLiteral("&Open %1 File").arg(name));
    ActionFileNew = newAction(this, "ActionFileNew", QStringLiteral("&New %1 File").arg(name));
    ActionFileClose = newAction(this, "ActionFileClose", QStringLiteral("&Close %1 File").arg(name));
    ActionFileDelete = newAction(this, "ActionFileDelete", QString::fromLatin1(m_kind.deleteCaption));

    connect(ActionEditItem, &QAction::triggered, this, &MapFileEditor::ActionEditItemExecute);
    connect(ActionEditAdd, &QAction::triggered, this, &MapFileEditor::ActionEditAddExecute);
    connect(ActionEditDelete, &QAction::triggered, this, &MapFileEditor::ActionEditDeleteExecute);
    connect(ActionFileOpen, &QAction::triggered, this, &MapFileEditor::ActionFileOpenExecute);
    connect(ActionFileNew, &QAction::triggered, this, &MapFileEditor::ActionFileNewExecute);
    connect(ActionFileClose, &QAction::triggered, this, &MapFileEditor::ActionFileCloseExecute);
    connect(ActionFileDelete, &QAction::triggered, this, &MapFileEditor::ActionFileDeleteExecute);
}

void MapFileEditor::buildControls()
{
    auto* layout = new QVBoxLayout(this);

    FileToolbar = new QToolBar(this);
    FileToolbar->setObjectName("FileToolbar");
    FileToolbar->addActions({ActionFileOpen, ActionFileClose, ActionFileNew, ActionFileDelete});
    layout->addWidget(FileToolbar);

    ListFiles = new MapListView(this);
    ListFiles->setObjectName("ListFiles");
    ListFiles->setModel(m_fileRows);
    ListFiles->header()->resizeSection(0, 50);
    layout->addWidget(ListFiles, 1);
    PopupFiles = new QMenu(this);
    PopupFiles->setObjectName("PopupFiles");
    PopupFiles->addActions({ActionFileClose, ActionFileOpen, ActionFileNew, ActionFileDelete});

    RadioSection = new QGroupBox(QStringLiteral("Mode"), this);
    RadioSection->setObjectName("RadioSection");
    auto* sectionLayout = new QGridLayout(RadioSection);
    m_sectionButtons = new QButtonGroup(this);
    for (size_t item = 0; item < m_sections.size(); ++item) {
        auto* button = new QRadioButton(QString::fromLatin1(m_sections[item].caption), RadioSection);
        const int id = static_cast<int>(item);
        m_sectionButtons->addButton(button, id);
        sectionLayout->addWidget(button, id / 3, id % 3);
    }
    m_sectionButtons->button(0)->setChecked(true);
    layout->addWidget(RadioSection);

    MainToolbar = new QToolBar(this);
    MainToolbar->setObjectName("MainToolbar");
    layout->addWidget(MainToolbar);

    ListItems = new MapListView(this);
    ListItems->setObjectName("ListItems");
    ListItems->setModel(m_recordRows);
    ListItems->header()->resizeSection(0, 70);
    ListItems->setToolTip(QStringLiteral("Double click to select an object, hold shift to select multiple"));
    layout->addWidget(ListItems, 2);
    PopupItems = new QMenu(this);
    PopupItems->setObjectName("PopupItems");

    m_bottom = new QVBoxLayout;
    layout->addLayout(m_bottom);

    connect(ListFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_choosing)
            ListFilesSelectItem();
    });
    connect(ListItems->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_choosing)
            ListItemsSelectItem();
    });
    connect(ListFiles->header(), &QHeaderView::sectionClicked, this, &MapFileEditor::ListFilesColumnClick);
    connect(ListItems->header(), &QHeaderView::sectionClicked, this, &MapFileEditor::ListItemsColumnClick);
    connect(ListItems, &MapListView::rowOpened, this, &MapFileEditor::OpenRecord);
    connect(m_sectionButtons, &QButtonGroup::idClicked, this, &MapFileEditor::RadioSectionClick);
    connect(ListFiles, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupFiles->popup(ListFiles->viewport()->mapToGlobal(at)); });
    connect(ListItems, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupItems->popup(ListItems->viewport()->mapToGlobal(at)); });
}

void MapFileEditor::setRecordCommands(std::initializer_list<QAction*> actions)
{
    PopupItems->addAction(ActionEditItem);
    for (QAction* action : actions) {
        MainToolbar->addAction(action);
        PopupItems->addAction(action);
    }
}

TGTASFile* MapFileEditor::currentFileObject() const
{
    TGTASFile* file = m_files ? m_files->File(m_currentFile) : nullptr;
    return file && file->Kind == m_kind.kind ? file : nullptr;
}

const RecordSection& MapFileEditor::currentSectionEntry() const
{
    return m_sections[m_section];
}

SectionCode MapFileEditor::CurrentSection() const
{
    return currentSectionEntry().code;
}

int MapFileEditor::CurrentRow() const
{
    return ListItems->selectedRow();
}

int MapFileEditor::CurrentRecord() const
{
    return m_recordRows->entryAt(CurrentRow());
}

void MapFileEditor::chooseFileRow(int row)
{
    m_choosing = true;
    ListFiles->selectRow(row);
    m_choosing = false;
}

void MapFileEditor::RefreshFiles()
{
    m_fileRows->rebuild();
    m_fileSort.forget();
    chooseFileRow(m_fileRows->rowOf(m_currentFile));
}

void MapFileEditor::RefreshRecords()
{
    m_currentFile = m_fileRows->entryAt(ListFiles->selectedRow());
    m_currentObject = currentFileObject();
    m_recordRows->show(m_currentFile, &currentSectionEntry());
    m_recordSort.forget();
    recordsRefreshed();
}

bool MapFileEditor::ShowFile(int file)
{
    const int row = m_fileRows->rowOf(file);
    if (row < 0)
        return false;
    chooseFileRow(row);
    RefreshRecords();
    return true;
}

void MapFileEditor::ShowRecordRow(int file, SectionCode section, int record)
{
    if (!ShowFile(file))
        return;
    SetSection(section);
    ListItems->selectRow(m_recordRows->rowOf(record));
}

void MapFileEditor::RepaintLists()
{
    // The rows produce their texts when painted: repainting the visible rows is enough. A
    // model-wide change would make the view measure every one of 30,000 rows on each step.
    ListFiles->viewport()->update();
    ListItems->viewport()->update();
}

void MapFileEditor::ListFilesSelectItem()
{
    RefreshRecords();
}

void MapFileEditor::ListItemsSelectItem()
{
    recordChosen(CurrentRecord());
}

void MapFileEditor::ListFilesColumnClick(int column)
{
    const int row = ListFiles->selectedRow();
    m_fileRows->sortBy(column, m_fileSort.click(column));
    // The chosen row keeps its place: the records shown are those of the file now there.
    chooseFileRow(row);
    RefreshRecords();
}

void MapFileEditor::ListItemsColumnClick(int column)
{
    m_recordRows->sortBy(column, m_recordSort.click(column));
    m_choosing = true;
    ListItems->selectRow(-1);
    m_choosing = false;
    recordChosen(-1);
}

void MapFileEditor::RadioSectionClick(int item)
{
    if (item < 0 || static_cast<size_t>(item) >= m_sections.size())
        return;
    m_section = static_cast<size_t>(item);
    RefreshRecords();
}

void MapFileEditor::SetSection(SectionCode code)
{
    for (size_t item = 0; item < m_sections.size(); ++item) {
        if (m_sections[item].code == code) {
            m_sectionButtons->button(static_cast<int>(item))->setChecked(true);
            RadioSectionClick(static_cast<int>(item));
            return;
        }
    }
}

void MapFileEditor::followRecords(int file)
{
    // A step of this editor's own: it lists the records again itself once the step is made.
    if (m_ownStep)
        return;
    // Records added or deleted change the rows; an edit in place changes only their texts.
    const TGTASFile* shown = currentFileObject();
    if (file == m_currentFile && shown && m_recordRows->rowCount() != currentSectionEntry().count(*shown))
        RefreshRecords();
    else
        RepaintLists();
}

int MapFileEditor::addRecordsStep(const QString& text, TGTASFile& file, const std::function<int()>& add)
{
    const int section = MapDocument::sectionIndex(file, CurrentSection());
    m_ownStep = true;
    const std::vector<int> added = m_document->addRecords(text, m_document->indexOf(&file), section, [&add] {
        const int record = add();
        return record >= 0 ? std::vector<int>{record} : std::vector<int>{};
    });
    m_ownStep = false;
    return added.empty() ? -1 : added.front();
}

int MapFileEditor::AddRecord()
{
    TGTASFile* file = currentFileObject();
    const RecordSection& section = currentSectionEntry();
    if (!file || !section.add)
        return -1;
    const std::array<float, 3> target = m_view ? m_view->GetCameraTarget() : std::array<float, 3>{0, 0, 0};
    const int record = addRecordsStep(QStringLiteral("Add Record"), *file, [&] {
        const int added = section.add(*file, target);
        if (added >= 0)
            recordAdded(*file, added);
        return added;
    });
    if (record < 0)
        return -1;
    RefreshRecords();
    ListItems->selectRow(m_recordRows->rowOf(record));
    return record;
}

QAction* MapFileEditor::addFindCommand(const QString& caption, const char* name)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setEnabled(false);
    PopupItems->addSeparator();
    PopupItems->addAction(action);
    return action;
}

SectionCode MapFileEditor::openedSection(int, bool)
{
    return CurrentSection();
}

void MapFileEditor::recordAdded(TGTASFile&, int)
{
}

void MapFileEditor::OpenRecord(int row, bool add)
{
    if (!m_itemEditor)
        return;
    const int record = m_recordRows->entryAt(row);
    if (!currentFileObject() || record < 0 || record >= m_recordRows->recordCount()) {
        m_itemEditor->ClearSelection();
        return;
    }
    m_itemEditor->SelectRecord(m_kind.kind, openedSection(record, add), record, m_currentFile);
}

void MapFileEditor::ActionEditItemExecute()
{
    OpenRecord(CurrentRow(), false);
}

void MapFileEditor::ActionEditAddExecute()
{
    if (AddRecord() >= 0)
        OpenRecord(CurrentRow(), false);
}

void MapFileEditor::ActionEditDeleteExecute()
{
    const int record = CurrentRecord();
    if (!currentFileObject() || record < 0)
        return;
    DeleteRecords(m_currentFile, CurrentSection(), {record});
}

const RecordSection* MapFileEditor::sectionEntry(SectionCode code) const
{
    for (const RecordSection& section : m_sections) {
        if (section.code == code)
            return &section;
    }
    return nullptr;
}

void MapFileEditor::DeleteRecords(int file, SectionCode code, std::vector<int> records)
{
    TGTASFile* changed = m_files ? m_files->File(file) : nullptr;
    const RecordSection* section = sectionEntry(code);
    if (!changed || changed->Kind != m_kind.kind || !section)
        return;
    // Later records move up one place: a selection would point elsewhere.
    m_document->setSelection({});
    const int count = section->count(*changed);
    std::erase_if(records, [count](int record) { return record < 0 || record >= count; });
    if (section->remove && !records.empty()) {
        m_ownStep = true;
        const QString text = records.size() == 1 ? QStringLiteral("Delete Record")
                                                 : QStringLiteral("Delete %1 Records").arg(records.size());
        m_document->deleteRecords(text, file, MapDocument::sectionIndex(*changed, code), std::move(records));
        m_ownStep = false;
    }
    RefreshRecords();
}

std::vector<int> MapFileEditor::DuplicateRecords(int file, SectionCode code, const std::vector<int>& records)
{
    TGTASFile* changed = m_files ? m_files->File(file) : nullptr;
    const RecordSection* section = sectionEntry(code);
    if (!changed || changed->Kind != m_kind.kind || !section || !section->duplicate || records.empty())
        return {};
    const int count = section->count(*changed);
    m_ownStep = true;
    std::vector<int> copies = m_document->addRecords(
        records.size() == 1 ? QStringLiteral("Duplicate Record") : QStringLiteral("Duplicate %1 Records").arg(records.size()),
        file, MapDocument::sectionIndex(*changed, code), [&] {
            std::vector<int> added;
            for (int record : records) {
                if (record >= 0 && record < count)
                    added.push_back(section->duplicate(*changed, record));
            }
            return added;
        });
    m_ownStep = false;
    if (file == m_currentFile)
        RefreshRecords();
    return copies;
}

std::optional<std::string> MapFileEditor::gameName(const QString& chosen, const char* failure) const
{
    if (auto name = gameRelativeName(m_files->GameDir(), chosen.toStdString()))
        return name;
    refuseFile(chosen, failure);
    return std::nullopt;
}

bool MapFileEditor::alreadyLoaded(const std::string& name) const
{
    // Two objects of one file would each write it whole; the later save would lose the
    // changes of the other.
    const std::string diskPath = resolveGamePath(m_files->GameDir(), name);
    for (int pos = 0; pos < m_files->Count(); ++pos) {
        if (m_files->File(pos)->DiskPath() == diskPath) {
            tell(MessageKind::Error, QStringLiteral("ERROR: ") + quoted(QString::fromStdString(name))
                                         + QStringLiteral(" Is Already Loaded!"));
            return true;
        }
    }
    return false;
}

void MapFileEditor::offerReference(const std::string& name)
{
    if (m_dat && ask(QStringLiteral("Do you want to add the reference to ") + datName(*m_files) + QStringLiteral("?"),
                     DialogButtons::YesNo)
                     == DialogAnswer::Yes)
        (m_dat->*m_kind.addReference)(name);
}

int MapFileEditor::addFile(std::unique_ptr<TGTASFile> file)
{
    const int pos = m_document->addFile(std::move(file));
    m_document->setSelection({});
    // The new file becomes the current one, ready for its first records.
    m_currentFile = pos;
    RefreshFiles();
    RefreshRecords();
    return pos;
}

void MapFileEditor::ActionFileNewExecute()
{
    if (!m_files)
        return;
    const QString folder = QString::fromStdString(resolveGamePath(m_files->GameDir(), "DATA\\"));
    const std::optional<QString> chosen
        = dialogs().saveFile(withoutAccelerator(ActionFileNew->text()), QString::fromLatin1(m_kind.newFilter), folder);
    if (!chosen)
        return;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + QString::fromLatin1(m_kind.extension);
    const std::optional<std::string> name = gameName(path, " Could Not Be Created!");
    if (!name || alreadyLoaded(*name))
        return;
    offerReference(*name);
    std::unique_ptr<TGTASFile> file = m_kind.create();
    file->FileName = *name;
    file->RelativeToGame = true;
    // Written by the next save of modified files.
    file->Modified = true;
    file->Visible = false;
    addFile(std::move(file));
    tell(MessageKind::Information,
         QStringLiteral("SUCCESS: ") + quoted(QString::fromStdString(*name)) + QStringLiteral(" Created Successfully!"));
}

void MapFileEditor::ActionFileOpenExecute()
{
    if (!m_files)
        return;
    const QString folder = QString::fromStdString(resolveGamePath(m_files->GameDir(), "DATA\\"));
    const QStringList chosen = dialogs().openFiles(withoutAccelerator(ActionFileOpen->text()),
                                                   QString::fromLatin1(m_kind.openFilter), false, folder);
    if (chosen.isEmpty())
        return;
    const QString& path = chosen.first();
    const std::optional<std::string> name = gameName(path, " Could Not Be Loaded!");
    if (!name || alreadyLoaded(*name))
        return;
    std::unique_ptr<TGTASFile> file = m_kind.create();
    file->RelativeToGame = true;
    m_files->PrepareFile(*file);
    if (file->Load(*name) != 0) {
        refuseFile(path, " Could Not Be Loaded!");
        return;
    }
    offerReference(*name);
    addFile(std::move(file));
    tell(MessageKind::Information,
         QStringLiteral("SUCCESS: ") + quoted(QString::fromStdString(*name)) + QStringLiteral(" Loaded Successfully!"));
}

bool MapFileEditor::saveBeforeClosing(TGTASFile& file)
{
    const QString name = QString::fromStdString(file.FileName);
    const DialogAnswer answer = dialogs().showMessage(
        MessageKind::Confirmation, QString(),
        QStringLiteral("The following file has unsaved changes:\r\n") + name + QStringLiteral("\r\nSave it before closing?"),
        DialogButtons::YesNoCancel);
    if (answer == DialogAnswer::No)
        return true;
    if (answer != DialogAnswer::Yes)
        return false;
    if (file.Save() == 0)
        return true;
    tell(MessageKind::Error, QStringLiteral("ERROR: ") + quoted(name) + QStringLiteral(" Could Not Be Saved!")
                                 + QStringLiteral("\nPlease check this file is not in use or marked as read only!"));
    return false;
}

std::optional<std::string> MapFileEditor::closeCurrentFile()
{
    TGTASFile* file = currentFileObject();
    if (!file)
        return std::nullopt;
    const int pos = m_currentFile;
    const QString name = QString::fromStdString(file->FileName);
    if (ask(QStringLiteral("Are you sure you wish to close the following files?\r\n") + name, DialogButtons::OkCancel)
        != DialogAnswer::Ok)
        return std::nullopt;
    if (file->Modified && !saveBeforeClosing(*file))
        return std::nullopt;
    if (m_dat
        && ask(QStringLiteral("Do you want to remove the reference from ") + datName(*m_files) + QStringLiteral("?"),
               DialogButtons::YesNo)
               == DialogAnswer::Yes
        && !(m_dat->*m_kind.removeReference)(file->FileName))
        tell(MessageKind::Warning, QStringLiteral("Warning: No line of ") + datName(*m_files) + QStringLiteral(" refers to ")
                                       + quoted(name) + QStringLiteral("; nothing was removed."));
    std::string diskPath = file->DiskPath();
    m_fileRows->dropFile(pos);
    m_currentFile = -1;
    m_currentObject = nullptr;
    // Both map file editors follow the removal, this one to no current file.
    m_document->removeFile(pos);
    m_document->setSelection({});
    RefreshFiles();
    RefreshRecords();
    return diskPath;
}

void MapFileEditor::ActionFileCloseExecute()
{
    closeCurrentFile();
}

void MapFileEditor::ActionFileDeleteExecute()
{
    const TGTASFile* file = currentFileObject();
    if (!file)
        return;
    const QString name = QString::fromStdString(file->FileName);
    const std::optional<std::string> diskPath = closeCurrentFile();
    if (!diskPath)
        return;
    std::error_code error;
    if (std::filesystem::remove(std::filesystem::path(*diskPath), error))
        tell(MessageKind::Information, QStringLiteral("SUCCESS: ") + quoted(name) + QStringLiteral(" Successfully Deleted!"));
    else
        tell(MessageKind::Error, QStringLiteral("ERROR: ") + quoted(name) + QStringLiteral(" Could NOT Be Deleted! ")
                                     + QStringLiteral("\nPlease check this file is not in use or marked as read only!"));
}

void MapFileEditor::FileRemoved(int file)
{
    if (file < 0 || !m_files)
        return;
    m_currentFile = -1;
    for (int pos = 0; m_currentObject && pos < m_files->Count(); ++pos) {
        if (m_files->File(pos) == m_currentObject)
            m_currentFile = pos;
    }
    m_fileRows->followFiles();
    chooseFileRow(m_fileRows->rowOf(m_currentFile));
    if (m_currentFile < 0)
        RefreshRecords();
    else
        m_recordRows->fileMoved(m_currentFile);
}

