// The zone and cull pages of the item editor: what they show, and what a zone's controls write.
#include "TFormEditorItem.h"

#include "EditorControls.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Failed comparisons of box texts print the text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class ZoneCullPanels : public testing::Test {
protected:
    void SetUp() override
    {
        auto file = std::make_unique<TIPLFile>();
        file->ReadText("zone\n"
                       "Downtown, 3, -500, -300.5, 0, 200, 100, 50, 1\n"
                       "Harbour, 9, 0, 0, 0, 1, 1, 1, 0\n"
                       "end\n"
                       "cull\n"
                       "1, 2.5, 3, 4, 5, 6, 7, 8, -9, 10, 11\n"
                       "end\n");
        file->FileName = "town.ipl";
        m_files.AddFile(std::move(file));
    }

    TGTASZoneObj& zone(int record) { return m_files.IPLFile(0)->Zone.Items[record]; }
    template <typename Widget = QLineEdit>
    Widget* control(const char* name) const
    {
        return namedControl<Widget>(m_editor, name);
    }
    void retype(const char* name, const QString& text) { retypeBox(control(name), text); }

    TGTAFileList m_files{"", true};
    MapDocument m_document{m_files};
    TFormEditorItem m_editor{m_document, nullptr};
};

TEST_F(ZoneCullPanels, AZoneShowsItsFieldsWithoutMarkingTheFile)
{
    m_editor.SelectRecord(FileKind::IPL, SectionCode::Zone, 0, 0);
    EXPECT_EQ(control("EditIPLZoneName")->text(), "Downtown");
    EXPECT_EQ(control<QComboBox>("box_zonetypes")->currentText(), "3= island_split");
    EXPECT_EQ(control("EditIPLZonePos1Y")->text(), "-300.5");
    EXPECT_EQ(control("EditIPLZonePos2Z")->text(), "50");
    EXPECT_EQ(control("EditIPLZoneU9")->text(), "1");
    EXPECT_EQ(m_editor.ModeValue->text(), "IPL - Zone");
    EXPECT_FALSE(m_files.File(0)->Modified);

    // A type beyond the list leaves the list where it was.
    m_editor.SelectRecord(FileKind::IPL, SectionCode::Zone, 1, 0);
    EXPECT_EQ(control<QComboBox>("box_zonetypes")->currentIndex(), 3);
    EXPECT_EQ(zone(1).ZoneType, 9);
    EXPECT_EQ(control("EditIPLZoneName")->text(), "Harbour");
    EXPECT_FALSE(m_files.File(0)->Modified);
}

TEST_F(ZoneCullPanels, ZoneControlsWriteTheirFieldsAndTheLine)
{
    m_editor.SelectRecord(FileKind::IPL, SectionCode::Zone, 0, 0);
    retype("EditIPLZoneName", "Uptown");
    EXPECT_EQ(zone(0).Name, "Uptown");
    EXPECT_TRUE(m_files.File(0)->Modified);
    EXPECT_TRUE(m_editor.BtnUndo->isEnabled());

    QComboBox* types = control<QComboBox>("box_zonetypes");
    QTest::keyClick(types, Qt::Key_Up);
    EXPECT_EQ(zone(0).ZoneType, 2);

    retype("EditIPLZonePos2Z", "-12.5");
    EXPECT_FLOAT_EQ(zone(0).Pos2Z, -12.5f);
    EXPECT_FLOAT_EQ(zone(0).Pos1Y, -300.5f) << "the other corners keep their values";
    retype("EditIPLZonePos1X", "abc");
    EXPECT_FLOAT_EQ(zone(0).Pos1X, 0);
    retype("EditIPLZoneU9", "x");
    EXPECT_EQ(zone(0).U9, 0);
    retype("EditIPLZoneU9", "42");
    EXPECT_EQ(zone(0).U9, 42);
    EXPECT_EQ(m_editor.ExpandedEdit->text(), "Uptown, 2, 0, -300.5, 0, 200, 100, -12.5, 42");

    // Undo brings back the zone as it was selected.
    QTest::mouseClick(m_editor.BtnUndo, Qt::LeftButton);
    EXPECT_EQ(zone(0).Name, "Downtown");
    EXPECT_FLOAT_EQ(zone(0).Pos2Z, 50);
    EXPECT_FALSE(m_files.File(0)->Modified);
    EXPECT_EQ(control("EditIPLZoneName")->text(), "Downtown");
}

TEST_F(ZoneCullPanels, TheCullPageOnlyDisplays)
{
    m_editor.SelectRecord(FileKind::IPL, SectionCode::Cull, 0, 0);
    EXPECT_EQ(m_editor.ModeValue->text(), "IPL - Cull");
    EXPECT_EQ(control("EditIPLCullPos1Y")->text(), "2.5");
    EXPECT_EQ(control("EditIPLCullPos3Z")->text(), "-9");
    EXPECT_EQ(control("EditIPLCullU10")->text(), "10");
    EXPECT_EQ(control("EditIPLCullU11")->text(), "11");

    const std::string before = m_files.IPLFile(0)->Cull.WriteLine(0);
    retype("EditIPLCullPos1X", "77");
    retype("EditIPLCullU11", "5");
    EXPECT_EQ(m_files.IPLFile(0)->Cull.WriteLine(0), before);
    EXPECT_FALSE(m_files.File(0)->Modified);
}

}
