#include "CullPanel.h"

#include "FieldText.h"
#include "TFormEditorItem.h"
#include "TGTASCull.h"

#include <QFormLayout>
#include <QLineEdit>

CullPanel::CullPanel(TFormEditorItem& editor)
    : ItemPanel(editor, "paneliplcull")
{
    auto* layout = new QFormLayout(this);
    auto box = [&](QLineEdit*& edit, const char* name, const QString& caption) {
        edit = new QLineEdit;
        edit->setObjectName(name);
        edit->setReadOnly(true);
        layout->addRow(caption, edit);
    };
    box(EditIPLCullPos1X, "EditIPLCullPos1X", "Corner 1 X:");
    box(EditIPLCullPos1Y, "EditIPLCullPos1Y", "Corner 1 Y:");
    box(EditIPLCullPos1Z, "EditIPLCullPos1Z", "Corner 1 Z:");
    box(EditIPLCullPos2X, "EditIPLCullPos2X", "Corner 2 X:");
    box(EditIPLCullPos2Y, "EditIPLCullPos2Y", "Corner 2 Y:");
    box(EditIPLCullPos2Z, "EditIPLCullPos2Z", "Corner 2 Z:");
    box(EditIPLCullPos3X, "EditIPLCullPos3X", "Corner 3 X:");
    box(EditIPLCullPos3Y, "EditIPLCullPos3Y", "Corner 3 Y:");
    box(EditIPLCullPos3Z, "EditIPLCullPos3Z", "Corner 3 Z:");
    box(EditIPLCullU10, "EditIPLCullU10", "Unknown 1:");
    box(EditIPLCullU11, "EditIPLCullU11", "Unknown 2:");
}

void CullPanel::load()
{
    const TGTASCullObj* cull = m_editor.SelectedCull();
    if (!cull)
        return;
    EditIPLCullPos1X->setText(shortFloatBox(cull->Pos1X));
    EditIPLCullPos1Y->setText(shortFloatBox(cull->Pos1Y));
    EditIPLCullPos1Z->setText(shortFloatBox(cull->Pos1Z));
    EditIPLCullPos2X->setText(shortFloatBox(cull->Pos2X));
    EditIPLCullPos2Y->setText(shortFloatBox(cull->Pos2Y));
    EditIPLCullPos2Z->setText(shortFloatBox(cull->Pos2Z));
    EditIPLCullPos3X->setText(shortFloatBox(cull->Pos3X));
    EditIPLCullPos3Y->setText(shortFloatBox(cull->Pos3Y));
    EditIPLCullPos3Z->setText(shortFloatBox(cull->Pos3Z));
    EditIPLCullU10->setText(intBox(cull->U10));
    EditIPLCullU11->setText(intBox(cull->U11));
}
