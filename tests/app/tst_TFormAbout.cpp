#include "TFormAbout.h"

#include "ProgramVersion.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(TFormAbout, ShowsNameVersionAndCreditsAndOkHidesIt)
{
    TFormAbout about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.findChild<QLabel*>("ProgramName")->text(), QStringLiteral("Quox Mapper"));
    EXPECT_EQ(about.findChild<QLabel*>("Version")->text(), QStringLiteral("Version ") + QLatin1String(ProgramVersionText));
    const QString credits = about.findChild<QLabel*>("Credits")->text();
    for (const char* credit : {"Quox Mapper developers", "Qt", "Mesa", "libsquish"})
        EXPECT_TRUE(credits.contains(QLatin1String(credit))) << credit;

    QTest::mouseClick(about.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}
