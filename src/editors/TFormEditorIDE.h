#pragma once

#include "MapFileEditor.h"

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

    QAction* ActionEditUseDefinition = nullptr;
    QAction* ActionEditAddInstance = nullptr;

protected:
    void recordChosen(int record) override;
    void recordsRefreshed() override;

private:
    // The objs or tobj record of the chosen row; nullptr in the other sections.
    const TGTASObjsObj* chosenDefinition() const;

    TFormEditorIPL* m_iplEditor = nullptr;
};
