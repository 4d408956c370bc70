#include "InstancePanel.h"

#include "TFormEditorItem.h"

InstancePanel::InstancePanel(TFormEditorItem& editor)
    : ItemPanel(editor, "paneliplinst")
{
}

void InstancePanel::load()
{
}

void InstancePanel::UpdateInstanceValidation()
{
}

void InstancePanel::showPosition()
{
}

void InstancePanel::showRotation()
{
}
