#include "EffectPanel.h"

#include "TFormEditorItem.h"

EffectPanel::EffectPanel(TFormEditorItem& editor)
    : ItemPanel(editor, "panelide2dfx")
{
}

void EffectPanel::load()
{
}
