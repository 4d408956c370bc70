#include "HelpWindow.h"

#include "ProgramFolders.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent) : QWidget(parent, Qt::Window), m_helpFile(helpFile)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Quox Mapper Help"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpText"));
    m_browser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 720);
    reload();
}

void HelpWindow::reload()
{
    QFile file(m_helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        m_browser->setPlainText(QStringLiteral("The help file could not be read:\n%1\n\n%2")
                                    .arg(m_helpFile, file.errorString()));
        return;
    }
    m_browser->setMarkdown(QString::fromUtf8(file.readAll()));
}

QString programHelpFile()
{
    return ProgramFolders::dataFile(ProgramFolders::programFolder(), QStringLiteral("quoxmapper.hlp"));
}

void showProgramHelp()
{
    // Parentless, so it outlives whichever window asked for it; closing it deletes it.
    static QPointer<HelpWindow> window;
    if (!window) {
        window = new HelpWindow(programHelpFile());
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
