#include "IDEPathPanel.h"

#include "TFormEditorItem.h"

IDEPathPanel::IDEPathPanel(TFormEditorItem& editor)
    : ItemPanel(editor, "panelidepath")
{
}

void IDEPathPanel::load()
{
}

void IDEPathPanel::fillNodes()
{
}
