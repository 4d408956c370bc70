#include "FileIO.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

const std::string OldText = "# the old file, byte for byte\r\ninst\n1, old, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n";

// A modified IPL file whose save replaces the file at path.
std::unique_ptr<TIPLFile> modifiedFile(const std::string& path)
{
    auto file = std::make_unique<TIPLFile>();
    file->FileName = path;
    file->Inst.NewRecordAt(1, 2, 3);
    file->Modified = true;
    return file;
}

int entriesIn(const fs::path& dir)
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        (void)entry;
        ++count;
    }
    return count;
}

TEST(MapFileSaving, ReplacesTheFileAndClearsModified)
{
    TempDir dir;
    writeFile(dir.file("town.ipl"), OldText);
    auto file = modifiedFile(dir.file("town.ipl"));
    ASSERT_EQ(file->Save(), 0);
    EXPECT_FALSE(file->Modified);
    EXPECT_EQ(readFile(dir.file("town.ipl")), file->SaveText());
    EXPECT_EQ(entriesIn(dir.path()), 1) << "no temporary file is left beside the target";
}

// POSIX permissions, links and file size limits; Windows has its own tests of saving.
#ifndef _WIN32
TEST(MapFileSaving, KeepsThePermissionsOfTheFileItReplaces)
{
    TempDir dir;
    writeFile(dir.file("town.ipl"), OldText);
    ::chmod(dir.file("town.ipl").c_str(), 0640);
    ASSERT_EQ(modifiedFile(dir.file("town.ipl"))->Save(), 0);
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("town.ipl").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(MapFileSaving, ThroughALinkReplacesTheLinkedFile)
{
    TempDir dir;
    writeFile(dir.file("real/town.ipl"), OldText);
    fs::create_symlink(dir.file("real/town.ipl"), dir.file("town.ipl"));
    auto file = modifiedFile(dir.file("town.ipl"));
    ASSERT_EQ(file->Save(), 0);
    EXPECT_TRUE(fs::is_symlink(dir.file("town.ipl")));
    EXPECT_EQ(readFile(dir.file("real/town.ipl")), file->SaveText());
}
#endif

TEST(MapFileSaving, IntoAMissingFolderFailsAndKeepsModified)
{
    TempDir dir;
    auto file = modifiedFile(dir.file("no-such-folder/town.ipl"));
    EXPECT_EQ(file->Save(), ENOENT);
    EXPECT_TRUE(file->Modified);
    EXPECT_EQ(entriesIn(dir.path()), 0);
}

TEST(MapFileSaving, BelowAFileFailsAndKeepsModified)
{
    TempDir dir;
    writeFile(dir.file("maps"), "a file where a folder should be");
    auto file = modifiedFile(dir.file("maps/town.ipl"));
    EXPECT_EQ(file->Save(), ENOTDIR);
    EXPECT_TRUE(file->Modified);
}

// A full disk, made real with a file-size limit: the write fails part way, and the old
// file must still be whole afterwards.
#ifndef _WIN32
TEST(MapFileSaving, AWriteThatFailsPartWayLeavesTheOldFileWhole)
{
    TempDir dir;
    writeFile(dir.file("town.ipl"), OldText);
    auto file = modifiedFile(dir.file("town.ipl"));
    for (int i = 0; i < 2000; ++i)
        file->Inst.NewRecordAt(static_cast<float>(i), 2.5f, -7.25f);

    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const int result = file->Save();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, EFBIG);
    EXPECT_TRUE(file->Modified);
    EXPECT_EQ(readFile(dir.file("town.ipl")), OldText);
    EXPECT_EQ(entriesIn(dir.path()), 1) << "the partial temporary file is removed";
}
#endif

TEST(ReplaceFileContents, CreatesANewFile)
{
    TempDir dir;
    ASSERT_EQ(replaceFileContents(dir.file("new.txt"), "abc"), 0);
    EXPECT_EQ(readFile(dir.file("new.txt")), "abc");
    ASSERT_EQ(replaceFileContents(dir.file("new.txt"), ""), 0);
    EXPECT_EQ(readFile(dir.file("new.txt")), "");
}

} // namespace
