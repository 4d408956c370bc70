#pragma once

#include "DatReferences.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

class QAction;
class QLineEdit;
class QListWidget;
class QPushButton;
class MapDocument;
class TGTAFileList;

// The DAT file editor: shows the file list's DatLines one row per line and changes, inserts,
// deletes, reorders and saves them. Its list always mirrors DatLines row for row, so every
// change of DatLines after loading goes through this window, including the references the
// IPL and IDE editors add and remove. Changes take effect at the next start of the program.
class TFormEditorDAT : public QWidget, public DatReferences {
    Q_OBJECT
public:
    // `view` is the 3D view, whose window the editor's first showing is placed against; may be null.
    // Every change of the lines goes through the document as a step; the list follows its steps.
    TFormEditorDAT(MapDocument& document, QWidget* view, QWidget* parent = nullptr);

    void SetView(QWidget* view) { m_view = view; }

    // Fills the list from DatLines again; nothing is selected afterwards.
    void Reload();

    void AddIDEReference(const std::string& name) override;
    void AddIPLReference(const std::string& name) override;
    bool RemoveIDEReference(const std::string& name) override;
    bool RemoveIPLReference(const std::string& name) override;

    void ListDATClick();
    void BtnUpdateClick();
    void BtnAddClick();
    void BtnSaveClick();
    void BtnUpClick();
    void BtnDownClick();
    void BtnDelClick();


    QListWidget* ListDAT = nullptr;
    QLineEdit* EditLine = nullptr;
    QPushButton* BtnUpdate = nullptr;
    QPushButton* BtnAdd = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnUp = nullptr;
    QPushButton* BtnDown = nullptr;
    QPushButton* BtnDel = nullptr;

signals:
    // DatLines changed; DatModified is now true.
    void datModified();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int selectedRow() const;
    // Selects the row, or nothing for -1, without running the row-click behaviour.
    void selectRow(int row);
    // `text` names the step the change is on the document's stack.
    void markModified(const QString& text);
    // `step` names the deletion on the document's stack.
    void deleteRow(int row, const QString& step);
    void insertLine(int row, const std::string& line);
    void addReference(const std::string& keyword, const std::string& name);
    bool removeReference(const std::string& keyword, const std::string& name);
    // After a reference was added or removed the edit box no longer belongs to any row.
    void dropSelection();

    MapDocument* m_document;
    TGTAFileList* m_fileList;
    std::vector<std::string> m_linesBefore; // the lines before the change in progress
    QWidget* m_view = nullptr;
};
