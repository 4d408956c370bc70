#include "HelpWindow.h"
#include "TestFiles.h"

#include <QTextBrowser>

#include <gtest/gtest.h>

TEST(HelpWindow, ShowsTheShippedHelpText)
{
    HelpWindow window(QStringLiteral(QUOX_SHIPPED_HELP_FILE));
    const QString text = window.browser()->toPlainText();
    // Every subject of the help text is there, rendered rather than shown as markup.
    for (const char* subject : {"Starting", "Moving around the 3D view", "Selecting", "Moving items", "View options",
                                "Visible files", "Saving", "Settings window"})
        EXPECT_TRUE(text.contains(QLatin1String(subject))) << subject;
    EXPECT_TRUE(text.contains(QStringLiteral("Ctrl+S")));
    EXPECT_FALSE(text.contains(QStringLiteral("## ")));
}

TEST(HelpWindow, AFileThatCannotBeReadIsNamedInTheWindow)
{
    TempDir dir;
    const QString missing = QString::fromStdString(dir.file("quoxmapper.hlp"));
    HelpWindow window(missing);
    const QString text = window.browser()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("could not be read")));
    EXPECT_TRUE(text.contains(missing));

    writeFile(dir.file("quoxmapper.hlp"), "# Help\n\nPress **F1**.\n");
    window.reload();
    EXPECT_EQ(window.browser()->toPlainText().trimmed(), QStringLiteral("Help\nPress F1."));
}
