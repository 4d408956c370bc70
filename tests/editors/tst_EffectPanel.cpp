// The 2dfx page of the item editor: the common fields, the colour drop-down, the effect
// type with its sub-panels, and what each control writes into the effect.
#include "TFormEditorItem.h"

#include "ColourChooser.h"
#include "EditorControls.h"
#include "ModalDialogs.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"

#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>

// Failed comparisons of box texts print the text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr const char* PanelNames[] = {"PanelIDE2dfxLight", "PanelIDE2dfxParticle", "PanelIDE2dfxUnknown",
    "PanelIDE2dfxAnimation", "PanelIDE2dfxReflection"};

enum Record { LightRecord, ParticleRecord, AnimationRecord, UnknownRecord, ControlBeyondList, TypeBeyondList };

class EffectPanel : public testing::Test {
protected:
    void SetUp() override
    {
        auto ide = std::make_unique<TIDEFile>();
        ide->ReadText(
            "2dfx\n"
            "1800, 0.5, -1, 4.25, 255, 128, 0, 100, 0, \"coronastar\", \"shad_exp\", 100, 8, 1, 0, 40, 3, 1, 0, 0\n"
            "1801, 0, 0, 1, 0, 0, 0, 200, 1, 3, 0.5, 0, 0, 0.8660254\n"
            "1802, 0, 0, 1, 0, 0, 255, 200, 3, 2, 0, 1, 0, 1, 0, -0.5\n"
            "1803, 0, 0, 1, 0, 0, 0, 200, 2\n"
            "1804, 0, 0, 1, 10, 20, 30, 50, 0, \"c\", \"s\", 100, 8, 1, 0, 40, 20, 1, 0, 0\n"
            "1805, 0, 0, 1, 0, 0, 0, 200, 7\n"
            "end\n");
        ide->FileName = "effects.ide";
        m_files.AddFile(std::move(ide));
    }

    TGTAS2dfxObj& effect(int record) { return m_files.IDEFile(0)->Fx2d.Items[record]; }
    std::string line(int record) const { return m_files.IDEFile(0)->Fx2d.WriteLine(record); }
    bool modified() const { return m_files.File(0)->Modified; }
    void select(int record)
    {
        m_editor.SelectRecord(FileKind::IDE, SectionCode::Fx2d, record, 0);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_editor));
    }

    template <typename Widget = QLineEdit>
    Widget* control(const char* name) const
    {
        return namedControl<Widget>(m_editor, name);
    }
    QString text(const char* name) const { return control(name)->text(); }
    ColourChooser* chooser() const { return control<ColourChooser>("EditIDE2dfxColChooser"); }
    // The name of the one sub-panel shown, or "" when not exactly one is.
    std::string shownPanel() const
    {
        std::string shown;
        int count = 0;
        for (const char* name : PanelNames) {
            if (!control<QWidget>(name)->isHidden()) {
                shown = name;
                ++count;
            }
        }
        return count == 1 ? shown : std::string();
    }
    void retype(const char* name, const QString& text) { retypeBox(control(name), text); }
    void clickRadio(const char* name)
    {
        clickAtLeft(control<QRadioButton>(name));
    }

    TGTAFileList m_files{"", true};
    MapDocument m_document{m_files};
    TFormEditorItem m_editor{m_document, nullptr};
};

TEST_F(EffectPanel, ALightShowsItsFieldsWithoutMarkingTheFile)
{
    select(LightRecord);
    EXPECT_EQ(m_editor.ModeValue->text(), "IDE - 2dfx");
    EXPECT_EQ(text("EditIDE2dfxID"), "1800");
    EXPECT_EQ(text("EditIDE2dfxPosZ"), "4.25");
    EXPECT_EQ(text("EditIDE2dfxViewDistance"), "100");
    EXPECT_EQ(text("EditIDE2dfxColG"), "128");
    EXPECT_EQ(chooser()->colourValue(), 33023);
    EXPECT_TRUE(control<QRadioButton>("EditIDE2dfxRadioLight")->isChecked());
    EXPECT_EQ(shownPanel(), "PanelIDE2dfxLight");
    EXPECT_EQ(text("EditIDE2dfxAEffect1"), "\"coronastar\"");
    EXPECT_EQ(text("EditIDE2dfxAEffect2"), "\"shad_exp\"");
    EXPECT_EQ(text("EditIDE2dfxARangeOuter"), "8");
    EXPECT_EQ(text("EditIDE2dfxASizeCorona"), "40");
    EXPECT_EQ(control<QComboBox>("EditIDE2dfxAControl")->currentText(), "Flicker: Night Only");
    EXPECT_EQ(text("EditIDE2dfxAReflectionWet"), "1");

    // Control 20 is beyond the list: the list stays on its previous item.
    select(ControlBeyondList);
    EXPECT_EQ(control<QComboBox>("EditIDE2dfxAControl")->currentIndex(), 3);
    EXPECT_EQ(effect(ControlBeyondList).Control, 20);

    select(ParticleRecord);
    EXPECT_EQ(shownPanel(), "PanelIDE2dfxParticle");
    EXPECT_EQ(control<QComboBox>("EditIDE2dfxBType")->currentText(), "Fire");
    EXPECT_EQ(text("EditIDE2dfxBRotX"), "30.00");
    EXPECT_EQ(text("EditIDE2dfxBRotW"), "30.00");
    select(AnimationRecord);
    EXPECT_EQ(shownPanel(), "PanelIDE2dfxAnimation");
    EXPECT_EQ(control<QComboBox>("EditIDE2dfxDType")->currentText(), "Bus Stop");
    EXPECT_EQ(text("EditIDE2dfxDDir2Z"), "-0.5");
    EXPECT_EQ(chooser()->currentText(), "blue");
    select(UnknownRecord);
    EXPECT_EQ(shownPanel(), "PanelIDE2dfxUnknown");
    EXPECT_TRUE(control<QRadioButton>("EditIDE2dfxRadioUnknown")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("EditIDE2dfxRadioUnknown")->isEnabled());
    // A type beyond the five leaves the radio buttons and sub-panels as they were.
    select(TypeBeyondList);
    EXPECT_EQ(shownPanel(), "PanelIDE2dfxUnknown");
    EXPECT_TRUE(control<QRadioButton>("EditIDE2dfxRadioUnknown")->isChecked());
    EXPECT_FALSE(modified());
}

TEST_F(EffectPanel, TheColourDropDownAndTheColourBoxesAgree)
{
    select(ParticleRecord);
    EXPECT_EQ(chooser()->currentText(), "black");
    QTest::keyClick(chooser(), Qt::Key_Down);
    EXPECT_EQ(chooser()->currentText(), "maroon");
    EXPECT_EQ(effect(ParticleRecord).ColR, 128);
    EXPECT_EQ(text("EditIDE2dfxColR"), "128");
    EXPECT_TRUE(modified());

    // "Custom..." asks the colour dialog for any colour.
    whenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(QColor(255, 128, 0));
        dialog->accept();
    });
    QTest::keyClick(chooser(), Qt::Key_End);
    EXPECT_EQ(chooser()->colourValue(), 33023);
    EXPECT_EQ(effect(ParticleRecord).ColR, 255);
    EXPECT_EQ(effect(ParticleRecord).ColG, 128);
    EXPECT_EQ(effect(ParticleRecord).ColB, 0);
    EXPECT_EQ(text("EditIDE2dfxColR"), "255");
    EXPECT_EQ(text("EditIDE2dfxColG"), "128");
    EXPECT_EQ(text("EditIDE2dfxColB"), "0");
    EXPECT_EQ(m_editor.ExpandedEdit->text().toStdString(), line(ParticleRecord));

    // A cancelled dialog changes nothing.
    whenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    QTest::keyClick(chooser(), Qt::Key_End);
    EXPECT_EQ(chooser()->colourValue(), 33023);
    EXPECT_EQ(effect(ParticleRecord).ColG, 128);

    // Boxes keep the low 8 bits; the drop-down follows with the record's colour.
    retype("EditIDE2dfxColR", "300");
    EXPECT_EQ(effect(ParticleRecord).ColR, 44);
    EXPECT_EQ(chooser()->colourValue(), 44 + 128 * 256);
    retype("EditIDE2dfxColR", "255");
    retype("EditIDE2dfxColG", "255");
    retype("EditIDE2dfxColB", "x");
    EXPECT_EQ(effect(ParticleRecord).ColB, 0);
    EXPECT_EQ(chooser()->currentText(), "yellow");
}

TEST_F(EffectPanel, CommonBoxesWriteTheirFields)
{
    select(LightRecord);
    retype("EditIDE2dfxViewDistance", "2.5");
    EXPECT_EQ(effect(LightRecord).ViewDistance, 0) << "a whole number in the file";
    retype("EditIDE2dfxViewDistance", "75");
    EXPECT_EQ(effect(LightRecord).ViewDistance, 75);
    retype("EditIDE2dfxPosX", "-3.5");
    EXPECT_FLOAT_EQ(effect(LightRecord).PosX, -3.5f);
    retype("EditIDE2dfxID", "x");
    EXPECT_EQ(effect(LightRecord).ID, 0);
    retype("EditIDE2dfxID", "1900");
    EXPECT_EQ(effect(LightRecord).ID, 1900);
    EXPECT_TRUE(modified());
    EXPECT_EQ(m_editor.ExpandedEdit->text().toStdString(), line(LightRecord));
    EXPECT_TRUE(m_editor.ExpandedEdit->text().startsWith("1900, -3.5, -1, 4.25, 255, 128, 0, 75, 0, "));
}

TEST_F(EffectPanel, SubPanelControlsWriteTheirFields)
{
    select(LightRecord);
    retype("EditIDE2dfxAEffect1", "\"coronaringa\"");
    EXPECT_EQ(effect(LightRecord).CoronaTexture, "\"coronaringa\"");
    retype("EditIDE2dfxADistance", "x");
    EXPECT_EQ(effect(LightRecord).Distance, 0);
    retype("EditIDE2dfxASizeLamp", "2.5");
    EXPECT_FLOAT_EQ(effect(LightRecord).SizeLamp, 2.5f);
    retype("EditIDE2dfxADust", "65537");
    EXPECT_EQ(effect(LightRecord).Dust, 1);
    QTest::keyClick(control<QComboBox>("EditIDE2dfxAControl"), Qt::Key_Down);
    EXPECT_EQ(effect(LightRecord).Control, 4);

    select(ParticleRecord);
    retype("EditIDE2dfxBRotW", "90");
    EXPECT_NEAR(effect(ParticleRecord).RotW, 0, 1e-6);
    retype("EditIDE2dfxBRotZ", "30");
    EXPECT_NEAR(effect(ParticleRecord).RotZ, 0.5, 1e-6);
    EXPECT_FLOAT_EQ(effect(ParticleRecord).RotX, 0.5f) << "untouched components stay";
    select(ParticleRecord);
    EXPECT_EQ(text("EditIDE2dfxBRotW"), "90.00");
    EXPECT_EQ(text("EditIDE2dfxBRotZ"), "30.00");
    QTest::keyClick(control<QComboBox>("EditIDE2dfxBType"), Qt::Key_Home);
    EXPECT_EQ(effect(ParticleRecord).ParticleType, 0);

    select(AnimationRecord);
    retype("EditIDE2dfxDDir1Y", "abc");
    EXPECT_EQ(effect(AnimationRecord).Dir1Y, 0);
    retype("EditIDE2dfxDDir2X", "0.75");
    EXPECT_FLOAT_EQ(effect(AnimationRecord).Dir2X, 0.75f);
    QTest::keyClick(control<QComboBox>("EditIDE2dfxDType"), Qt::Key_End);
    EXPECT_EQ(effect(AnimationRecord).AnimType, 4);
    EXPECT_EQ(m_editor.ExpandedEdit->text(), "1802, 0, 0, 1, 0, 0, 255, 200, 3, 4, 0, 0, 0, 0.75, 0, -0.5");
}

TEST_F(EffectPanel, SwitchingTheTypeKeepsTheOtherTypesFields)
{
    effect(LightRecord).ParticleType = 4;
    effect(LightRecord).RotW = 1;
    select(LightRecord);
    clickRadio("EditIDE2dfxRadioParticle");
    EXPECT_EQ(effect(LightRecord).EffectType, 1);
    EXPECT_EQ(shownPanel(), "PanelIDE2dfxParticle");
    EXPECT_EQ(control<QComboBox>("EditIDE2dfxBType")->currentText(), "Smoke");
    EXPECT_EQ(text("EditIDE2dfxBRotW"), "0.00");
    EXPECT_EQ(effect(LightRecord).CoronaTexture, "\"coronastar\"");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), "1800, 0.5, -1, 4.25, 255, 128, 0, 100, 1, 4, 0, 0, 0, 1");
    // The new type is a change of the file like any other.
    EXPECT_TRUE(modified());
    EXPECT_TRUE(m_editor.BtnUndo->isEnabled());

    clickRadio("EditIDE2dfxRadioReflection");
    EXPECT_EQ(shownPanel(), "PanelIDE2dfxReflection");
    clickRadio("EditIDE2dfxRadioUnknown");
    EXPECT_EQ(effect(LightRecord).EffectType, 4) << "N/A cannot be chosen";
    clickRadio("EditIDE2dfxRadioLight");
    EXPECT_EQ(shownPanel(), "PanelIDE2dfxLight");
    EXPECT_EQ(text("EditIDE2dfxAEffect2"), "\"shad_exp\"");
    EXPECT_EQ(m_editor.ExpandedEdit->text().toStdString(),
        "1800, 0.5, -1, 4.25, 255, 128, 0, 100, 0, \"coronastar\", \"shad_exp\", 100, 8, 1, 0, 40, 3, 1, 0, 0");
}

TEST_F(EffectPanel, UndoRestoresTheEffect)
{
    const std::string before = line(LightRecord);
    select(LightRecord);
    retype("EditIDE2dfxPosX", "9");
    retype("EditIDE2dfxColB", "200");
    clickRadio("EditIDE2dfxRadioAnimation");
    ASSERT_EQ(shownPanel(), "PanelIDE2dfxAnimation");
    QTest::mouseClick(m_editor.BtnUndo, Qt::LeftButton);
    EXPECT_EQ(line(LightRecord), before);
    EXPECT_FALSE(modified());
    EXPECT_EQ(shownPanel(), "PanelIDE2dfxLight");
    EXPECT_EQ(text("EditIDE2dfxColB"), "0");
    EXPECT_EQ(chooser()->colourValue(), 33023);
}

}
