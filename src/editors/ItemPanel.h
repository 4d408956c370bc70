#pragma once

#include <QWidget>

class TFormEditorItem;

// One page of the item editor: the controls of one section's record. The editor fills it
// with edits off; its change handlers write into the editor's selected record.
class ItemPanel : public QWidget {
public:
    ItemPanel(TFormEditorItem& editor, const char* objectName) : m_editor(editor) { setObjectName(objectName); }

    // Fills the controls from the selected record.
    virtual void load() = 0;

protected:
    TFormEditorItem& m_editor;
};
