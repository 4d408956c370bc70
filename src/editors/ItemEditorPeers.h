#pragma once

// What the item editor asks of the windows around it: the IPL and IDE editors' lists and
// the definition action, and the secondary model view. Each call does nothing until the
// window that answers it exists and the load sequence hands the item editor its peers.
class ItemEditorPeers {
public:
    enum class DefinitionKind { Objs, TObj };

    virtual ~ItemEditorPeers() = default;

    // The IPL editor shows the file's row, its inst section and the record's row.
    virtual void SelectInIPLEditor(int /*file*/, int /*record*/) {}
    // Repaint `ListFiles` and `ListItems` of the IPL or the IDE editor.
    virtual void RepaintIPLEditorLists() {}
    virtual void RepaintIDEEditorLists() {}
    // The IDE editor's "&Use Object Definition" action.
    virtual void SetUseDefinitionEnabled(bool /*enabled*/) {}
    // The secondary model view shows the definition with this ID.
    virtual void ShowDefinition(int /*id*/, DefinitionKind /*kind*/) {}
};
