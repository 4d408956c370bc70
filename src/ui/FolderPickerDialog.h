#pragma once

#include <QDialog>

#include <functional>

class QDialogButtonBox;
class QFileSystemModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

// Asks for one folder: the instruction, a tree of the file system's folders, a status line
// with the selected folder's path and OK/Cancel. With a rule, OK is enabled only while the
// selected folder passes it; without one, for any selected folder.
class FolderPickerDialog : public QDialog {
    Q_OBJECT
public:
    FolderPickerDialog(const QString& title, std::function<bool(const QString&)> acceptable,
                       QWidget* parent = nullptr);

    // The folder selected last, empty while none is.
    QString selectedFolder() const { return m_selected; }

    // Selects a folder in the tree as a click on it would; false when the tree has no such folder.
    bool selectFolder(const QString& path);

    QTreeView* folderTree() const { return m_tree; }
    QLabel* statusLine() const { return m_status; }
    QPushButton* okButton() const;

private:
    void currentFolderChanged(const QModelIndex& current);

    std::function<bool(const QString&)> m_acceptable;
    QFileSystemModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    QLabel* m_status = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QString m_selected;
};
