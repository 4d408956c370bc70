#include "TFormEditorDAT.h"

#include "DialogService.h"
#include "MapDocument.h"
#include "TGTAFileList.h"
#include "TextParser.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

QPushButton* makeButton(const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// Only lines longer than the keyword count, so a bare "IDE" line does not pull references to it.
bool startsWithKeyword(const std::string& line, const std::string& keyword)
{
    return line.size() > keyword.size()
        && equalsIgnoringCase(std::string_view(line).substr(0, keyword.size()), keyword);
}

} // namespace

TFormEditorDAT::TFormEditorDAT(MapDocument& document, QWidget* view, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_document(&document)
    , m_fileList(&document.files())
    , m_view(view)
{
    setObjectName("TFormEditorDAT");
    setWindowTitle("DAT Editor");

    ListDAT = new QListWidget;
    ListDAT->setObjectName("ListDAT");
    ListDAT->setSelectionMode(QAbstractItemView::SingleSelection);
    EditLine = new QLineEdit;
    EditLine->setObjectName("EditLine");
    BtnUpdate = makeButton("BtnUpdate", "&Update");
    BtnUpdate->setDefault(true);
    BtnAdd = makeButton("BtnAdd", "&Insert");
    BtnUp = makeButton("BtnUp", "Move U&p");
    BtnDown = makeButton("BtnDown", "Move Do&wn");
    BtnDel = makeButton("BtnDel", "&Delete");
    BtnSave = makeButton("BtnSave", "&Save File");

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {BtnUpdate, BtnAdd, BtnUp, BtnDown, BtnDel})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(BtnSave);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListDAT, 1);
    layout->addWidget(EditLine);
    layout->addLayout(buttons);
    resize(520, 420);

    // Follows keyboard moves of the selection as well as clicks.
    connect(ListDAT, &QListWidget::itemSelectionChanged, this, &TFormEditorDAT::ListDATClick);
    connect(BtnUpdate, &QPushButton::clicked, this, &TFormEditorDAT::BtnUpdateClick);
    connect(BtnAdd, &QPushButton::clicked, this, &TFormEditorDAT::BtnAddClick);
    connect(BtnSave, &QPushButton::clicked, this, &TFormEditorDAT::BtnSaveClick);
    connect(BtnUp, &QPushButton::clicked, this, &TFormEditorDAT::BtnUpClick);
    connect(BtnDown, &QPushButton::clicked, this, &TFormEditorDAT::BtnDownClick);
    connect(BtnDel, &QPushButton::clicked, this, &TFormEditorDAT::BtnDelClick);

    Reload();
    m_linesBefore = m_fileList->DatLines;
    connect(m_document, &MapDocument::datChanged, this, [this] {
        if (m_fileList->DatLines != m_linesBefore) {
            Reload();
            m_linesBefore = m_fileList->DatLines;
        }
    });
    connect(m_document, &MapDocument::datModifiedChanged, this, [this] { BtnSave->setEnabled(m_fileList->DatModified); });
}

void TFormEditorDAT::Reload()
{
    {
        const QSignalBlocker blocker(ListDAT);
        ListDAT->clear();
        for (const std::string& line : m_fileList->DatLines)
            ListDAT->addItem(QString::fromStdString(line));
    }
    BtnUpdate->setEnabled(false);
    EditLine->clear();
    BtnSave->setEnabled(m_fileList->DatModified);
}

int TFormEditorDAT::selectedRow() const
{
    const QList<QListWidgetItem*> selected = ListDAT->selectedItems();
    return selected.isEmpty() ? -1 : ListDAT->row(selected.first());
}

void TFormEditorDAT::selectRow(int row)
{
    const QSignalBlocker blocker(ListDAT);
    if (row >= 0 && row < ListDAT->count()) {
        ListDAT->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    } else {
        ListDAT->clearSelection();
        ListDAT->setCurrentRow(-1);
    }
}

void TFormEditorDAT::markModified(const QString& text)
{
    std::vector<std::string> before = std::move(m_linesBefore);
    m_linesBefore = m_fileList->DatLines;
    m_document->datLinesEdited(text, std::move(before));
    BtnSave->setEnabled(m_fileList->DatModified);
    emit datModified();
}

void TFormEditorDAT::ListDATClick()
{
    const int row = selectedRow();
    BtnUpdate->setEnabled(row >= 0);
    EditLine->setText(row >= 0 ? ListDAT->item(row)->text() : QString());
}

void TFormEditorDAT::BtnUpdateClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const std::string line(TrimText(EditLine->text().toStdString()));
    m_fileList->DatLines[row] = line;
    ListDAT->item(row)->setText(QString::fromStdString(line));
    markModified(QStringLiteral("Change DAT Line"));
}

void TFormEditorDAT::insertLine(int row, const std::string& line)
{
    m_fileList->DatLines.insert(m_fileList->DatLines.begin() + row, line);
    const QSignalBlocker blocker(ListDAT);
    ListDAT->insertItem(row, QString::fromStdString(line));
}

void TFormEditorDAT::BtnAddClick()
{
    const std::string line(TrimText(EditLine->text().toStdString()));
    const int row = selectedRow();
    if (row < 0) {
        insertLine(ListDAT->count(), line);
    } else {
        insertLine(row, line);
        // The selection stays on the position, which now holds the new line.
        selectRow(row);
    }
    markModified(QStringLiteral("Insert DAT Line"));
}

void TFormEditorDAT::BtnUpClick()
{
    const int row = selectedRow();
    if (row <= 0)
        return;
    std::swap(m_fileList->DatLines[row], m_fileList->DatLines[row - 1]);
    {
        const QSignalBlocker blocker(ListDAT);
        ListDAT->insertItem(row - 1, ListDAT->takeItem(row));
    }
    selectRow(row - 1);
    markModified(QStringLiteral("Move DAT Line"));
}

void TFormEditorDAT::BtnDownClick()
{
    const int row = selectedRow();
    if (row < 0 || row + 1 >= ListDAT->count())
        return;
    std::swap(m_fileList->DatLines[row], m_fileList->DatLines[row + 1]);
    {
        const QSignalBlocker blocker(ListDAT);
        ListDAT->insertItem(row + 1, ListDAT->takeItem(row));
    }
    selectRow(row + 1);
    markModified(QStringLiteral("Move DAT Line"));
}

void TFormEditorDAT::deleteRow(int row, const QString& step)
{
    m_fileList->DatLines.erase(m_fileList->DatLines.begin() + row);
    {
        const QSignalBlocker blocker(ListDAT);
        delete ListDAT->takeItem(row);
    }
    // The line that moved up into the position stays selected; past the end nothing is.
    selectRow(row < ListDAT->count() ? row : -1);
    markModified(step);
    ListDATClick();
}

void TFormEditorDAT::BtnDelClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    deleteRow(row, QStringLiteral("Delete DAT Line"));
}

void TFormEditorDAT::BtnSaveClick()
{
    const QString name = QString::fromStdString(m_fileList->DatName());
    if (m_document->saveDat() != 0) {
        // The edits stay, modified, so the user can fix the cause and save again.
        dialogs().showMessage(MessageKind::Error, QString(),
                              "ERROR: The DAT file \"" + name + "\" failed to save.\n"
                                  "This file could be read only or in use by another program!");
        return;
    }
    m_fileList->DatModified = false;
    BtnSave->setEnabled(false);
    dialogs().showMessage(MessageKind::Information, QString(),
                          "SUCCESS: The DAT file \"" + name + "\" was saved successfully!");
}

void TFormEditorDAT::dropSelection()
{
    selectRow(-1);
    BtnUpdate->setEnabled(false);
    EditLine->clear();
}

void TFormEditorDAT::addReference(const std::string& keyword, const std::string& name)
{
    // After the last line of the keyword's group, so the new file joins the others of its kind.
    int position = 0;
    const std::vector<std::string>& lines = m_fileList->DatLines;
    for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
        if (startsWithKeyword(lines[row], keyword))
            position = row + 1;
    }
    insertLine(position, keyword + " " + std::string(TrimText(name)));
    markModified(QStringLiteral("Add DAT Reference"));
    dropSelection();
}

bool TFormEditorDAT::removeReference(const std::string& keyword, const std::string& name)
{
    const std::string wanted = keyword + " " + name;
    const std::vector<std::string>& lines = m_fileList->DatLines;
    const auto found = std::find_if(lines.rbegin(), lines.rend(),
                                    [&](const std::string& line) { return equalsIgnoringCase(line, wanted); });
    // Nothing to remove: the window and the edit in progress stay as they are.
    if (found == lines.rend())
        return false;
    deleteRow(static_cast<int>(std::distance(found, lines.rend())) - 1, QStringLiteral("Remove DAT Reference"));
    dropSelection();
    return true;
}

void TFormEditorDAT::AddIDEReference(const std::string& name)
{
    addReference("IDE", name);
}

void TFormEditorDAT::AddIPLReference(const std::string& name)
{
    addReference("IPL", name);
}

bool TFormEditorDAT::RemoveIDEReference(const std::string& name)
{
    return removeReference("IDE", name);
}

bool TFormEditorDAT::RemoveIPLReference(const std::string& name)
{
    return removeReference("IPL", name);
}

void TFormEditorDAT::keyPressEvent(QKeyEvent* event)
{
    // Enter that no control took answers BtnUpdate, as a dialog's default button would.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (BtnUpdate->isEnabled())
            BtnUpdate->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

