#include "CullPanel.h"

#include "TFormEditorItem.h"

CullPanel::CullPanel(TFormEditorItem& editor)
    : ItemPanel(editor, "paneliplcull")
{
}

void CullPanel::load()
{
}
