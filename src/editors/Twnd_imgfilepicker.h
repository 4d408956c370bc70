#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class TGTA3Archive;

// The modal dialog in which the item editor's pick buttons choose an entry name of the
// main archive, with a search box that narrows the names to those containing its text.
class Twnd_imgfilepicker : public QDialog {
    Q_OBJECT
public:
    // Without an archive both lists stay empty.
    explicit Twnd_imgfilepicker(TGTA3Archive* archive, QWidget* parent = nullptr);
    // Made with the settings window, before the archive is open: it gets it once it is.
    void SetArchive(TGTA3Archive* archive) { m_archive = archive; }

    // The chosen entry name with its extension, or `initialText` when nothing was chosen.
    // `kind` (1 a model, 0 a texture dictionary) is the caller's and changes nothing.
    QString PickEntry(const QString& initialText, int kind);

    QLineEdit* inp_find = nullptr;
    QListWidget* ListBox1 = nullptr;
    QListWidget* listarchive = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    // Every change of the search text narrows `ListBox1` to the names containing it.
    void inp_findChange();
    // The name chosen among the matches becomes the selected row of the full list.
    void ListBox1Click();

private:
    void fillArchiveList();

    TGTA3Archive* m_archive = nullptr;
};
