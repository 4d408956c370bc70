#include "Twnd_imgfilepicker.h"

#include "TGTA3Archive.h"

Twnd_imgfilepicker::Twnd_imgfilepicker(TGTA3Archive* archive, QWidget* parent)
    : QDialog(parent)
    , m_archive(archive)
{
    setObjectName("Twnd_imgfilepicker");
    setWindowTitle("Img file selection dialog");
}

QString Twnd_imgfilepicker::PickEntry(const QString& initialText, int /*kind*/)
{
    return initialText;
}
