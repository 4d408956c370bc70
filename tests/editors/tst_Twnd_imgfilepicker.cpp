// The archive entry picker: the full list of the archive's names, the search that narrows
// it, and which name each way of closing the dialog answers.
#include "ImgWriter.h"
#include "ModalDialogs.h"
#include "TGTA3Archive.h"
#include "TestFiles.h"
#include "Twnd_imgfilepicker.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QStringList rows(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QString selectedRow(const QListWidget* list)
{
    const auto chosen = list->selectedItems();
    return chosen.isEmpty() ? QString() : chosen.first()->text();
}

void clickRow(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    EXPECT_EQ(found.size(), 1) << text.toStdString();
    if (found.isEmpty())
        return;
    list->scrollToItem(found[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
}

class ImgFilePicker : public testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<std::uint8_t> bytes(10, 7);
        ASSERT_EQ(writeImgArchive(m_folder.file("gta3.img"), {{"streetlamp.txd", bytes},
                                                             {"house.dff", bytes},
                                                             {"Lamp.dff", bytes},
                                                             {"oldlamp.dff", bytes},
                                                             {"LAMPPOST.DFF", bytes},
                                                             {"bank.dff", bytes}}),
                  0);
        m_archive = std::make_unique<TGTA3Archive>(m_folder.file("gta3.img"), false);
        ASSERT_TRUE(m_archive->Opened);
        m_archive->MarkDeleted(3); // oldlamp.dff: marked, not yet committed
        m_picker = std::make_unique<Twnd_imgfilepicker>(m_archive.get());
        m_find = m_picker->findChild<QLineEdit*>("inp_find");
        m_matches = m_picker->findChild<QListWidget*>("ListBox1");
        m_all = m_picker->findChild<QListWidget*>("listarchive");
        ASSERT_TRUE(m_find && m_matches && m_all);
    }

    // Picks with `act` run on the open dialog; an act that forgets to close it is closed
    // with Cancel, so a failing test cannot hang.
    QString pick(const QString& initialText, std::function<void()> act)
    {
        whenModalOpens([this, act = std::move(act)](QWidget* dialog) {
            EXPECT_EQ(dialog, m_picker.get());
            act();
            if (m_picker->isVisible())
                m_picker->reject();
        });
        return m_picker->PickEntry(initialText, 1);
    }
    void press(const char* button) { QTest::mouseClick(m_picker->findChild<QPushButton*>(button), Qt::LeftButton); }
    void search(const QString& text)
    {
        m_find->selectAll();
        QTest::keyClick(m_find, Qt::Key_Delete);
        QTest::keyClicks(m_find, text);
    }

    TempDir m_folder;
    std::unique_ptr<TGTA3Archive> m_archive;
    std::unique_ptr<Twnd_imgfilepicker> m_picker;
    QLineEdit* m_find = nullptr;
    QListWidget* m_matches = nullptr;
    QListWidget* m_all = nullptr;
};

} // namespace

TEST_F(ImgFilePicker, ListsTheArchiveSortedAndTheMatchesOfTheSearch)
{
    QStringList all, lamps, afterClearing;
    const QString answer = pick("", [&] {
        all = rows(m_all);
        EXPECT_TRUE(rows(m_matches).isEmpty()) << "an empty search matches nothing";
        search("lamp");
        lamps = rows(m_matches);
        search("");
        afterClearing = rows(m_matches);
        press("BitBtn1");
    });
    EXPECT_EQ(all, QStringList({"bank.dff", "house.dff", "Lamp.dff", "LAMPPOST.DFF", "streetlamp.txd"}))
        << "sorted without regard to case; the entry marked deleted is left out";
    EXPECT_EQ(lamps, QStringList({"Lamp.dff", "LAMPPOST.DFF", "streetlamp.txd"}));
    EXPECT_TRUE(afterClearing.isEmpty());
    EXPECT_EQ(answer, "") << "OK without a chosen row answers the initial text";
    EXPECT_EQ(m_picker->windowTitle(), "Img file selection dialog");
}

TEST_F(ImgFilePicker, TheInitialTextChoosesItsFirstMatch)
{
    QString chosen, searched;
    QStringList matches;
    const QString answer = pick("post", [&] {
        searched = m_find->text();
        matches = rows(m_matches);
        chosen = selectedRow(m_all);
        press("BitBtn1");
    });
    EXPECT_EQ(searched, "post");
    EXPECT_EQ(matches, QStringList({"LAMPPOST.DFF"}));
    EXPECT_EQ(chosen, "LAMPPOST.DFF");
    EXPECT_EQ(answer, "LAMPPOST.DFF");

    // Reused for the next pick: both lists are filled again.
    const QString second = pick("LAMP", [&] {
        chosen = selectedRow(m_all);
        press("BitBtn1");
    });
    EXPECT_EQ(chosen, "Lamp.dff");
    EXPECT_EQ(second, "Lamp.dff");
}

TEST_F(ImgFilePicker, AClickedMatchIsChosenInTheFullList)
{
    QString chosen;
    const QString answer = pick("lamp", [&] {
        clickRow(m_matches, "streetlamp.txd");
        chosen = selectedRow(m_all);
        EXPECT_EQ(m_all->selectedItems().size(), 1) << "the first match is no longer chosen";
        press("BitBtn1");
    });
    EXPECT_EQ(chosen, "streetlamp.txd");
    EXPECT_EQ(answer, "streetlamp.txd");
}

TEST_F(ImgFilePicker, CancelOrNoChoiceAnswersTheInitialText)
{
    EXPECT_EQ(pick("house", [&] {
        clickRow(m_all, "bank.dff");
        press("BitBtn2");
    }),
              "house");

    // A search that matches nothing leaves the full list without a chosen row.
    EXPECT_EQ(pick("zzz", [&] {
        EXPECT_TRUE(m_all->selectedItems().isEmpty());
        search("bank");
        EXPECT_EQ(rows(m_matches), QStringList({"bank.dff"}));
        press("BitBtn1");
    }),
              "zzz");
}

TEST_F(ImgFilePicker, ADoubleClickInTheFullListAccepts)
{
    const QString answer = pick("zzz", [&] {
        const auto found = m_all->findItems("house.dff", Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        const QPoint at = m_all->visualItemRect(found[0]).center();
        QTest::mouseClick(m_all->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(m_all->viewport(), Qt::LeftButton, {}, at);
    });
    EXPECT_EQ(answer, "house.dff");
}

TEST(ImgFilePickerWithoutArchive, ListsNothingAndAnswersTheInitialText)
{
    Twnd_imgfilepicker picker(nullptr);
    int listed = -1;
    whenModalOpens([&](QWidget* dialog) {
        listed = dialog->findChild<QListWidget*>("listarchive")->count();
        QTest::mouseClick(dialog->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    EXPECT_EQ(picker.PickEntry("house", 0), "house");
    EXPECT_EQ(listed, 0);
}
