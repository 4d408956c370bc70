#include "EnvironmentScope.h"
#include "GameList.h"
#include "GameRegistry.h"
#include "TFormStartup.h"
#include "TestFiles.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

TEST(GameListText, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    const struct {
        const char* field;
        const char* written;
    } cases[] = {
        {"/games/gta3/", "/games/gta3/"},
        {"GTA 3", "\"GTA 3\""},
        {"Vice,City", "\"Vice,City\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"tab\there", "\"tab\there\""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commaTextField(c.field), c.written) << c.field;
    EXPECT_EQ(commaText({"/games/vc/", "GTA Vice City"}), "/games/vc/,\"GTA Vice City\"");
}

TEST(GameListText, WrittenFieldsSplitBackToThemselves)
{
    const std::vector<Lines> entries = {
        {"/games/gta3/", "GTA 3"},
        {"/my games/Vice City/", "VC, modded"},
        {"/games/vc/", "the \"real\" one"},
        {"/games/x/", ""},
    };
    for (const Lines& fields : entries)
        EXPECT_EQ(splitCommaText(commaText(fields)), fields) << commaText(fields);
}

TEST(GameListFile, WriteThenReadGivesTheSameLinesEndedByCrLf)
{
    TempDir dir;
    const std::string path = dir.file("GAMES.TXT");
    const Lines lines = {commaText({"/my games/gta3/", "GTA 3"}), commaText({"/games/vc/", "VC, modded"})};
    ASSERT_EQ(writeGameList(path, lines), 0);
    EXPECT_EQ(readFile(path), "\"/my games/gta3/\",\"GTA 3\"\r\n/games/vc/,\"VC, modded\"\r\n");
    EXPECT_EQ(readGameListFile(path), lines);

    // Lines ended by LF alone read the same.
    writeFile(path, "/games/gta3/,\"GTA 3\"\n/games/vc/,VC\n");
    EXPECT_EQ(readGameListFile(path), (Lines{"/games/gta3/,\"GTA 3\"", "/games/vc/,VC"}));
}

TEST(GameListFile, AFileThatCannotBeWrittenIsReported)
{
    TempDir dir;
    writeFile(dir.file("not-a-folder"), "x");
    EXPECT_NE(writeGameList(dir.file("not-a-folder/GAMES.TXT"), {"a,b"}), 0);
}

class GameListSources : public testing::Test {
protected:
    TempDir dir;
    EnvironmentScope registry{"QUOX_REGISTRY_FILE", QByteArray::fromStdString(dir.file("registry.ini"))};
    const std::string gamesFile = dir.file("GAMES.TXT");
};

TEST_F(GameListSources, WithoutAFileTheRegistryKeysGiveTheListGta3First)
{
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::ViceCityKey, QStringLiteral("/games/vice city")));
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::GTA3Key, QStringLiteral("/games/gta3")));
    EXPECT_EQ(loadGameList(gamesFile),
              (Lines{"/games/gta3,\"GTA 3\"", "\"/games/vice city\",\"GTA Vice City\""}));

    // A key without a path adds nothing.
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::GTA3Key, QString()));
    EXPECT_EQ(loadGameList(gamesFile), (Lines{"\"/games/vice city\",\"GTA Vice City\""}));
}

TEST_F(GameListSources, AnEmptyFileGivesAnEmptyListWithoutAskingTheRegistry)
{
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::GTA3Key, QStringLiteral("/games/gta3")));
    writeFile(gamesFile, "");
    EXPECT_TRUE(loadGameList(gamesFile).empty());
}

TEST(MemoryEstimate, FollowsTheTableForEveryChoice)
{
    const struct {
        bool viceCity, models, textures;
        const char* text;
    } cases[] = {
        {true, true, true, "30 - 380 Mb"},  {true, true, false, "30 - 180 Mb"},
        {true, false, true, "30 - 230 Mb"}, {true, false, false, "30 Mb"},
        {false, true, true, "60 - 360 Mb"}, {false, true, false, "60 - 210 Mb"},
        {false, false, true, "60 - 210 Mb"}, {false, false, false, "60 Mb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(memoryEstimateText(c.viceCity, c.models, c.textures), QString::fromLatin1(c.text))
            << c.viceCity << c.models << c.textures;
}

TEST(GameDirectory, EndsWithThePlatformsSeparator)
{
    EXPECT_EQ(gameDirectoryOf("/games/gta3"), "/games/gta3/");
    EXPECT_EQ(gameDirectoryOf("/games/gta3/"), "/games/gta3/");
    // A Windows entry's closing backslash is no separator here.
    EXPECT_EQ(gameDirectoryOf("/games/gta3\\"), "/games/gta3/");
}

TEST(GameListPath, TheEnvironmentChoosesTheFileElseItLiesBesideTheProgram)
{
    {
        const EnvironmentScope games("QUOX_GAMES_FILE", "/somewhere/GAMES.TXT");
        EXPECT_EQ(gameListPath(), QStringLiteral("/somewhere/GAMES.TXT"));
    }
    const EnvironmentScope games("QUOX_GAMES_FILE", QByteArray());
    // The test program's folder is writable, as a built program's is.
    EXPECT_EQ(gameListPath(), QCoreApplication::applicationDirPath() + QStringLiteral("/GAMES.TXT"));
}
