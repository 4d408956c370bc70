#pragma once

#include "MapSearch.h"
#include "SectionCode.h"
#include "SortCycle.h"

#include <QWidget>

#include <optional>
#include <utility>

class MapDocument;
class MapFileEditor;
class MapListView;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTimer;
class QTreeWidget;
class SearchHitsModel;
class TFormEditorIDE;
class TFormEditorIPL;
class TFormEditorItem;
class TGLView;
class TGTAFileList;

// The find window: one box searched as it is typed over every loaded definition and
// placement, the hits in a list that opens each one where the user edits it (the item
// editor, the row of its IPL or IDE editor, the 3D view's camera on it); and the "Free
// IDs" page, the ranges of definition IDs no definition uses and the IDs used twice,
// one range of which the IDE editor's "Add Item" can take its new IDs from.
class TFormFind : public QWidget {
    Q_OBJECT
public:
    // Any of the windows may be null; the hits then open only where they can.
    TFormFind(MapDocument& document, TFormEditorItem* itemEditor, TGLView* view, TFormEditorIPL* iplEditor,
              TFormEditorIDE* ideEditor, QWidget* parent = nullptr);

    // The hits of the box's text in the chosen fields, in the order found.
    void EditFindChange();
    void ListHitsColumnClick(int column);
    // Opens the hit of the row: selected through the document, shown in the item editor and
    // its editor's list; a placement is put in the middle of the 3D view.
    void OpenHit(int row);
    // Shows the window with every placement of the definition ID.
    void ShowPlacementsOf(int id);
    // Opens the definition the placement uses, found as the validation finds it; a message
    // when there is none. False when nothing was opened.
    bool GoToDefinitionOf(int iplFile, int record);

    // Free IDs page.
    void RefreshFreeIDs();
    void EditTableSizeChange();
    void BtnUseRangeClick();
    void BtnDefaultIDsClick();
    void ListDuplicateIDsDblClick();

    // The number of hits shown, as the window says it.
    static QString hitCountText(int hits);

    QTabWidget* PageControl = nullptr;
    QWidget* TabFind = nullptr;
    QWidget* TabFreeIDs = nullptr;
    QLineEdit* EditFind = nullptr;
    QComboBox* ComboField = nullptr;
    MapListView* ListHits = nullptr;
    QLabel* LabelHitCount = nullptr;
    QSpinBox* EditTableSize = nullptr;
    QTreeWidget* ListFreeIDs = nullptr;
    QTreeWidget* ListDuplicateIDs = nullptr;
    QPushButton* BtnUseRange = nullptr;
    QPushButton* BtnDefaultIDs = nullptr;
    QLabel* LabelAddItemIDs = nullptr;

    SearchHitsModel& Hits() const { return *m_hits; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What the list shows: the box's hits, or the placements of one definition.
    struct Shown {
        bool placements = false;
        int id = 0;
    };

    void buildFindPage();
    void buildFreeIDsPage();
    // The list shows the hits again (the map changed); sort and count follow.
    void runShown();
    void showHits(std::vector<SearchHit> hits, const QString& count);
    // The map changed: the shown hits and ranges are made again once the changes settle.
    void mapChanged();
    void showAddItemRange();
    // Chooses the record's row in the editor of its file kind and brings that editor forward.
    void showInEditor(int file, SectionCode section, int record);
    // Selects the record through the item editor and shows it in its editor's list.
    void openRecord(int file, SectionCode section, int record);

    MapDocument& m_document;
    TGTAFileList& m_files;
    TFormEditorItem* m_itemEditor;
    TGLView* m_view;
    TFormEditorIPL* m_iplEditor;
    TFormEditorIDE* m_ideEditor;
    SearchHitsModel* m_hits = nullptr;
    SortCycle m_sortCycle;
    std::optional<std::pair<int, Qt::SortOrder>> m_sort; // kept when the hits are made again
    Shown m_shown;
    QTimer* m_refresh = nullptr;
    bool m_stale = false;
    bool m_firstShow = true;
    IdUsage m_usage;
};
