#include "ZonePanel.h"

#include "TFormEditorItem.h"

ZonePanel::ZonePanel(TFormEditorItem& editor)
    : ItemPanel(editor, "paneliplzone")
{
}

void ZonePanel::load()
{
}
