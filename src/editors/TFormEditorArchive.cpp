#include "TFormEditorArchive.h"

#include "DialogService.h"
#include "EntryNames.h"
#include "TFormLoading.h"
#include "TGTAImg.h"
#include "TextParser.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <numeric>

namespace {

constexpr int ColumnIndex = 0;
constexpr int ColumnName = 1;
constexpr int ColumnType = 2;
constexpr int ColumnSize = 3;
constexpr std::size_t NameField = 24; // bytes of a directory record's name

const char* const InsertFilter = "Supported Formats (*.txd, *.dff)|*.TXD;*.DFF|All Files (*.*)|*.*";

QString entryName(const TImgEntry& entry)
{
    const std::string_view name = entry.TrimmedView();
    return QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(name.size()));
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Names for a message: a long list is cut short, with the number left out.
QString nameList(const QStringList& names)
{
    constexpr int Shown = 12;
    if (names.isEmpty())
        return QStringLiteral("none");
    if (names.size() <= Shown)
        return names.join(QStringLiteral(", "));
    return names.mid(0, Shown).join(QStringLiteral(", ")) + QStringLiteral(" and %1 more").arg(names.size() - Shown);
}

// The busy cursor for the length of a command, also when it ends early.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The progress window of a command. The editor is disabled meanwhile: the window lets
// events through between files, and a second command must not start inside the first.
class CommandProgress {
public:
    CommandProgress(QWidget* editor, const char* title) : m_editor(editor), m_window(std::make_unique<TFormLoading>())
    {
        m_window->setWindowTitle(QString::fromLatin1(title));
        m_editor->setEnabled(false);
        m_window->show();
    }
    ~CommandProgress() { close(); }
    CommandProgress(const CommandProgress&) = delete;
    CommandProgress& operator=(const CommandProgress&) = delete;

    TFormLoading* operator->() const { return m_window.get(); }
    // Closes the window, before a message about how the work went.
    void close()
    {
        m_window.reset();
        m_editor->setEnabled(true);
    }

private:
    QWidget* m_editor;
    std::unique_ptr<TFormLoading> m_window;
};

} // namespace

// Rows of the list: the entries in `EntryOrder`, their texts made when asked for.
class ArchiveListModel : public QAbstractTableModel {
public:
    ArchiveListModel(const TGTAImg* archive, const std::vector<int>& order, QObject* parent)
        : QAbstractTableModel(parent), m_archive(archive), m_order(order)
    {
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_order.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 4; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !m_archive || index.row() < 0
            || index.row() >= static_cast<int>(m_order.size()))
            return {};
        const TImgEntry& entry = m_archive->Entries[static_cast<std::size_t>(m_order[static_cast<std::size_t>(index.row())])];
        switch (index.column()) {
        case ColumnIndex: return QString::number(entry.Index);
        case ColumnName: return entryName(entry);
        case ColumnType: return TFormEditorArchive::TypeText(entryName(entry));
        case ColumnSize: return TFormEditorArchive::SizeText(entry.Size);
        default: return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const char* const titles[] = {"Index", "Filename", "Type", "Size"};
        return section >= 0 && section < 4 ? QString::fromLatin1(titles[section]) : QVariant();
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    template <typename Change>
    void reset(Change&& change)
    {
        beginResetModel();
        change();
        endResetModel();
    }

private:
    const TGTAImg* m_archive;
    const std::vector<int>& m_order;
};

TFormEditorArchive::TFormEditorArchive(TGTAImg* archive, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_archive(archive)
{
    setObjectName(QStringLiteral("TFormEditorArchive"));
    setWindowTitle(QStringLiteral("Archive Editor"));

    const auto action = [this](const char* name, const char* text) {
        auto* made = new QAction(QString::fromLatin1(text), this);
        made->setObjectName(QString::fromLatin1(name));
        return made;
    };
    ActionEditExtract = action("ActionEditExtract", "&Extract Selected Items");
    ActionEditInsert = action("ActionEditInsert", "&Insert Selected Items");
    ActionEditDelete = action("ActionEditDelete", "&Delete Selected Items");
    ActionEditRebuild = action("ActionEditRebuild", "&Rebuild Archive");
    ActionEditRebuild->setToolTip(QStringLiteral("Write the archive again without the space of deleted and replaced entries"));

    TBArchive = new QToolBar(this);
    TBArchive->setObjectName(QStringLiteral("TBArchive"));
    TBArchive->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto button = [this](QAction* runs, const char* name) {
        auto* made = new QToolButton(TBArchive);
        made->setObjectName(QString::fromLatin1(name));
        made->setDefaultAction(runs);
        made->setToolButtonStyle(Qt::ToolButtonTextOnly);
        TBArchive->addWidget(made);
        return made;
    };
    TBEditExtract = button(ActionEditExtract, "TBEditExtract");
    TBEditInsert = button(ActionEditInsert, "TBEditInsert");
    TBEditDelete = button(ActionEditDelete, "TBEditDelete");
    TBArchive->addSeparator();
    TBEditRebuild = button(ActionEditRebuild, "TBEditRebuild");

    ListArchive = new QTableView(this);
    ListArchive->setObjectName(QStringLiteral("ListArchive"));
    m_model = new ArchiveListModel(archive, EntryOrder, this);
    ListArchive->setModel(m_model);
    ListArchive->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListArchive->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListArchive->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListArchive->setShowGrid(false);
    ListArchive->setWordWrap(false);
    ListArchive->setSortingEnabled(false); // sorted here, by the rules of the column click
    // Fixed row heights: the view never measures the rows to lay them out.
    QHeaderView* rows = ListArchive->verticalHeader();
    rows->setVisible(false);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(ListArchive->fontMetrics().height() + 4);
    QHeaderView* columns = ListArchive->horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(false);
    columns->setHighlightSections(false);
    columns->resizeSection(ColumnIndex, 60);
    columns->resizeSection(ColumnName, 190);
    columns->resizeSection(ColumnType, 80);
    columns->setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(TBArchive);
    layout->addWidget(ListArchive, 1);
    resize(440, 520);

    connect(ActionEditExtract, &QAction::triggered, this, &TFormEditorArchive::ActionEditExtractExecute);
    connect(ActionEditInsert, &QAction::triggered, this, &TFormEditorArchive::ActionEditInsertExecute);
    connect(ActionEditDelete, &QAction::triggered, this, &TFormEditorArchive::ActionEditDeleteExecute);
    connect(ActionEditRebuild, &QAction::triggered, this, &TFormEditorArchive::ActionEditRebuildExecute);
    connect(columns, &QHeaderView::sectionClicked, this, &TFormEditorArchive::ListArchiveColumnClick);
    connect(ListArchive->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFormEditorArchive::ListArchiveSelectItem);

    updateActions();
    RefreshList();
}

TFormEditorArchive::~TFormEditorArchive() = default;

void TFormEditorArchive::updateActions()
{
    const bool writable = m_archive && m_archive->Opened && !m_archive->ReadOnly;
    ActionEditInsert->setEnabled(writable);
    ActionEditDelete->setEnabled(writable);
    ActionEditRebuild->setEnabled(writable);
}

QString TFormEditorArchive::TypeText(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot + 1 >= name.size())
        return QStringLiteral("File");
    return name.mid(dot + 1).toUpper() + QStringLiteral(" File");
}

QString TFormEditorArchive::SizeText(quint32 sectors)
{
    // Sectors of 2048 bytes as kilobytes, rounded down.
    return QString::number(sectors / 2) + QStringLiteral(" kB");
}

void TFormEditorArchive::RefreshList()
{
    m_model->reset([this] {
        EntryOrder.resize(m_archive ? static_cast<std::size_t>(m_archive->EntryCount()) : 0);
        std::iota(EntryOrder.begin(), EntryOrder.end(), 0);
    });
    SortColumn = -1;
    ListArchive->horizontalHeader()->setSortIndicatorShown(false);
}

void TFormEditorArchive::ListArchiveColumnClick(int column)
{
    if (column == SortColumn) {
        sortBy(column, true);
        SortColumn = -1;
    } else {
        sortBy(column, false);
        SortColumn = column;
    }
}

void TFormEditorArchive::sortBy(int column, bool descending)
{
    if (!m_archive)
        return;
    const std::vector<TImgEntry>& entries = m_archive->Entries;
    // The keys once per entry rather than once per comparison.
    std::vector<QString> names(entries.size());
    std::vector<QString> types;
    for (std::size_t pos = 0; pos < entries.size(); ++pos)
        names[pos] = entryName(entries[pos]).toCaseFolded();
    if (column == ColumnType) {
        types.resize(entries.size());
        for (std::size_t pos = 0; pos < entries.size(); ++pos)
            types[pos] = TypeText(names[pos]);
    }
    const auto compare = [&](int a, int b) -> int {
        const auto pa = static_cast<std::size_t>(a);
        const auto pb = static_cast<std::size_t>(b);
        switch (column) {
        case ColumnIndex: return (entries[pa].Index > entries[pb].Index) - (entries[pa].Index < entries[pb].Index);
        case ColumnType:
            if (const int byType = types[pa].compare(types[pb]))
                return byType;
            break;
        case ColumnSize:
            if (entries[pa].Size != entries[pb].Size)
                return entries[pa].Size < entries[pb].Size ? -1 : 1;
            break;
        default: break;
        }
        return names[pa].compare(names[pb]);
    };
    m_model->reset([&] {
        std::stable_sort(EntryOrder.begin(), EntryOrder.end(),
                         [&](int a, int b) { return descending ? compare(b, a) < 0 : compare(a, b) < 0; });
    });
    QHeaderView* header = ListArchive->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    ListArchive->setCurrentIndex(QModelIndex());
}

std::vector<int> TFormEditorArchive::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : ListArchive->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TFormEditorArchive::clearSelection()
{
    ListArchive->clearSelection();
    ListArchive->setCurrentIndex(QModelIndex());
    emit modelChosen(QString(), -1);
}

void TFormEditorArchive::ListArchiveSelectItem()
{
    QItemSelectionModel* selection = ListArchive->selectionModel();
    if (!m_archive || !selection->hasSelection()) {
        emit modelChosen(QString(), -1);
        return;
    }
    // The row the user just clicked or moved to; otherwise any selected one.
    int row = ListArchive->currentIndex().row();
    if (row < 0 || !selection->isRowSelected(row))
        row = selection->selectedRows().value(0).row();
    if (row < 0 || row >= static_cast<int>(EntryOrder.size()))
        return;
    const TImgEntry& entry = m_archive->Entries[static_cast<std::size_t>(EntryOrder[static_cast<std::size_t>(row)])];
    const std::string_view name = entry.TrimmedView();
    const std::string_view extension = extensionOf(name);
    const std::string_view base = withoutExtension(name);
    const QString baseText = QString::fromLocal8Bit(base.data(), static_cast<qsizetype>(base.size()));
    if (equalsIgnoringCase(extension, ".dff"))
        emit modelChosen(baseText, m_archive->FindTxd(base));
    else if (equalsIgnoringCase(extension, ".txd"))
        emit dictionaryChosen(baseText, m_archive->FindTxd(base));
}

void TFormEditorArchive::ActionEditExtractExecute()
{
    if (!m_archive)
        return;
    const std::optional<QString> folder = dialogs().pickFolder(QStringLiteral("Please Specify Location To Extract Files:"), {});
    if (!folder)
        return;
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;

    CommandProgress progress(this, "Extracting");
    progress->SetCurrentText("Extracting File(s)");
    progress->SetOverallMax(static_cast<int>(rows.size()));
    QStringList extracted;
    for (std::size_t pos = 0; pos < rows.size(); ++pos) {
        const int index = EntryOrder[static_cast<std::size_t>(rows[pos])];
        const TImgEntry& entry = m_archive->Entries[static_cast<std::size_t>(index)];
        const QString name = entryName(entry);
        progress->SetPartText(entry.TrimmedView());
        progress->SetPartMax(1);
        std::string written;
        // The entry's name made safe as a file name: nothing lands outside the folder.
        if (const int error = m_archive->ExtractEntryToFolder(index, folder->toLocal8Bit().toStdString(), written)) {
            progress.close();
            QStringList missed;
            for (std::size_t rest = pos; rest < rows.size(); ++rest)
                missed << entryName(m_archive->Entries[static_cast<std::size_t>(EntryOrder[static_cast<std::size_t>(rows[rest])])]);
            dialogs().showMessage(MessageKind::Error, QString(),
                                  QStringLiteral("ERROR: Could not extract %1 into %2: %3.\n\nExtracted (%4): %5\nNot extracted (%6): %7")
                                      .arg(name, *folder, errorText(error))
                                      .arg(extracted.size())
                                      .arg(nameList(extracted))
                                      .arg(missed.size())
                                      .arg(nameList(missed)));
            return;
        }
        extracted << name;
        progress->StepPart();
        progress->StepOverall();
    }
}

void TFormEditorArchive::ActionEditInsertExecute()
{
    if (!m_archive || !ActionEditInsert->isEnabled())
        return;
    const QStringList files = dialogs().openFiles(QStringLiteral("Insert Files"), QString::fromLatin1(InsertFilter), true);
    if (files.isEmpty())
        return;

    // A name longer than the directory's field would be cut, and then it would no longer
    // be the name the definitions look for: refused before anything is added.
    QStringList tooLong;
    for (const QString& file : files) {
        if (static_cast<std::size_t>(QFileInfo(file).fileName().toLocal8Bit().size()) > NameField)
            tooLong << QFileInfo(file).fileName();
    }
    if (!tooLong.isEmpty()) {
        dialogs().showMessage(MessageKind::Error, QString(),
                              QStringLiteral("ERROR: These file names are longer than the %1 characters an archive entry "
                                             "name can hold: %2\n\nNothing was added. Rename the files and insert them again.")
                                  .arg(NameField)
                                  .arg(tooLong.join(QStringLiteral(", "))));
        return;
    }

    // Names the archive has already: replace the entry, or leave the file out.
    struct Chosen {
        QString path;
        std::string name;
        bool replace;
    };
    std::vector<Chosen> chosen;
    for (const QString& file : files) {
        const std::string name = QFileInfo(file).fileName().toLocal8Bit().toStdString();
        const bool exists = m_archive->FindEntry(name) >= 0;
        if (exists
            && dialogs().showMessage(MessageKind::Confirmation, QString(),
                                     QStringLiteral("The archive already has an entry named %1. Replace it?")
                                         .arg(QFileInfo(file).fileName()),
                                     DialogButtons::YesNo)
                != DialogAnswer::Yes)
            continue;
        chosen.push_back({file, name, exists});
    }
    if (chosen.empty())
        return;

    BusyCursor busy;
    CommandProgress progress(this, "Adding");
    progress->SetCurrentText("Adding File(s)");
    progress->SetOverallMax(static_cast<int>(chosen.size()));
    QStringList added;
    for (std::size_t pos = 0; pos < chosen.size(); ++pos) {
        const Chosen& file = chosen[pos];
        progress->SetPartText(file.name);
        std::ifstream source(file.path.toLocal8Bit().toStdString(), std::ios::binary);
        int error = source ? 0 : (errno != 0 ? errno : EIO);
        if (error == 0)
            error = file.replace ? m_archive->ReplaceFile(file.name, source) : m_archive->AddFile(file.name, source);
        if (error != 0) {
            progress.close();
            RefreshList();
            if (!added.isEmpty())
                emit archiveChanged();
            QStringList missed;
            for (std::size_t rest = pos; rest < chosen.size(); ++rest)
                missed << QFileInfo(chosen[rest].path).fileName();
            dialogs().showMessage(MessageKind::Error, QString(),
                                  QStringLiteral("ERROR: Could not add %1 to the archive: %2.\n\nAdded (%3): %4\nNot added (%5): %6")
                                      .arg(file.path, errorText(error))
                                      .arg(added.size())
                                      .arg(nameList(added))
                                      .arg(missed.size())
                                      .arg(nameList(missed)));
            return;
        }
        added << QFileInfo(file.path).fileName();
        progress->StepOverall();
    }
    RefreshList();
    progress.close();
    emit archiveChanged();
}

void TFormEditorArchive::ActionEditDeleteExecute()
{
    if (!m_archive || !ActionEditDelete->isEnabled())
        return;
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    if (dialogs().showMessage(MessageKind::Confirmation, QString(),
                              QStringLiteral("Are you sure you want to delete the selected files?"), DialogButtons::YesNo)
        != DialogAnswer::Yes)
        return;
    for (const int row : rows)
        m_archive->MarkDeleted(EntryOrder[static_cast<std::size_t>(row)]);
    const int error = m_archive->CommitDeletions();
    if (error != 0) {
        // Nothing was removed; the marks must not carry over into a later commit.
        for (TImgEntry& entry : m_archive->Entries)
            entry.Deleted = false;
    }
    RefreshList();
    clearSelection();
    if (error != 0) {
        dialogs().showMessage(MessageKind::Error, QString(),
                              QStringLiteral("ERROR: Could not delete the selected files: %1.\n\nNothing was deleted.")
                                  .arg(errorText(error)));
        return;
    }
    emit archiveChanged();
}

void TFormEditorArchive::ActionEditRebuildExecute()
{
    if (!m_archive || !ActionEditRebuild->isEnabled())
        return;
    BusyCursor busy;
    ArchiveRebuildReport report;
    int error = 0;
    {
        CommandProgress progress(this, "Rebuilding");
        progress->SetCurrentText("Rebuilding Archive");
        progress->SetOverallMax(1);
        progress->SetPartMax(m_archive->EntryCount());
        const std::vector<TImgEntry>& entries = m_archive->Entries;
        error = m_archive->Rebuild(report, [&](RebuildStage stage, int entry) {
            if (stage == RebuildStage::EntryCopied && entry >= 0 && entry < static_cast<int>(entries.size())) {
                progress->SetPartText(entries[static_cast<std::size_t>(entry)].TrimmedView());
                progress->StepPart();
            } else if (stage == RebuildStage::Finished) {
                progress->StepOverall();
            }
        });
    }
    updateActions();
    if (report.replaced) {
        RefreshList();
        clearSelection();
        emit archiveChanged();
    }
    if (error != 0) {
        const QString entry = report.failedEntry.empty()
            ? QString()
            : QStringLiteral(" (entry %1)").arg(QString::fromLocal8Bit(report.failedEntry.c_str()));
        dialogs().showMessage(MessageKind::Error, QString(),
                              report.replaced
                                  ? QStringLiteral("ERROR: The archive was rebuilt, but its last step failed: %1.\n\nIt is "
                                                   "finished the next time the archive is opened; until then it cannot be "
                                                   "changed.")
                                        .arg(errorText(error))
                                  : QStringLiteral("ERROR: Could not rebuild the archive%1: %2.\n\nThe archive is unchanged.")
                                        .arg(entry, errorText(error)));
        return;
    }
    dialogs().showMessage(MessageKind::Information, QString(),
                          QStringLiteral("SUCCESS: The archive was rebuilt: %1 entries, %2 kB before, %3 kB after.")
                              .arg(report.entries)
                              .arg(report.oldBytes / 1024)
                              .arg(report.newBytes / 1024));
}

