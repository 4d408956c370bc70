#include "FolderPickerDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

FolderPickerDialog::FolderPickerDialog(const QString& title, std::function<bool(const QString&)> acceptable,
                                       QWidget* parent)
    : QDialog(parent), m_acceptable(std::move(acceptable))
{
    setWindowTitle(title);
    setObjectName(QStringLiteral("FolderPickerDialog"));

    auto* instruction = new QLabel(title, this);
    instruction->setObjectName(QStringLiteral("Title"));
    instruction->setWordWrap(true);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_model->setRootPath(QDir::rootPath());

    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("FolderTree"));
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    // Open the tree at the user's home folder without selecting it.
    const QModelIndex home = m_model->index(QDir::homePath());
    m_tree->expand(home);
    m_tree->scrollTo(home);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLine"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton()->setEnabled(false);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { currentFolderChanged(current); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_status);
    layout->addWidget(m_buttons);
    resize(460, 520);
}

QPushButton* FolderPickerDialog::okButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

bool FolderPickerDialog::selectFolder(const QString& path)
{
    const QModelIndex index = m_model->index(QDir::cleanPath(path));
    if (!index.isValid())
        return false;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    return true;
}

void FolderPickerDialog::currentFolderChanged(const QModelIndex& current)
{
    const QString path = current.isValid() ? m_model->filePath(current) : QString();
    if (path.isEmpty()) {
        // Nothing with a path on disk: nothing to offer.
        m_selected.clear();
        m_status->clear();
        okButton()->setEnabled(false);
        return;
    }
    m_selected = QDir::toNativeSeparators(path);
    m_status->setText(m_selected);
    okButton()->setEnabled(!m_acceptable || m_acceptable(m_selected));
}
