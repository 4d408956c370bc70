#pragma once

#include <QWidget>

class QTextBrowser;

// Shows the program's help text, read from a file. The text is simple Markdown; a file that
// cannot be read is named in the window instead.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& helpFile, QWidget* parent = nullptr);

    QString helpFile() const { return m_helpFile; }
    QTextBrowser* browser() const { return m_browser; }

    // Reads the file again.
    void reload();

private:
    QString m_helpFile;
    QTextBrowser* m_browser = nullptr;
};

// "quoxmapper.hlp" beside the program.
QString programHelpFile();

// Shows the program's help window, created on first use and kept until the program ends.
void showProgramHelp();
