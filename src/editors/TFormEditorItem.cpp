#include "TFormEditorItem.h"

#include "CullPanel.h"
#include "DefinitionPanel.h"
#include "EffectPanel.h"
#include "IDEPathPanel.h"
#include "IPLPathPanel.h"
#include "InstancePanel.h"
#include "NumberText.h"
#include "SeveralInstancePanel.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "ZonePanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Which columns (and node lines) of a record's text an edit changed, as one number: edits of
// the same field give the same number.
int changedColumnsKey(const std::string& before, const std::string& after)
{
    std::size_t hash = 0;
    std::size_t column = 0;
    std::size_t a = 0;
    std::size_t b = 0;
    while (a <= before.size() || b <= after.size()) {
        const std::size_t aEnd = std::min(before.find_first_of(",\n", a), before.size());
        const std::size_t bEnd = std::min(after.find_first_of(",\n", b), after.size());
        const bool aDone = a > before.size();
        const bool bDone = b > after.size();
        if (aDone || bDone || before.compare(a, aEnd - a, after, b, bEnd - b) != 0)
            hash = hash * 31 + column + 1;
        a = aDone ? a : aEnd + 1;
        b = bDone ? b : bEnd + 1;
        ++column;
    }
    return static_cast<int>(hash);
}

QString positionText(const std::array<float, 3>& position)
{
    return QString::fromStdString(shortFloatText(position[0]) + ", " + shortFloatText(position[1]) + ", "
                                  + shortFloatText(position[2]));
}

// The record's fields from its text form, read by the section's own line reader. A group's
// node lines follow its header, each on a line of its own.
template <typename Container, typename Record>
bool readRecordText(const std::string& text, Record& record)
{
    Container parsed;
    std::string_view rest(text);
    const size_t headerEnd = rest.find_first_of("\r\n");
    if (!parsed.ReadLine(rest.substr(0, headerEnd)) || parsed.Count() != 1)
        return false;
    if constexpr (std::is_base_of_v<TGTASNodeLines, Container>) {
        rest = headerEnd == std::string_view::npos ? std::string_view() : rest.substr(headerEnd);
        while (!rest.empty()) {
            const size_t lineEnd = rest.find_first_of("\r\n");
            const std::string_view line = rest.substr(0, lineEnd);
            if (!TrimText(line).empty())
                parsed.AddNodeLine(0, line);
            rest = lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 1);
        }
    }
    record = std::move(parsed.Items[0]);
    return true;
}

// A definition read back keeps the place the ID index gave it; its archive lookups start over.
template <typename Container, typename Record>
void restoreDefinition(const std::string& text, Container& container, int pos)
{
    Record& record = container.Items[pos];
    const int32_t arrayIndex = record.ArrayIndex;
    if (!readRecordText<Container>(text, record))
        return;
    record.ArrayIndex = arrayIndex;
    record.ModelIndex = -1;
    container.ResolveTexture(pos);
}

template <typename FileType, auto Member>
TGTASContainer* containerOf(TGTASFile& file)
{
    return &(static_cast<FileType&>(file).*Member);
}

template <typename FileType, auto Member>
void restoreRecord(TGTASFile& file, int pos, const std::string& text)
{
    auto& container = static_cast<FileType&>(file).*Member;
    using Container = std::remove_reference_t<decltype(container)>;
    if (container.IsValidIndex(pos))
        readRecordText<Container>(text, container.Items[pos]); // an instance's definition cache starts over
}

template <typename FileType, auto Member>
void restoreDefinitionRecord(TGTASFile& file, int pos, const std::string& text)
{
    auto& container = static_cast<FileType&>(file).*Member;
    using Container = std::remove_reference_t<decltype(container)>;
    if (container.IsValidIndex(pos))
        restoreDefinition<Container, typename decltype(container.Items)::value_type>(text, container, pos);
}

template <auto Panel>
ItemPanel* pageOf(const TFormEditorItem& editor)
{
    return editor.*Panel;
}

}

// Each section a record can be selected in: the mode text, the page that shows it, its
// container in the file and how its text form is read back for undo. The several-instance
// selection has a page but no single record.
struct TFormEditorItem::SectionEntry {
    FileKind kind;
    SectionCode code;
    const char* mode;
    ItemPanel* (*page)(const TFormEditorItem&);
    TGTASContainer* (*container)(TGTASFile&);
    void (*restore)(TGTASFile&, int, const std::string&);
};

namespace {

using Entry = TFormEditorItem::SectionEntry;
const Entry Sections[] = {
    {FileKind::IPL, SectionCode::Inst, "IPL - Inst", pageOf<&TFormEditorItem::paneliplinst>,
     containerOf<TIPLFile, &TIPLFile::Inst>, restoreRecord<TIPLFile, &TIPLFile::Inst>},
    {FileKind::IPL, SectionCode::Path, "IPL - Path", pageOf<&TFormEditorItem::paneliplpath>,
     containerOf<TIPLFile, &TIPLFile::Path>, restoreRecord<TIPLFile, &TIPLFile::Path>},
    {FileKind::IPL, SectionCode::Cull, "IPL - Cull", pageOf<&TFormEditorItem::paneliplcull>,
     containerOf<TIPLFile, &TIPLFile::Cull>, restoreRecord<TIPLFile, &TIPLFile::Cull>},
    {FileKind::IPL, SectionCode::Zone, "IPL - Zone", pageOf<&TFormEditorItem::paneliplzone>,
     containerOf<TIPLFile, &TIPLFile::Zone>, restoreRecord<TIPLFile, &TIPLFile::Zone>},
    {FileKind::IPL, SectionCode::SeveralInst, "IPL - Inst(s)", pageOf<&TFormEditorItem::paneliplmultinst>, nullptr,
     nullptr},
    {FileKind::IDE, SectionCode::Objs, "IDE - Objs", pageOf<&TFormEditorItem::panelideobjs>,
     containerOf<TIDEFile, &TIDEFile::Objs>, restoreDefinitionRecord<TIDEFile, &TIDEFile::Objs>},
    {FileKind::IDE, SectionCode::TObj, "IDE - TObj", pageOf<&TFormEditorItem::panelidetobj>,
     containerOf<TIDEFile, &TIDEFile::TObj>, restoreDefinitionRecord<TIDEFile, &TIDEFile::TObj>},
    {FileKind::IDE, SectionCode::Path, "IDE - Path", pageOf<&TFormEditorItem::panelidepath>,
     containerOf<TIDEFile, &TIDEFile::Path>, restoreRecord<TIDEFile, &TIDEFile::Path>},
    {FileKind::IDE, SectionCode::Fx2d, "IDE - 2dfx", pageOf<&TFormEditorItem::panelide2dfx>,
     containerOf<TIDEFile, &TIDEFile::Fx2d>, restoreRecord<TIDEFile, &TIDEFile::Fx2d>},
};

const Entry* sectionEntry(FileKind kind, SectionCode code)
{
    for (const Entry& entry : Sections) {
        if (entry.kind == kind && entry.code == code)
            return &entry;
    }
    return nullptr;
}

}

TFormEditorItem::TFormEditorItem(MapDocument& document, TGLView* view, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_document(document)
    , m_fileList(&document.files())
    , m_view(view)
{
    setObjectName("TFormEditorItem");
    setWindowTitle("Item Editor");
    auto* layout = new QVBoxLayout(this);
    auto* info = new QGridLayout;
    ModeValue = new QLabel("N/A");
    ModeValue->setObjectName("ModeValue");
    ModeValue->setStyleSheet("color: red");
    FileIndexValue = new QLabel("N/A");
    FileIndexValue->setObjectName("FileIndexValue");
    FileIndexValue->setStyleSheet("color: blue");
    ExpandedEdit = new QLineEdit;
    ExpandedEdit->setObjectName("ExpandedEdit");
    ExpandedEdit->setReadOnly(true);
    info->addWidget(new QLabel("Mode:"), 0, 0);
    info->addWidget(ModeValue, 0, 1);
    info->addWidget(new QLabel("File:"), 0, 2);
    info->addWidget(FileIndexValue, 0, 3);
    info->setColumnStretch(3, 1);
    info->addWidget(ExpandedEdit, 1, 0, 1, 4);
    layout->addLayout(info);

    PageControl1 = new QTabWidget;
    PageControl1->setObjectName("PageControl1");
    paneliplinst = new InstancePanel(*this);
    paneliplmultinst = new SeveralInstancePanel(*this);
    paneliplcull = new CullPanel(*this);
    paneliplzone = new ZonePanel(*this);
    paneliplpath = new IPLPathPanel(*this);
    panelideobjs = new DefinitionPanel(*this, false);
    panelidetobj = new DefinitionPanel(*this, true);
    panelidepath = new IDEPathPanel(*this);
    panelide2dfx = new EffectPanel(*this);
    PageControl1->addTab(paneliplinst, "Inst");
    PageControl1->addTab(paneliplmultinst, "Inst(s)");
    PageControl1->addTab(paneliplcull, "Cull");
    PageControl1->addTab(paneliplzone, "Zone");
    PageControl1->addTab(paneliplpath, "Path");
    PageControl1->addTab(panelideobjs, "Objs");
    PageControl1->addTab(panelidetobj, "TObj");
    PageControl1->addTab(panelidepath, "Path");
    PageControl1->addTab(panelide2dfx, "2dfx");
    layout->addWidget(PageControl1, 1);
    EditIPLMultInstList = paneliplmultinst->EditIPLMultInstList;
    EditIPLMultInstItemCount = paneliplmultinst->EditIPLMultInstItemCount;
    EditIPLMultInstItemCenter = paneliplmultinst->EditIPLMultInstItemCenter;

    auto* buttons = new QHBoxLayout;
    BtnUndo = new QPushButton("&Undo");
    BtnUndo->setObjectName("BtnUndo");
    BtnCancel = new QPushButton("Close");
    BtnCancel->setObjectName("BtnCancel");
    buttons->addStretch(1);
    buttons->addWidget(BtnUndo);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);
    connect(BtnUndo, &QPushButton::clicked, this, &TFormEditorItem::BtnUndoClick);
    connect(BtnCancel, &QPushButton::clicked, this, &TFormEditorItem::BtnCancelClick);

    MoveTimer = new QTimer(this);
    MoveTimer->setObjectName("MoveTimer");
    MoveTimer->setInterval(100);
    connect(MoveTimer, &QTimer::timeout, this, &TFormEditorItem::MoveTimerTimer);

    BtnUndo->setEnabled(false);
    RefreshRecord(RecordRefresh::Reload);
    resize(420, 560);

    connect(&m_document, &MapDocument::recordsChanged, this, [this](int file, int) { followRecords(file); });
    connect(&m_document, &MapDocument::selectionChanged, this, &TFormEditorItem::followSelection);
    showInstanceList();
    copyBeforeEdit();
}

TFormEditorItem::~TFormEditorItem() = default;

EditsSuppressed::EditsSuppressed(TFormEditorItem& editor) : m_editor(editor), m_wasEnabled(editor.EditsEnabled)
{
    editor.EditsEnabled = false;
}

EditsSuppressed::~EditsSuppressed()
{
    m_editor.EditsEnabled = m_wasEnabled;
}

TIPLFile* TFormEditorItem::SelectedIPLFile() const
{
    if (!HasSelection() || SelKind() != FileKind::IPL)
        return nullptr;
    return m_fileList->IPLFile(SelFile());
}

TIDEFile* TFormEditorItem::SelectedIDEFile() const
{
    if (!HasSelection() || SelKind() != FileKind::IDE)
        return nullptr;
    return m_fileList->IDEFile(SelFile());
}

int TFormEditorItem::SelRecord() const
{
    const std::vector<int>& records = m_document.selection().records;
    return records.empty() ? 0 : records.back();
}

namespace {

template <typename Container>
auto recordOf(Container& container, int pos) -> decltype(&container.Items[0])
{
    return container.IsValidIndex(pos) ? &container.Items[pos] : nullptr;
}

}

TGTASInstObj* TFormEditorItem::Instance(int record) const
{
    TIPLFile* file = SelectedIPLFile();
    return file ? recordOf(file->Inst, record) : nullptr;
}

TGTASInstObj* TFormEditorItem::SelectedInst() const
{
    return SelSection() == SectionCode::Inst ? Instance(SelRecord()) : nullptr;
}

TGTASCullObj* TFormEditorItem::SelectedCull() const
{
    TIPLFile* file = SelectedIPLFile();
    return file && SelSection() == SectionCode::Cull ? recordOf(file->Cull, SelRecord()) : nullptr;
}

TGTASZoneObj* TFormEditorItem::SelectedZone() const
{
    TIPLFile* file = SelectedIPLFile();
    return file && SelSection() == SectionCode::Zone ? recordOf(file->Zone, SelRecord()) : nullptr;
}

TGTASPathIPLObj* TFormEditorItem::SelectedIPLPath() const
{
    TIPLFile* file = SelectedIPLFile();
    return file && SelSection() == SectionCode::Path ? recordOf(file->Path, SelRecord()) : nullptr;
}

TGTASObjsObj* TFormEditorItem::SelectedObjs() const
{
    TIDEFile* file = SelectedIDEFile();
    return file && SelSection() == SectionCode::Objs ? recordOf(file->Objs, SelRecord()) : nullptr;
}

TGTASTObjObj* TFormEditorItem::SelectedTObj() const
{
    TIDEFile* file = SelectedIDEFile();
    return file && SelSection() == SectionCode::TObj ? recordOf(file->TObj, SelRecord()) : nullptr;
}

TGTASPathObj* TFormEditorItem::SelectedIDEPath() const
{
    TIDEFile* file = SelectedIDEFile();
    return file && SelSection() == SectionCode::Path ? recordOf(file->Path, SelRecord()) : nullptr;
}

TGTAS2dfxObj* TFormEditorItem::SelectedEffect() const
{
    TIDEFile* file = SelectedIDEFile();
    return file && SelSection() == SectionCode::Fx2d ? recordOf(file->Fx2d, SelRecord()) : nullptr;
}

std::vector<int> TFormEditorItem::MultipleInstances() const
{
    if (!HasSelection() || SelSection() != SectionCode::SeveralInst)
        return {};
    return m_document.selection().records;
}

void TFormEditorItem::showInstanceList()
{
    const std::vector<int> records = MultipleInstances();
    // The list only shows the selection: it is filled again when the records differ.
    bool same = EditIPLMultInstList->count() == static_cast<int>(records.size());
    for (int row = 0; same && row < EditIPLMultInstList->count(); ++row)
        same = EditIPLMultInstList->item(row)->data(Qt::UserRole).toInt() == records[row];
    if (same)
        return;
    EditIPLMultInstList->setUpdatesEnabled(false);
    EditIPLMultInstList->clear();
    for (int record : records) {
        auto* row = new QListWidgetItem(EditIPLMultInstList);
        row->setData(Qt::UserRole, record);
        if (const TGTASInstObj* inst = Instance(record))
            row->setText(QString::number(inst->ID) + " - " + QString::fromStdString(inst->ModelName));
    }
    EditIPLMultInstList->setUpdatesEnabled(true);
}

void TFormEditorItem::select(DocumentSelection selection)
{
    m_selecting = true;
    m_document.setSelection(std::move(selection));
    m_selecting = false;
    showInstanceList();
}

void TFormEditorItem::SelectRecord(FileKind kind, SectionCode section, int record, int file)
{
    if (kind == FileKind::IPL && section == SectionCode::PickedInst) {
        emit instancePicked(file, record);
        section = SectionCode::Inst;
    }
    const DocumentSelection& current = m_document.selection();
    DocumentSelection next{kind, section, file, {record}};
    bool reload = true;
    if (kind == FileKind::IPL && section == SectionCode::SeveralInst) {
        const bool sameFile = HasSelection() && current.kind == FileKind::IPL && current.file == file;
        const bool listed = HasSelection() && current.kind == FileKind::IPL && current.section == SectionCode::SeveralInst;
        if (listed && sameFile) {
            reload = false;
            next.records = current.records;
        } else if (sameFile && current.section == SectionCode::Inst) {
            // The first Shift-pick selects one instance; the second starts the list with it.
            next.records = current.records;
        } else if (listed) {
            // An instance of another file starts a new list: the list holds record indexes
            // of one file only.
            next.records.clear();
        } else {
            next.section = SectionCode::Inst;
        }
        if (next.section == SectionCode::SeveralInst) {
            const auto listedAt = std::find(next.records.begin(), next.records.end(), record);
            if (listedAt != next.records.end())
                next.records.erase(listedAt);
            else
                next.records.push_back(record);
        }
    }
    select(std::move(next));

    if (kind == FileKind::IPL && SelSection() == SectionCode::SeveralInst)
        showMultipleCount();
    if (reload)
        RefreshRecord(RecordRefresh::Reload);
    else
        showRecordTexts(); // a member added or removed is a new selection, not an edit of the file

    UndoText = RecordText();
    const TGTASFile* selected = m_fileList->File(SelFile());
    BtnUndo->setEnabled(false);
    copyBeforeEdit();
    m_versionAtSelection = selected ? m_document.version(selected) : 0;
    // In front of the windows it may be tabbed with.
    show();
    raise();
}

void TFormEditorItem::AddInstances(const std::vector<int>& records)
{
    if (!HasSelection() || SelSection() != SectionCode::SeveralInst)
        return;
    DocumentSelection next = m_document.selection();
    next.records.insert(next.records.end(), records.begin(), records.end());
    select(std::move(next));
    showMultipleCount();
    copyBeforeEdit();
}

void TFormEditorItem::showMultipleCount()
{
    EditIPLMultInstItemCount->setText(QString::number(EditIPLMultInstList->count()) + " Items");
    EditIPLMultInstItemCenter->setText(positionText(GetSelectionCentre()));
}

void TFormEditorItem::ClearSelection()
{
    select({});
    RefreshRecord(RecordRefresh::Reload);
    copyBeforeEdit();
}

void TFormEditorItem::followSelection()
{
    if (m_selecting || m_pushing)
        return;
    showInstanceList();
    RefreshRecord(RecordRefresh::Reload);
    if (SelSection() == SectionCode::SeveralInst)
        showMultipleCount();
    copyBeforeEdit();
}

std::array<float, 3> TFormEditorItem::GetSelectionCentre() const
{
    if (!SelectedIPLFile())
        return {0, 0, 0};
    if (SelSection() == SectionCode::Inst) {
        if (const TGTASInstObj* inst = Instance(SelRecord()))
            return {inst->PosX, inst->PosY, inst->PosZ};
        return {0, 0, 0};
    }
    if (SelSection() != SectionCode::SeveralInst)
        return {0, 0, 0};
    std::array<float, 3> sum{0, 0, 0};
    const std::vector<int> records = MultipleInstances();
    if (records.empty())
        return sum;
    for (int record : records) {
        if (const TGTASInstObj* inst = Instance(record)) {
            sum[0] += inst->PosX;
            sum[1] += inst->PosY;
            sum[2] += inst->PosZ;
        }
    }
    const float count = static_cast<float>(records.size());
    return {sum[0] / count, sum[1] / count, sum[2] / count};
}

void TFormEditorItem::MoveSelection(float dx, float dy, float dz)
{
    if (!SelectedIPLFile())
        return;
    std::vector<int> records;
    if (SelSection() == SectionCode::Inst)
        records.push_back(SelRecord());
    else if (SelSection() == SectionCode::SeveralInst)
        records = MultipleInstances();
    else
        return;
    m_stepText = records.size() == 1 ? QStringLiteral("Move Instance")
                                     : QStringLiteral("Move %1 Instances").arg(records.size());
    m_stepMerge = MapDocument::Merge::Move;
    for (int record : records) {
        if (TGTASInstObj* inst = Instance(record)) {
            inst->PosX += dx;
            inst->PosY += dy;
            inst->PosZ += dz;
        }
    }
    if (SelSection() == SectionCode::Inst)
        paneliplinst->showPosition();
    RefreshRecord(RecordRefresh::Edit);
}

std::array<float, 4> TFormEditorItem::GetSelectionRotation() const
{
    if (const TGTASInstObj* inst = SelectedInst())
        return {inst->RotX, inst->RotY, inst->RotZ, inst->RotW};
    return {0, 0, 0, 1};
}

void TFormEditorItem::SetSelectionRotation(const std::array<float, 4>& rotation)
{
    TGTASInstObj* inst = SelectedInst();
    if (!inst)
        return;
    inst->RotX = rotation[0];
    inst->RotY = rotation[1];
    inst->RotZ = rotation[2];
    inst->RotW = rotation[3];
    m_stepText = QStringLiteral("Rotate Instance");
    paneliplinst->showRotation();
    RefreshRecord(RecordRefresh::Edit);
}

void TFormEditorItem::UseDefinition(int id, const std::string& modelName)
{
    TGTASInstObj* inst = SelectedInst();
    if (!inst)
        return;
    inst->ID = id;
    inst->ModelName = modelName;
    inst->DefFile = -1;
    inst->DefIndex = -1;
    m_stepText = QStringLiteral("Use Object Definition");
    // The boxes show the new definition too, so that the next edit does not write the old
    // ID or name back.
    {
        const EditsSuppressed suppressed(*this);
        paneliplinst->load();
    }
    RefreshRecord(RecordRefresh::EditShownInLists);
}

void TFormEditorItem::MarkModified()
{
    if (!HasSelection() || !m_fileList->File(SelFile()))
        return;
    BtnUndo->setEnabled(true);
    pushEdit();
}

std::vector<int> TFormEditorItem::selectedRecords() const
{
    if (!HasSelection())
        return {};
    if (SelKind() == FileKind::IPL && SelSection() == SectionCode::SeveralInst)
        return MultipleInstances();
    return {SelRecord()};
}

void TFormEditorItem::copyBeforeEdit()
{
    const TGTASFile* file = HasSelection() ? m_fileList->File(SelFile()) : nullptr;
    if (!file) {
        m_before = {};
        return;
    }
    m_before = m_document.copyRecords(SelFile(), MapDocument::sectionIndex(*file, SelSection()), selectedRecords());
    m_beforeText = RecordText();
}

void TFormEditorItem::pushEdit(std::optional<std::uint64_t> restoredVersion)
{
    const TGTASFile* file = m_fileList ? m_fileList->File(SelFile()) : nullptr;
    if (!file || m_before.file != SelFile() || m_before.section < 0 || m_pushing)
        return;
    MapDocument::Merge merge = m_stepMerge;
    int key = 0;
    QString text = m_stepText;
    // Typing into a box: every key is an edit, and the edits of one field make one step. The
    // field is told by the columns of the record's text that the edit changed.
    const std::string afterText = RecordText();
    // A box that writes back what the record holds (leaving it, a reformat) is no step.
    if (afterText == m_beforeText && afterText != "N/A" && text.isEmpty())
        return;
    if (merge == MapDocument::Merge::None && text.isEmpty()) {
        merge = MapDocument::Merge::Field;
        key = changedColumnsKey(m_beforeText, afterText);
    }
    if (text.isEmpty())
        text = QStringLiteral("Edit Record");
    m_pushing = true;
    m_document.recordsEdited(text, std::move(m_before), merge, key, restoredVersion);
    m_pushing = false;
    m_stepText.clear();
    m_stepMerge = MapDocument::Merge::None;
    m_before = m_document.copyRecords(SelFile(), MapDocument::sectionIndex(*file, SelSection()), selectedRecords());
    m_beforeText = afterText;
    m_versionAfterOwnStep = m_document.version(file);
}

void TFormEditorItem::MoveFinished()
{
    m_document.endMerging();
}

void TFormEditorItem::followRecords(int file)
{
    if (m_pushing || !HasSelection() || file != SelFile())
        return;
    // The records that still exist stay selected; when that changes the selection, the
    // page follows the new one.
    const DocumentSelection before = m_document.selection();
    m_document.keepSelectionValid();
    if (m_document.selection() != before)
        return;
    RefreshRecord(RecordRefresh::Reload);
    if (SelSection() == SectionCode::SeveralInst)
        showMultipleCount();
    copyBeforeEdit();
}

std::string TFormEditorItem::RecordText() const
{
    if (!HasSelection() || !m_fileList)
        return {};
    const SectionEntry* entry = sectionEntry(SelKind(), SelSection());
    TGTASFile* file = m_fileList->File(SelFile());
    if (!entry || !entry->container || !file || file->Kind != SelKind())
        return "N/A";
    return entry->container(*file)->WriteLine(SelRecord());
}

void TFormEditorItem::RefreshRecord(RecordRefresh how)
{
    if (!HasSelection()) {
        showPage(nullptr);
        ModeValue->setText("N/A");
        FileIndexValue->setText("N/A");
        ExpandedEdit->clear();
        return;
    }
    if (how == RecordRefresh::Reload) {
        const EditsSuppressed suppressed(*this);
        ShowRecord(SelKind(), SelSection());
    } else {
        // The step repaints the view and the editors' lists, which follow the document.
        MarkModified();
    }
    showRecordTexts();
}

void TFormEditorItem::showRecordTexts()
{
    const TGTASFile* file = m_fileList ? m_fileList->File(SelFile()) : nullptr;
    const SectionEntry* entry = sectionEntry(SelKind(), SelSection());
    ModeValue->setText(entry ? entry->mode : "N/A");
    FileIndexValue->setText(file ? QString::fromStdString(file->FileName) : QString("N/A"));
    ExpandedEdit->setText(QString::fromStdString(RecordText()));
    ExpandedEdit->setCursorPosition(0);
}

void TFormEditorItem::ShowRecord(FileKind kind, SectionCode code)
{
    showPage(sectionEntry(kind, code));
}

void TFormEditorItem::showPage(const SectionEntry* entry)
{
    BtnUndo->setVisible(!entry || entry->code != SectionCode::SeveralInst);
    ItemPanel* shown = entry ? entry->page(*this) : nullptr;
    // The current page first, so that hiding the others never makes Qt pick one of them.
    if (shown)
        PageControl1->setCurrentWidget(shown);
    for (int tab = 0; tab < PageControl1->count(); ++tab)
        PageControl1->setTabVisible(tab, PageControl1->widget(tab) == shown);
    PageControl1->setVisible(shown != nullptr);
    if (shown)
        shown->load();
}

void TFormEditorItem::UpdateInstanceValidation()
{
    paneliplinst->UpdateInstanceValidation();
}

void TFormEditorItem::UpdateObjsMarkers()
{
    panelideobjs->updateMarkers();
}

void TFormEditorItem::UpdateTObjMarkers()
{
    panelidetobj->updateMarkers();
}

void TFormEditorItem::FillIDEPathNodes()
{
    panelidepath->fillNodes();
}

void TFormEditorItem::FillIPLPathNodes()
{
    paneliplpath->fillNodes();
}

void TFormEditorItem::restoreFromText(const std::string& text)
{
    const SectionEntry* entry = sectionEntry(SelKind(), SelSection());
    TGTASFile* file = m_fileList ? m_fileList->File(SelFile()) : nullptr;
    if (entry && entry->restore && file && file->Kind == SelKind())
        entry->restore(*file, SelRecord(), text);
}

void TFormEditorItem::UndoEdit()
{
    if (!HasSelection())
        return;
    restoreFromText(UndoText);
    // One step that can be redone. The file is as it was when the record was selected unless
    // another window changed it since.
    const TGTASFile* file = m_fileList->File(SelFile());
    const std::uint64_t now = file ? m_document.version(file) : 0;
    std::optional<std::uint64_t> restored;
    if (now == m_versionAtSelection || now == m_versionAfterOwnStep)
        restored = m_versionAtSelection;
    m_stepText = QStringLiteral("Restore Record");
    pushEdit(restored);
    RefreshRecord(RecordRefresh::Reload);
    BtnUndo->setEnabled(false);
}

void TFormEditorItem::BtnUndoClick()
{
    UndoEdit();
}

void TFormEditorItem::BtnCancelClick()
{
    ClearSelection();
    hide();
}

