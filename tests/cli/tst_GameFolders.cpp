#include "CliRun.h"
#include "SystemFiles.h"
#include "TGTA3Archive.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace sys = systemfiles;

namespace {

// The commands a modder runs on a game, each with its exit code and output.
std::vector<CliResult> inspect(const std::string& game)
{
    const std::string sep(1, static_cast<char>(fs::path::preferred_separator));
    return {
        runCliProgram({"dat", game}),
        runCliProgram({"img", "list", game + sep + "models" + sep + "gta3.img"}),
        runCliProgram({"txd", "info", game + sep + "models" + sep + "generic.txd"}),
        runCliProgram({"roundtrip", game + sep + "data" + sep + "gta_vc.dat"}),
    };
}

// A game folder named with blanks and letters outside any single code page, given on the
// command line (on Windows the program reads its arguments as wide characters).
TEST(GameFolders, ANonAsciiFolderWithBlanksWorksAsAPlainOne)
{
    TempDir dir;
    const std::string plain = dir.file("plain");
    const std::string named = sys::utf8FromPath(dir.path() / sys::pathFromUtf8("Spiele Ordner \xC3\x84 \xC3\xB8 \xE6\x9D\xB1"));
    ASSERT_EQ(runCliProgram({"demo-game", plain}).code, 0);
    ASSERT_EQ(runCliProgram({"demo-game", named}).code, 0);
    EXPECT_TRUE(fs::exists(sys::pathFromUtf8(named) / "models" / "gta3.img"));

    const std::vector<CliResult> expected = inspect(plain);
    const std::vector<CliResult> got = inspect(named);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].code, 0) << i;
        EXPECT_GT(got[i].out.size(), 20u) << i;
        EXPECT_EQ(got[i].out, expected[i].out) << i;
    }
}

// The archive lock is held by this process; another editor (here the command-line program)
// gets the archive read-only: it can list it but not change it until the lock is let go.
TEST(GameFolders, AnArchiveLockedByAnotherProcessOpensReadOnly)
{
    TempDir dir;
    ASSERT_EQ(runCliProgram({"demo-game", dir.file("game")}).code, 0);
    const std::string img = sys::utf8FromPath(fs::path(dir.file("game")) / "models" / "gta3.img");
    writeFile(dir.file("extra.dff"), "extra model");
    std::string listed;
    {
        TGTA3Archive holder(img, false);
        ASSERT_TRUE(holder.Opened);
        ASSERT_FALSE(holder.ReadOnly);
        const CliResult list = runCliProgram({"img", "list", img});
        EXPECT_EQ(list.code, 0);
        EXPECT_EQ(list.out.substr(0, 2), "0\t");
        listed = list.out;
        EXPECT_EQ(runCliProgram({"img", "add", img, dir.file("extra.dff")}).code, 2);
        EXPECT_EQ(runCliProgram({"img", "delete", img, "generic.txd"}).code, 2);
        holder.MarkDeleted(0);
        EXPECT_EQ(holder.CommitDeletions(), 0) << "the other process has let go";
    }
    const CliResult added = runCliProgram({"img", "add", img, dir.file("extra.dff")});
    EXPECT_EQ(added.code, 0);
    EXPECT_NE(added.out.find("extra.dff"), std::string::npos);
    const std::string after = runCliProgram({"img", "list", img}).out;
    EXPECT_NE(after.find("extra.dff"), std::string::npos);
    EXPECT_EQ(after.find(listed.substr(2, listed.find('\n') - 2)), std::string::npos) << "the first entry is gone";
}

} // namespace
