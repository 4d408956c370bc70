#include "Twnd_imgfilepicker.h"

#include "TGTA3Archive.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Entry names are ASCII; the games compare them without regard to case.
bool lessIgnoringCase(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

}

Twnd_imgfilepicker::Twnd_imgfilepicker(TGTA3Archive* archive, QWidget* parent)
    : QDialog(parent)
    , m_archive(archive)
{
    setObjectName("Twnd_imgfilepicker");
    setWindowTitle("Img file selection dialog");
    setModal(true);

    auto* search = new QGroupBox(" Fast search ");
    auto* searchLayout = new QVBoxLayout(search);
    inp_find = new QLineEdit;
    inp_find->setObjectName("inp_find");
    ListBox1 = new QListWidget;
    ListBox1->setObjectName("ListBox1");
    searchLayout->addWidget(inp_find);
    searchLayout->addWidget(ListBox1);

    listarchive = new QListWidget;
    listarchive->setObjectName("listarchive");
    listarchive->setSelectionMode(QAbstractItemView::SingleSelection);

    BitBtn1 = new QPushButton("Ok");
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton("Cancel");
    BitBtn2->setObjectName("BitBtn2");

    auto* lists = new QHBoxLayout;
    lists->addWidget(search, 1);
    lists->addWidget(listarchive, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(480, 420);

    connect(inp_find, &QLineEdit::textChanged, this, &Twnd_imgfilepicker::inp_findChange);
    connect(ListBox1, &QListWidget::itemClicked, this, &Twnd_imgfilepicker::ListBox1Click);
    // Arrow keys in the match list choose as a click does.
    connect(ListBox1, &QListWidget::currentRowChanged, this, &Twnd_imgfilepicker::ListBox1Click);
    connect(listarchive, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void Twnd_imgfilepicker::fillArchiveList()
{
    QStringList names;
    if (m_archive) {
        for (int index = 0; index < m_archive->EntryCount(); ++index) {
            const TImgEntry entry = m_archive->GetEntry(index);
            if (!entry.Deleted)
                names << QString::fromStdString(entry.TrimmedName());
        }
    }
    // Stable, so names equal but for case keep their directory order.
    std::stable_sort(names.begin(), names.end(), lessIgnoringCase);
    listarchive->clear();
    listarchive->addItems(names);
}

QString Twnd_imgfilepicker::PickEntry(const QString& initialText, int /*kind*/)
{
    QString result = initialText;
    fillArchiveList();
    {
        // Filtered once below whether or not the text differs from the last pick's.
        const QSignalBlocker quiet(inp_find);
        inp_find->setText(initialText);
    }
    inp_findChange();
    if (ListBox1->count() > 0) {
        {
            const QSignalBlocker quiet(ListBox1);
            ListBox1->setCurrentRow(0);
        }
        ListBox1Click();
    }
    inp_find->setFocus();
    if (exec() == QDialog::Accepted) {
        const QList<QListWidgetItem*> chosen = listarchive->selectedItems();
        if (!chosen.isEmpty())
            result = chosen.first()->text();
    }
    return result;
}

void Twnd_imgfilepicker::inp_findChange()
{
    const QSignalBlocker quiet(ListBox1);
    ListBox1->clear();
    const QString search = inp_find->text().toLower();
    if (search.isEmpty())
        return;
    for (int row = 0; row < listarchive->count(); ++row) {
        const QString name = listarchive->item(row)->text();
        if (name.toLower().contains(search))
            ListBox1->addItem(name);
    }
}

void Twnd_imgfilepicker::ListBox1Click()
{
    const QListWidgetItem* clicked = ListBox1->currentItem();
    if (!clicked)
        return;
    listarchive->clearSelection();
    for (int row = 0; row < listarchive->count(); ++row) {
        QListWidgetItem* item = listarchive->item(row);
        if (item->text().compare(clicked->text(), Qt::CaseInsensitive) == 0) {
            listarchive->setCurrentItem(item);
            item->setSelected(true);
            listarchive->scrollToItem(item);
            break;
        }
    }
}
