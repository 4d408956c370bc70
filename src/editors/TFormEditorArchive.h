#pragma once


#include <QPointer>
#include <QWidget>

#include <vector>

class QAction;
class QTableView;
class QToolBar;
class QToolButton;
class ArchiveListModel;
class TGTAImg;

// The archive editor: every entry of the main archive with its index, name, type and size,
// sortable by column, and the commands that extract the selected entries to a folder, add
// files, delete the selected entries and rebuild the archive without the space deleted
// entries leave. The list is virtual: `EntryOrder` maps rows to entries and the texts are
// made when a row is painted, so a directory of thousands of entries costs no items.
class TFormEditorArchive : public QWidget {
    Q_OBJECT
public:
    // Without an archive the list stays empty and the commands do nothing.
    explicit TFormEditorArchive(TGTAImg* archive, QWidget* parent = nullptr);
    ~TFormEditorArchive() override;


    // Directory order again, one row per entry.
    void RefreshList();

    void ActionEditExtractExecute();
    void ActionEditInsertExecute();
    void ActionEditDeleteExecute();
    void ActionEditRebuildExecute();
    // A click on a column header: ascending, a second click on the same column descending,
    // a third ascending again.
    void ListArchiveColumnClick(int column);
    void ListArchiveSelectItem();

    // The texts of the columns "Type" and "Size" for an entry.
    static QString TypeText(const QString& name);
    static QString SizeText(quint32 sectors);

    // Row r shows entry EntryOrder[r].
    std::vector<int> EntryOrder;
    int SortColumn = -1;

    QTableView* ListArchive = nullptr;
    QToolBar* TBArchive = nullptr;
    QToolButton* TBEditExtract = nullptr;
    QToolButton* TBEditInsert = nullptr;
    QToolButton* TBEditDelete = nullptr;
    QToolButton* TBEditRebuild = nullptr;
    QAction* ActionEditExtract = nullptr;
    QAction* ActionEditInsert = nullptr;
    QAction* ActionEditDelete = nullptr;
    QAction* ActionEditRebuild = nullptr;

signals:
    // The selection moved to a model entry: its name without extension and the dictionary
    // of the same name (-1 when there is none). An empty name: the selection was cleared.
    void modelChosen(const QString& name, int dictionaryIndex);
    // The selection moved to a texture dictionary entry: its name without extension and
    // its position among the archive set's dictionaries (-1 when it has none).
    void dictionaryChosen(const QString& name, int dictionaryIndex);
    // Entries were added, removed or moved.
    void archiveChanged();

protected:

private:
    void sortBy(int column, bool descending);
    // The selected rows, top to bottom.
    std::vector<int> selectedRows() const;
    void clearSelection();
    void updateActions();

    TGTAImg* m_archive = nullptr;
    ArchiveListModel* m_model = nullptr;
};
