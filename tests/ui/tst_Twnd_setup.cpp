#include "ColourBox.h"
#include "DrawSettings.h"
#include "ScriptedDialogService.h"
#include "Twnd_setup.h"
#include "UpDownControl.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdint>
#include <string>

namespace {

using Colour = std::array<std::uint8_t, 3>;

class SettingsWindow : public testing::Test {
protected:
    SettingsWindow()
    {
        drawSettings() = DrawSettings{};
        window.show();
    }
    ~SettingsWindow() override { drawSettings() = DrawSettings{}; }

    template <typename Widget>
    Widget* child(const char* name)
    {
        auto* widget = window.findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void clickArrow(const char* upDown, bool up)
    {
        auto* arrows = child<UpDownControl>(upDown);
        QTest::mouseClick(up ? arrows->upButton() : arrows->downButton(), Qt::LeftButton);
    }

    void retype(QLineEdit* edit, const QString& text)
    {
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
    }

    ScriptedDialogService scripted;
    Twnd_setup window;
};

} // namespace

TEST_F(SettingsWindow, ShowsTheBuiltInDefaults)
{
    const QTabWidget* tabs = child<QTabWidget>("PageControl");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Radar Calibration"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Paths"));
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), QStringLiteral("503"));
    EXPECT_EQ(child<QLineEdit>("Edit2")->text(), QStringLiteral("501"));
    EXPECT_EQ(child<QLineEdit>("Edit3")->text(), QStringLiteral("3"));
    EXPECT_EQ(child<QLineEdit>("Edit4")->text(), QStringLiteral("0.0625"));
    EXPECT_EQ(child<ColourBox>("BoxColour")->currentText(), QStringLiteral("Yellow"));
    EXPECT_EQ(child<ColourBox>("ColorBox1")->currentText(), QStringLiteral("Red"));
    EXPECT_EQ(child<ColourBox>("ColorBox2")->currentText(), QStringLiteral("Lime"));
    EXPECT_TRUE(scripted.messages.empty());
}

TEST_F(SettingsWindow, ArrowsChangeTheSizesAndTheWidthAtOnce)
{
    clickArrow("UpDown1", true);
    EXPECT_EQ(drawSettings().RadarTileSizeX, 504.0f);
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), QStringLiteral("504"));

    clickArrow("UpDown2", false);
    EXPECT_EQ(drawSettings().RadarTileSizeY, 500.0f);
    EXPECT_EQ(drawSettings().RadarTileSizeX, 504.0f);

    clickArrow("UpDown3", true);
    clickArrow("UpDown3", true);
    EXPECT_EQ(drawSettings().PathLineWidth, 5.0f);
    EXPECT_EQ(child<QLineEdit>("Edit3")->text(), QStringLiteral("5"));
}

TEST_F(SettingsWindow, TypedNumbersCountFromTheNextArrowClickOnly)
{
    QLineEdit* edit1 = child<QLineEdit>("Edit1");
    retype(edit1, QStringLiteral("600"));
    EXPECT_EQ(drawSettings().RadarTileSizeX, 503.0f);
    clickArrow("UpDown1", true);
    EXPECT_EQ(drawSettings().RadarTileSizeX, 601.0f);

    // The range holds typed numbers too; text that is no number is ignored by the arrows.
    QLineEdit* edit3 = child<QLineEdit>("Edit3");
    retype(edit3, QStringLiteral("250"));
    clickArrow("UpDown3", true);
    EXPECT_EQ(drawSettings().PathLineWidth, 100.0f);
    retype(edit3, QStringLiteral("wide"));
    clickArrow("UpDown3", false);
    EXPECT_EQ(drawSettings().PathLineWidth, 99.0f);
    EXPECT_EQ(edit3->text(), QStringLiteral("99"));
}

TEST_F(SettingsWindow, ColourChoicesRecolourTheirPathsOnly)
{
    ColourBox* people = child<ColourBox>("BoxColour");
    people->setCurrentIndex(people->findText(QStringLiteral("Aqua")));
    EXPECT_EQ(drawSettings().PeoplePathColour, (Colour{0, 255, 255}));
    EXPECT_EQ(drawSettings().CarPathColour, (Colour{255, 0, 0}));
    EXPECT_EQ(drawSettings().BoatPathColour, (Colour{0, 255, 0}));

    ColourBox* boats = child<ColourBox>("ColorBox2");
    boats->setCurrentIndex(boats->findText(QStringLiteral("Navy")));
    EXPECT_EQ(drawSettings().BoatPathColour, (Colour{0, 0, 128}));
    EXPECT_EQ(drawSettings().PeoplePathColour, (Colour{0, 255, 255}));
}

TEST_F(SettingsWindow, ScaleTakesNumbersAndRefusesOtherText)
{
    QLineEdit* edit4 = child<QLineEdit>("Edit4");
    retype(edit4, QStringLiteral("0.125"));
    EXPECT_EQ(drawSettings().PathCoordinateScale, 0.125f);
    EXPECT_TRUE(scripted.messages.empty());

    retype(edit4, QStringLiteral("abc"));
    EXPECT_EQ(drawSettings().PathCoordinateScale, 0.125f);
    ASSERT_FALSE(scripted.messages.empty());
    EXPECT_EQ(scripted.messages.back().kind, MessageKind::Error);
    EXPECT_EQ(scripted.messages.back().text, QStringLiteral("'abc' is not a valid floating point value"));

    scripted.messages.clear();
    retype(edit4, QString());
    EXPECT_EQ(drawSettings().PathCoordinateScale, 0.125f);
    EXPECT_EQ(scripted.messageTexts(), QStringList{QStringLiteral("'' is not a valid floating point value")});
}

TEST_F(SettingsWindow, ScaleUsesTheDecimalPointUnderAnyLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    QLineEdit* edit4 = child<QLineEdit>("Edit4");
    edit4->setText(QStringLiteral("0.5"));
    const float withPoint = drawSettings().PathCoordinateScale;
    edit4->setText(QStringLiteral("0,25"));
    const float withComma = drawSettings().PathCoordinateScale;
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(withPoint, 0.5f);
    EXPECT_EQ(withComma, 0.5f);
    EXPECT_EQ(scripted.messageTexts(), QStringList{QStringLiteral("'0,25' is not a valid floating point value")});
}
