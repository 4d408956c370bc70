#include "TFormFind.h"

#include "DefinitionSearch.h"
#include "DialogService.h"
#include "IdRangePreferences.h"
#include "MapDocument.h"
#include "MapListView.h"
#include "SearchHitsModel.h"
#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

// The fields the box searches, in the order of the choice beside it.
struct FieldChoice {
    const char* caption;
    SearchField field;
};

constexpr FieldChoice FieldChoices[] = {
    {"Everything", SearchField::Any},     {"ID", SearchField::ID},     {"Model", SearchField::Model},
    {"Dictionary", SearchField::Dictionary}, {"File", SearchField::File},
};

// The map changes in bursts (a drag moves a placement on every mouse move): the hits are
// made again once a burst is over.
constexpr int RefreshDelayMs = 150;

// The section the windows name a hit's record by.
SectionCode sectionOf(HitKind kind)
{
    switch (kind) {
    case HitKind::Objs: return SectionCode::Objs;
    case HitKind::TObj: return SectionCode::TObj;
    case HitKind::Inst: return SectionCode::Inst;
    case HitKind::Effect2D: return SectionCode::Fx2d;
    case HitKind::Path: return SectionCode::Path;
    }
    return SectionCode::Inst;
}

QString rangeText(int first, int last)
{
    return first == last ? QString::number(first) : QString::number(first) + QStringLiteral(" - ") + QString::number(last);
}

// A docked window comes forward as its tab (or dock) does.
void bringForward(QWidget* window)
{
    for (QWidget* parent = window->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
            for (int page = 0; page < tabs->count(); ++page) {
                if (tabs->widget(page) == window || tabs->widget(page)->isAncestorOf(window)) {
                    tabs->setTabVisible(page, true);
                    tabs->setCurrentIndex(page);
                }
            }
        } else if (auto* dock = qobject_cast<QDockWidget*>(parent)) {
            dock->show();
            dock->raise();
        }
    }
    window->show();
}

} // namespace

TFormFind::TFormFind(MapDocument& document, TFormEditorItem* itemEditor, TGLView* view, TFormEditorIPL* iplEditor,
                     TFormEditorIDE* ideEditor, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_document(document)
    , m_files(document.files())
    , m_itemEditor(itemEditor)
    , m_view(view)
    , m_iplEditor(iplEditor)
    , m_ideEditor(ideEditor)
{
    setObjectName("TFormFind");
    setWindowTitle("Find");
    resize(640, 460);

    PageControl = named(new QTabWidget, "PageControl");
    TabFind = named(new QWidget, "TabFind");
    TabFreeIDs = named(new QWidget, "TabFreeIDs");
    PageControl->addTab(TabFind, "Find");
    PageControl->addTab(TabFreeIDs, "Free IDs");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    buildFindPage();
    buildFreeIDsPage();

    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(RefreshDelayMs);
    connect(m_refresh, &QTimer::timeout, this, [this] {
        runShown();
        RefreshFreeIDs();
    });
    connect(&m_document, &MapDocument::recordsChanged, this, &TFormFind::mapChanged);
    connect(&m_document, &MapDocument::fileAdded, this, &TFormFind::mapChanged);
    connect(&m_document, &MapDocument::fileRemoved, this, &TFormFind::mapChanged);
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int page) {
        if (PageControl->widget(page) == TabFreeIDs)
            RefreshFreeIDs();
    });
}

void TFormFind::buildFindPage()
{
    EditFind = named(new QLineEdit, "EditFind");
    EditFind->setPlaceholderText("ID, model, dictionary or file name; * and ? match any text and any letter");
    EditFind->setClearButtonEnabled(true);
    ComboField = named(new QComboBox, "ComboField");
    for (const FieldChoice& choice : FieldChoices)
        ComboField->addItem(choice.caption);
    m_hits = new SearchHitsModel(this);
    m_hits->setFileList(&m_files);
    ListHits = named(new MapListView, "ListHits");
    ListHits->setModel(m_hits);
    ListHits->setToolTip("Double click or Enter to open the item");
    ListHits->header()->setSectionsClickable(true);
    ListHits->header()->resizeSection(SearchHitsModel::KindColumn, 50);
    ListHits->header()->resizeSection(SearchHitsModel::FileColumn, 170);
    ListHits->header()->resizeSection(SearchHitsModel::IDColumn, 50);
    LabelHitCount = named(new QLabel, "LabelHitCount");

    auto* boxRow = new QHBoxLayout;
    boxRow->addWidget(new QLabel("Find:"));
    boxRow->addWidget(EditFind, 1);
    boxRow->addWidget(new QLabel("in"));
    boxRow->addWidget(ComboField);
    auto* layout = new QVBoxLayout(TabFind);
    layout->addLayout(boxRow);
    layout->addWidget(ListHits, 1);
    layout->addWidget(LabelHitCount);

    connect(EditFind, &QLineEdit::textChanged, this, &TFormFind::EditFindChange);
    connect(ComboField, &QComboBox::currentIndexChanged, this, &TFormFind::EditFindChange);
    connect(ListHits->header(), &QHeaderView::sectionClicked, this, &TFormFind::ListHitsColumnClick);
    connect(ListHits, &MapListView::rowOpened, this, [this](int row, bool) { OpenHit(row); });
}

void TFormFind::buildFreeIDsPage()
{
    EditTableSize = named(new QSpinBox, "EditTableSize");
    EditTableSize->setRange(1, IdRangePreferences::LargestTable);
    {
        const QSignalBlocker quiet(EditTableSize);
        const bool viceCity = m_files.IsViceCity();
        EditTableSize->setValue(IdRangePreferences::modelTableSize(viceCity, defaultHighestGameID(viceCity)));
    }
    ListFreeIDs = named(new QTreeWidget, "ListFreeIDs");
    ListFreeIDs->setHeaderLabels({"Free IDs", "Count"});
    ListFreeIDs->setRootIsDecorated(false);
    ListDuplicateIDs = named(new QTreeWidget, "ListDuplicateIDs");
    ListDuplicateIDs->setHeaderLabels({"ID", "Problem"});
    ListDuplicateIDs->setRootIsDecorated(false);
    ListDuplicateIDs->setToolTip("Double click to find the definitions of the ID");
    BtnUseRange = named(new QPushButton("Use for \"Add Item\""), "BtnUseRange");
    BtnUseRange->setToolTip("New definitions of the IDE editor take the first free ID of the chosen range");
    BtnDefaultIDs = named(new QPushButton("Use Highest ID + 1"), "BtnDefaultIDs");
    LabelAddItemIDs = named(new QLabel, "LabelAddItemIDs");
    LabelAddItemIDs->setWordWrap(true);

    auto* highestRow = new QHBoxLayout;
    highestRow->addWidget(new QLabel("IDs the game can hold (its model table, IDs 0 to one less):"));
    highestRow->addWidget(EditTableSize);
    highestRow->addStretch(1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(ListFreeIDs, 2);
    lists->addWidget(ListDuplicateIDs, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnUseRange);
    buttons->addWidget(BtnDefaultIDs);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(TabFreeIDs);
    layout->addLayout(highestRow);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    layout->addWidget(LabelAddItemIDs);

    connect(EditTableSize, &QSpinBox::valueChanged, this, &TFormFind::EditTableSizeChange);
    connect(BtnUseRange, &QPushButton::clicked, this, &TFormFind::BtnUseRangeClick);
    connect(BtnDefaultIDs, &QPushButton::clicked, this, &TFormFind::BtnDefaultIDsClick);
    connect(ListDuplicateIDs, &QTreeWidget::itemDoubleClicked, this, &TFormFind::ListDuplicateIDsDblClick);
    connect(ListFreeIDs, &QTreeWidget::itemDoubleClicked, this, &TFormFind::BtnUseRangeClick);
    showAddItemRange();
}

QString TFormFind::hitCountText(int hits)
{
    return hits == 1 ? QStringLiteral("1 hit") : QString::number(hits) + QStringLiteral(" hits");
}

void TFormFind::EditFindChange()
{
    m_shown = {};
    runShown();
}

void TFormFind::runShown()
{
    if (m_shown.placements) {
        std::vector<SearchHit> hits = placementsOfDefinition(m_files, m_shown.id);
        const int count = static_cast<int>(hits.size());
        showHits(std::move(hits), hitCountText(count) + QStringLiteral(": placements of ID ") + QString::number(m_shown.id));
        return;
    }
    const std::string query = EditFind->text().trimmed().toStdString();
    const int choice = ComboField->currentIndex();
    const SearchField field = choice >= 0 && choice < static_cast<int>(std::size(FieldChoices))
                                  ? FieldChoices[choice].field
                                  : SearchField::Any;
    std::vector<SearchHit> hits = query.empty() ? std::vector<SearchHit>{} : searchMap(m_files, query, field);
    const int count = static_cast<int>(hits.size());
    showHits(std::move(hits), query.empty() ? QString() : hitCountText(count));
}

void TFormFind::showHits(std::vector<SearchHit> hits, const QString& count)
{
    m_stale = false;
    m_hits->show(std::move(hits));
    if (m_sort)
        m_hits->sortBy(m_sort->first, m_sort->second);
    LabelHitCount->setText(count);
}

void TFormFind::ListHitsColumnClick(int column)
{
    const Qt::SortOrder order = m_sortCycle.click(column);
    m_sort = std::make_pair(column, order);
    m_hits->sortBy(column, order);
    ListHits->selectRow(-1);
}

void TFormFind::mapChanged()
{
    // A hidden window makes its hits again when it is shown.
    m_stale = true;
    if (isVisible())
        m_refresh->start();
}

void TFormFind::showEvent(QShowEvent* event)
{
    if (m_firstShow) {
        m_firstShow = false;
        // The first search of a run touches every record and grows the memory the hits take:
        // done now, the first key typed waits only for its own search.
        searchMap(m_files, "*");
    }
    if (m_stale) {
        runShown();
        RefreshFreeIDs();
    }
    // Opened to type into: the box takes the keys at once.
    activateWindow();
    EditFind->setFocus();
    EditFind->selectAll();
    QWidget::showEvent(event);
}

void TFormFind::ShowPlacementsOf(int id)
{
    m_shown = {true, id};
    {
        // The box keeps its text for the next search; this list is not its hits.
        const QSignalBlocker quiet(EditFind);
        EditFind->clear();
    }
    runShown();
    PageControl->setCurrentWidget(TabFind);
    show();
    raise();
    activateWindow();
}

void TFormFind::showInEditor(int file, SectionCode section, int record)
{
    const TGTASFile* found = m_files.File(file);
    MapFileEditor* editor = nullptr;
    if (found && found->Kind == FileKind::IPL)
        editor = m_iplEditor;
    else if (found && found->Kind == FileKind::IDE)
        editor = m_ideEditor;
    if (!editor)
        return;
    bringForward(editor);
    editor->ShowRecordRow(file, section, record);
}

void TFormFind::openRecord(int file, SectionCode section, int record)
{
    const TGTASFile* found = m_files.File(file);
    if (!found)
        return;
    showInEditor(file, section, record);
    if (m_itemEditor)
        m_itemEditor->SelectRecord(found->Kind, section, record, file);
}

void TFormFind::OpenHit(int row)
{
    const SearchHit* hit = m_hits->hitAt(row);
    const TGTASFile* file = hit ? m_files.File(hit->file) : nullptr;
    // The list may be older than the last change of the map: a record that has gone is not
    // opened in its place's new occupant.
    const TGTASContainer* section = file ? file->SectionAt(hit->section) : nullptr;
    if (!section || hit->record < 0 || hit->record >= section->Count())
        return;
    const SectionCode code = sectionOf(hit->kind);
    openRecord(hit->file, code, hit->record);
    if (!m_view || !hit->hasPosition)
        return;
    if (const TIPLFile* ipl = m_files.IPLFile(hit->file); ipl && code == SectionCode::Inst && ipl->Inst.IsValidIndex(hit->record)) {
        // Where the placement is now, should it have moved since the search.
        const TGTASInstObj& inst = ipl->Inst.Items[static_cast<size_t>(hit->record)];
        m_view->CentreOn(inst.PosX, inst.PosY, inst.PosZ);
    } else {
        m_view->CentreOn(hit->x, hit->y, hit->z);
    }
}

bool TFormFind::GoToDefinitionOf(int iplFile, int record)
{
    const TIPLFile* ipl = m_files.IPLFile(iplFile);
    if (!ipl || !ipl->Inst.IsValidIndex(record))
        return false;
    const TGTASInstObj& inst = ipl->Inst.Items[static_cast<size_t>(record)];
    DefinitionSearch search(m_files, ipl->FileName);
    const DefinitionFound found = search.find(inst.ID);
    if (!found) {
        dialogs().showMessage(MessageKind::Information, QString(),
                              QStringLiteral("No definition with the ID ") + QString::number(inst.ID) +
                                  QStringLiteral(" is loaded."));
        return false;
    }
    openRecord(found.file, found.timed ? SectionCode::TObj : SectionCode::Objs, found.index);
    return true;
}

void TFormFind::RefreshFreeIDs()
{
    m_usage = idUsage(m_files, EditTableSize->value());
    ListFreeIDs->clear();
    QList<QTreeWidgetItem*> ranges;
    for (const auto& [first, last] : m_usage.free) {
        auto* row = new QTreeWidgetItem({rangeText(first, last), QString::number(last - first + 1)});
        row->setData(0, Qt::UserRole, first);
        row->setData(1, Qt::UserRole, last);
        ranges.append(row);
    }
    ListFreeIDs->addTopLevelItems(ranges);
    ListDuplicateIDs->clear();
    QList<QTreeWidgetItem*> duplicates;
    for (const int id : m_usage.usedTwice)
        duplicates.append(new QTreeWidgetItem({QString::number(id), QStringLiteral("used twice")}));
    for (const int id : m_usage.outside)
        duplicates.append(new QTreeWidgetItem({QString::number(id), QStringLiteral("beyond the model table")}));
    ListDuplicateIDs->addTopLevelItems(duplicates);
}

void TFormFind::EditTableSizeChange()
{
    IdRangePreferences::setModelTableSize(m_files.IsViceCity(), EditTableSize->value());
    RefreshFreeIDs();
}

void TFormFind::BtnUseRangeClick()
{
    const QTreeWidgetItem* row = ListFreeIDs->currentItem();
    if (!row || !m_ideEditor)
        return;
    m_ideEditor->SetNewIDRange(std::make_pair(row->data(0, Qt::UserRole).toInt(), row->data(1, Qt::UserRole).toInt()));
    showAddItemRange();
}

void TFormFind::BtnDefaultIDsClick()
{
    if (m_ideEditor)
        m_ideEditor->SetNewIDRange(std::nullopt);
    showAddItemRange();
}

void TFormFind::showAddItemRange()
{
    const auto range = m_ideEditor ? m_ideEditor->NewIDRange() : std::nullopt;
    LabelAddItemIDs->setText(range ? QStringLiteral("\"Add Item\" gives a new definition the first free ID from ") +
                                         rangeText(range->first, range->second) + QStringLiteral(".")
                                   : QStringLiteral("\"Add Item\" gives a new definition the highest ID + 1."));
}

void TFormFind::ListDuplicateIDsDblClick()
{
    const QTreeWidgetItem* row = ListDuplicateIDs->currentItem();
    if (!row)
        return;
    PageControl->setCurrentWidget(TabFind);
    {
        const QSignalBlocker quiet(ComboField);
        ComboField->setCurrentIndex(1); // ID
    }
    EditFind->setText(row->text(0));
    EditFindChange();
}
