#include "TFormValidate.h"

#include "DialogService.h"
#include "MainImageList.h"
#include "MapDocument.h"
#include "MapValidator.h"
#include "TGTA3Archive.h"
#include "TGTAFileList.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

// Adds the status rows as the run reaches each section and check, and notes the files the
// repairs change. The document tells the windows of the changes once the run is a step.
class TFormValidate::StatusRows : public ValidationObserver {
public:
    explicit StatusRows(TFormValidate& window) : m_window(window) {}

    void sectionStarted(const ValidationSectionRow& section) override { addRow(section.caption, MainImages::Section); }
    void checkStarted(const ValidationCheckRow& check) override { m_check = addRow(check.caption, MainImages::Waiting); }
    void checkFinished(const ValidationCheckRow& check) override
    {
        if (m_check)
            m_window.setRowImage(m_check, check.count > 0 ? MainImages::Failed : MainImages::Passed);
        m_check = nullptr;
    }
    void instancesDeleting(int file) override
    {
        // Later instances move up: a selection in the file would point at other records.
        MapDocument& document = *m_window.m_document;
        if (document.selection().kind == FileKind::IPL && document.selection().file == file)
            document.setSelection({});
    }
    void fileModified(int file) override { modifiedFiles.push_back(file); }

    std::vector<int> modifiedFiles;

private:
    QTreeWidgetItem* addRow(const std::string& caption, int image)
    {
        auto* row = new QTreeWidgetItem(m_window.ListStatus);
        row->setText(0, QString::fromStdString(caption));
        m_window.setRowImage(row, image);
        return row;
    }

    TFormValidate& m_window;
    QTreeWidgetItem* m_check = nullptr;
};

namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

TFormValidate::TFormValidate(MapDocument& document, TGTA3Archive* archive, QWidget* view, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_document(&document)
    , m_files(&document.files())
    , m_archive(archive)
    , m_view(view)
{
    setObjectName("TFormValidate");
    setWindowTitle("Validation");
    resize(520, 420);

    PageControl = named(new QTabWidget, "PageControl");
    TabSheet1 = named(new QWidget, "TabSheet1");
    TabSheet2 = named(new QWidget, "TabSheet2");
    PageControl->addTab(TabSheet1, "Validation");
    PageControl->addTab(TabSheet2, "Information");

    ModeValue = named(new QLabel, "ModeValue");
    ResultValue = named(new QLabel, "ResultValue");
    ListResult = named(new QPlainTextEdit, "ListResult");
    ListResult->setReadOnly(true);
    ListResult->setLineWrapMode(QPlainTextEdit::NoWrap);
    ListResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ListStatus = named(new QTreeWidget, "ListStatus");
    ListStatus->setHeaderHidden(true);
    ListStatus->setRootIsDecorated(false);
    ListStatus->setColumnCount(1);
    ListStatus->setIconSize(QSize(16, 16));
    box_fix = named(new QCheckBox("Fix what can be fixed"), "box_fix");
    BtnStart = named(new QPushButton("&Start Validation"), "BtnStart");
    BtnStart->setDefault(true);
    BtnStart->setAutoDefault(true);
    BtnCopy = named(new QPushButton("Copy To Clipboard"), "BtnCopy");

    auto* labels = new QGridLayout;
    labels->addWidget(ModeValue, 0, 0);
    labels->addWidget(ResultValue, 1, 0);
    auto* lists = new QHBoxLayout;
    lists->addWidget(ListStatus, 1);
    lists->addWidget(ListResult, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(box_fix);
    buttons->addStretch(1);
    buttons->addWidget(BtnCopy);
    buttons->addWidget(BtnStart);
    auto* page = new QVBoxLayout(TabSheet1);
    page->addLayout(labels);
    page->addLayout(lists, 1);
    page->addLayout(buttons);

    auto* information = new QLabel("work in progress :)");
    information->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(TabSheet2))->addWidget(information);

    (new QVBoxLayout(this))->addWidget(PageControl);

    connect(BtnStart, &QPushButton::clicked, this, &TFormValidate::BtnStartClick);
    connect(BtnCopy, &QPushButton::clicked, this, &TFormValidate::BtnCopyClick);
}

int TFormValidate::rowImage(const QTreeWidgetItem* row)
{
    return row ? row->data(0, Qt::UserRole).toInt() : -1;
}

void TFormValidate::setRowImage(QTreeWidgetItem* row, int image)
{
    row->setIcon(0, mainImage(image));
    row->setData(0, Qt::UserRole, image);
}

// Repairs only, or with the deletion of placements without a definition. More deletions
// than a slip could explain (a mod folder without its base game's definitions) are asked
// about first. Nothing when the user cancels.
std::optional<FixPolicy> TFormValidate::chooseFixPolicy()
{
    if (!box_fix->isChecked())
        return FixPolicy::checkOnly();
    MapValidator counter(*m_files, m_archive, m_files->IsViceCity(), m_files->GameDir());
    const int deletions = counter.placementsWithoutDefinition();
    if (deletions <= DeletionsWithoutQuestion)
        return FixPolicy::withDeletions();
    const DialogAnswer answer = dialogs().showMessage(
        MessageKind::Confirmation, "Validation",
        QString("This validation would delete %1 placements whose definition is missing.\n\n"
                "Yes deletes them, No repairs the rest and keeps them, Cancel does nothing.")
            .arg(deletions),
        DialogButtons::YesNoCancel);
    if (answer == DialogAnswer::Yes)
        return FixPolicy::withDeletions();
    if (answer == DialogAnswer::No)
        return FixPolicy::repairsOnly();
    return std::nullopt;
}

void TFormValidate::BtnStartClick()
{
    if (Running)
        return;
    // Running already while the question is open, so that its event loop cannot start a second run.
    Running = true;
    const std::optional<FixPolicy> policy = chooseFixPolicy();
    if (!policy) {
        Running = false;
        return;
    }
    BtnStart->setEnabled(false);
    ListResult->clear();
    ListStatus->clear();
    m_lines.clear();
    const bool viceCity = m_files->IsViceCity();
    ModeValue->setText(viceCity ? "Vice City Mode" : "GTA 3 Mode");
    ResultValue->setText("Please Wait..");
    // The run holds the user-interface thread; show the waiting text before it starts.
    ResultValue->repaint();

    ValidationReport report;
    StatusRows rows(*this);
    MapValidator validator(*m_files, m_archive, viceCity, m_files->GameDir());
    if (policy->repairs) {
        // Every fix of the run is one step.
        m_document->changeFiles(QStringLiteral("Validation Fixes"), [&] {
            report = validator.run(*policy, &rows);
            return rows.modifiedFiles;
        });
    } else {
        report = validator.run(*policy, &rows);
    }
    report.viceCity = viceCity;

    for (const std::string& line : report.lines())
        m_lines.append(QString::fromStdString(line));
    ListResult->setPlainText(m_lines.join('\n'));
    showResult(report.errors > 0, QString::fromStdString(report.resultText()));

    Running = false;
    BtnStart->setEnabled(true);
}

void TFormValidate::showResult(bool failed, const QString& text)
{
    const QColor colour = failed ? QColor(Qt::red) : QColor(0, 128, 0);
    setTextColour(ModeValue, colour);
    setTextColour(ResultValue, colour);
    ResultValue->setText(text);
}

void TFormValidate::BtnCopyClick()
{
    QString text;
    for (const QString& line : m_lines)
        text += line + "\r\n";
    QGuiApplication::clipboard()->setText(text);
}

