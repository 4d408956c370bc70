#pragma once

#include "MapFileEditor.h"

#include <optional>
#include <utility>

class TFormEditorIPL;
struct TGTASObjsObj;

// The editor of IDE (object definition) files: their objs, tobj, path and 2dfx records.
// Beyond the shared file and record commands it places a new instance of the chosen
// definition into the IPL editor's current file, and hands the chosen definition to the
// instance the item editor shows.
class TFormEditorIDE : public MapFileEditor {
    Q_OBJECT
public:
    TFormEditorIDE(MapDocument& document, TFormEditorItem* itemEditor, TGLView* view, DatReferences* dat,
                   TFormEditorIPL* iplEditor, QWidget* parent = nullptr);


    void ActionEditUseDefinitionExecute();
    void ActionEditAddInstanceExecute();
    void ActionFindPlacementsExecute();

    // The IDs "Add Item" gives new objs and tobj records: the first free one of this range
    // (first, last), or without a range the highest ID + 1.
    void SetNewIDRange(std::optional<std::pair<int, int>> range);
    std::optional<std::pair<int, int>> NewIDRange() const { return m_newIDRange; }

    QAction* ActionEditUseDefinition = nullptr;
    QAction* ActionEditAddInstance = nullptr;
    QAction* ActionFindPlacements = nullptr;

signals:
    // The find window lists every placement of the definition ID.
    void placementsRequested(int id);

protected:
    void recordChosen(int record) override;
    void recordsRefreshed() override;
    void recordAdded(TGTASFile& file, int record) override;

private:
    // The objs or tobj record of the chosen row; nullptr in the other sections.
    const TGTASObjsObj* chosenDefinition() const;

    TFormEditorIPL* m_iplEditor = nullptr;
    std::optional<std::pair<int, int>> m_newIDRange;
    bool m_rangeFull = false; // the last "Add Item" found no free ID in the range
    int m_fullFallbackID = 0;
};
