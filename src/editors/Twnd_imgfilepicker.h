#pragma once

#include <QDialog>

class TGTA3Archive;

// The modal dialog in which the item editor's pick buttons choose an entry name of the
// main archive, with a search box that narrows the names to those containing its text.
class Twnd_imgfilepicker : public QDialog {
    Q_OBJECT
public:
    explicit Twnd_imgfilepicker(TGTA3Archive* archive, QWidget* parent = nullptr);

    // The chosen entry name with its extension, or `initialText` when nothing was chosen.
    // `kind` (1 a model, 0 a texture dictionary) is the caller's and changes nothing.
    QString PickEntry(const QString& initialText, int kind);

private:
    TGTA3Archive* m_archive = nullptr;
};
