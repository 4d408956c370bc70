// The archive rebuild: every entry keeps its bytes, the holes go, and a rebuild cut short
// at any point leaves an archive that opens as the old one or the new one.
#include "ImgWriter.h"
#include "TGTA3Archive.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sstream>
#include <thread>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string patterned(std::size_t size, int seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 13 + static_cast<std::size_t>(seed) * 71 + 5) % 253);
    return bytes;
}

struct Snapshot {
    std::vector<std::string> names;
    std::vector<std::uint32_t> sizes;
    std::vector<std::string> contents;
};

Snapshot snapshot(const TGTA3Archive& archive)
{
    Snapshot shot;
    for (int i = 0; i < archive.EntryCount(); ++i) {
        const TImgEntry entry = archive.GetEntry(i);
        shot.names.push_back(entry.TrimmedName());
        shot.sizes.push_back(entry.Size);
        std::ostringstream out;
        EXPECT_EQ(archive.ExtractEntry(i, out), 0) << entry.TrimmedName();
        shot.contents.push_back(out.str());
    }
    return shot;
}

void expectSame(const Snapshot& a, const Snapshot& b)
{
    EXPECT_EQ(a.names, b.names);
    EXPECT_EQ(a.sizes, b.sizes);
    ASSERT_EQ(a.contents.size(), b.contents.size());
    for (std::size_t i = 0; i < a.contents.size(); ++i)
        EXPECT_TRUE(a.contents[i] == b.contents[i]) << "entry " << i << " " << a.names[i];
}

std::uint64_t sectorsOf(const Snapshot& shot)
{
    std::uint64_t total = 0;
    for (const std::uint32_t size : shot.sizes)
        total += size;
    return total;
}

std::vector<std::string> leftovers(const TempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& file : fs::directory_iterator(dir.path())) {
        const std::string name = file.path().filename().string();
        if (name.find(".rebuilt") != std::string::npos || name.find(".journal") != std::string::npos)
            names.push_back(name);
    }
    return names;
}

// `count` entries "entryN.dff" of 1 to 4 sectors, from sector 3; then every third entry is
// deleted and two are added again under existing names, leaving holes in the data file.
std::string writeArchiveWithHoles(const TempDir& dir, int count)
{
    std::vector<ImgWriterEntry> entries;
    for (int i = 0; i < count; ++i) {
        const std::string data = patterned(static_cast<std::size_t>(2048 * (i % 4) + 100 + i * 3), i);
        entries.push_back({"entry" + std::to_string(i) + ".dff", {data.begin(), data.end()}});
    }
    const std::string img = dir.file("gta3.img");
    EXPECT_EQ(writeImgArchive(img, entries, 3), 0);
    TGTA3Archive archive(img, false);
    EXPECT_TRUE(archive.Opened && !archive.ReadOnly);
    for (int i = 0; i < count; i += 3)
        archive.MarkDeleted(i);
    EXPECT_EQ(archive.CommitDeletions(), 0);
    for (const int again : {3, 6}) {
        std::istringstream source(patterned(5000, 100 + again));
        EXPECT_EQ(archive.AddFile("entry" + std::to_string(again) + ".dff", source), 0);
    }
    return img;
}

TEST(ArchiveRebuild, KeepsEveryEntryInDirectoryOrderAndDropsTheHoles)
{
    TempDir dir;
    const std::string img = writeArchiveWithHoles(dir, 30);
    TGTA3Archive archive(img, false);
    const Snapshot before = snapshot(archive);
    const std::uint64_t oldBytes = fs::file_size(img);
    ASSERT_GT(oldBytes, sectorsOf(before) * 2048); // there are holes to drop

    ArchiveRebuildReport report;
    std::vector<int> copied;
    ASSERT_EQ(archive.Rebuild(report, [&copied](RebuildStage stage, int entry) {
        if (stage == RebuildStage::EntryCopied)
            copied.push_back(entry);
    }), 0);
    EXPECT_EQ(report.entries, archive.EntryCount());
    EXPECT_EQ(report.oldBytes, oldBytes);
    EXPECT_EQ(report.newBytes, sectorsOf(before) * 2048);
    EXPECT_EQ(fs::file_size(img), report.newBytes);
    EXPECT_EQ(copied.size(), before.names.size());

    // The open archive goes on with the new files; so does a fresh open.
    expectSame(snapshot(archive), before);
    std::uint32_t sector = 0;
    for (int i = 0; i < archive.EntryCount(); ++i) {
        EXPECT_EQ(archive.GetEntry(i).Offset, sector);
        EXPECT_EQ(archive.GetEntry(i).Index, i);
        sector += archive.GetEntry(i).Size;
    }
    std::istringstream more("added after the rebuild");
    EXPECT_EQ(archive.AddFile("late.txd", more), 0);
    EXPECT_EQ(archive.GetEntry(archive.EntryCount() - 1).Offset, sector);
    const Snapshot after = snapshot(archive);

    TGTA3Archive reopened(dir.file("gta3.img"), false);
    EXPECT_TRUE(reopened.ReadOnly); // the first still holds the lock
    expectSame(snapshot(reopened), after);
    EXPECT_TRUE(leftovers(dir).empty());
}

TEST(ArchiveRebuild, SmallArchives)
{
    const struct {
        const char* what;
        std::vector<ImgWriterEntry> entries;
        std::uint32_t firstSector;
        std::uint64_t newBytes;
    } cases[] = {
        {"no entries, a data file of filler", {}, 4, 0},
        {"an empty entry between two", {{"a.dff", {1, 2}}, {"empty.txd", {}}, {"b.dff", {3}}}, 1, 4096},
        {"two entries of one name", {{"same.dff", {1}}, {"SAME.DFF", {2}}}, 0, 4096},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string img = dir.file("gta3.img");
        ASSERT_EQ(writeImgArchive(img, c.entries, c.firstSector), 0);
        TGTA3Archive archive(img, false);
        const Snapshot before = snapshot(archive);
        ArchiveRebuildReport report;
        ASSERT_EQ(archive.Rebuild(report), 0) << c.what;
        EXPECT_EQ(report.newBytes, c.newBytes) << c.what;
        EXPECT_EQ(fs::file_size(img), c.newBytes) << c.what;
        EXPECT_EQ(fs::file_size(dir.file("gta3.dir")), c.entries.size() * 32) << c.what;
        expectSame(snapshot(archive), before);
    }
}

TEST(ArchiveRebuild, RefusesAndChangesNothing)
{
    TempDir dir;
    const std::string img = writeArchiveWithHoles(dir, 9);
    const std::string oldImg = readFile(img);
    const std::string oldDir = readFile(dir.file("gta3.dir"));
    {
        // Another instance holds the lock: this one is read-only and may not rebuild.
        TGTA3Archive holder(img, false);
        TGTA3Archive second(img, false);
        ASSERT_TRUE(second.ReadOnly);
        ArchiveRebuildReport report;
        EXPECT_EQ(second.Rebuild(report), EROFS);
    }
    {
        // An entry that claims more sectors than the data file has.
        std::string grown = oldDir;
        grown[32 * 4 + 4] = '\x7f';
        writeFile(dir.file("gta3.dir"), grown);
        TGTA3Archive archive(img, false);
        ArchiveRebuildReport report;
        EXPECT_EQ(archive.Rebuild(report), EIO);
        EXPECT_EQ(report.failedEntry, archive.GetEntry(4).TrimmedName());
        EXPECT_FALSE(report.replaced);
        EXPECT_EQ(readFile(dir.file("gta3.dir")), grown);
        writeFile(dir.file("gta3.dir"), oldDir);
    }
    EXPECT_TRUE(readFile(img) == oldImg);
    EXPECT_TRUE(leftovers(dir).empty());
}

TEST(ArchiveRebuild, OpeningSettlesWhatAnInterruptedRebuildLeft)
{
    // Built by hand: the pending files of a rebuild, with and without its journal.
    TempDir dir;
    const std::string img = dir.file("gta3.img");
    ASSERT_EQ(writeImgArchive(img, {{"old.dff", {1}}}), 0);
    ASSERT_EQ(writeImgArchive(dir.file("new.img"), {{"new.dff", {2}}, {"two.txd", {3}}}), 0);
    const auto pending = [&] {
        fs::copy_file(dir.file("new.img"), PendingName(img), fs::copy_options::overwrite_existing);
        fs::copy_file(dir.file("new.dir"), PendingName(dir.file("gta3.dir")), fs::copy_options::overwrite_existing);
    };

    pending(); // not committed: undone
    {
        TGTA3Archive archive(img, false);
        ASSERT_EQ(archive.EntryCount(), 1);
        EXPECT_EQ(archive.GetEntry(0).TrimmedName(), "old.dff");
        EXPECT_FALSE(archive.ReadOnly);
    }
    EXPECT_TRUE(leftovers(dir).empty());

    pending(); // committed, the data file already renamed: finished
    fs::rename(PendingName(img), img);
    writeFile(JournalName(img), "quoxmapper archive rebuild: replace both files by their pending copies\n");
    {
        TGTA3Archive archive(img, false);
        ASSERT_EQ(archive.EntryCount(), 2);
        EXPECT_EQ(archive.GetEntry(1).TrimmedName(), "two.txd");
        std::ostringstream out;
        EXPECT_EQ(archive.ExtractEntry(1, out), 0);
        EXPECT_EQ(out.str()[0], '\3');
        EXPECT_FALSE(archive.ReadOnly);
        std::istringstream more("x");
        EXPECT_EQ(archive.AddFile("more.dff", more), 0); // the lock is on the new files
    }
    EXPECT_TRUE(leftovers(dir).empty());
    EXPECT_EQ(fs::file_size(dir.file("gta3.dir")), 3 * 32u);
}

#ifdef _WIN32
// A program that holds the data file open without sharing its deletion (as most do) keeps
// Windows from replacing it: the rebuild fails whole, and the archive keeps its old files,
// its entries and its lock, so that a rebuild afterwards succeeds.
TEST(ArchiveRebuildOnWindows, AHeldDataFileFailsTheRebuildAndLeavesTheArchiveAsItWas)
{
    TempDir dir;
    const std::string img = writeArchiveWithHoles(dir, 9);
    const std::string oldImg = readFile(img);
    const std::string oldDir = readFile(dir.file("gta3.dir"));
    TGTA3Archive archive(img, false);
    const Snapshot before = snapshot(archive);
    const HANDLE reader = CreateFileW(fs::path(img).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ArchiveRebuildReport report;
    EXPECT_EQ(archive.Rebuild(report), EACCES);
    CloseHandle(reader);
    EXPECT_FALSE(report.replaced);
    EXPECT_TRUE(readFile(img) == oldImg);
    EXPECT_EQ(readFile(dir.file("gta3.dir")), oldDir);
    EXPECT_TRUE(leftovers(dir).empty());
    EXPECT_FALSE(archive.ReadOnly);
    expectSame(snapshot(archive), before);
    {
        TGTA3Archive second(img, false);
        EXPECT_TRUE(second.ReadOnly) << "the lock was taken again";
    }

    ASSERT_EQ(archive.Rebuild(report), 0);
    EXPECT_TRUE(report.replaced);
    expectSame(snapshot(archive), before);
}
#endif

// Killing a forked child is POSIX only; Windows runs the rest.
#ifndef _WIN32

// The rebuild run in a child process that is killed: by itself at a chosen report of the
// rebuild (every entry copied and every step of the swap), or by this process after a
// random time. Each time the archive must open as the old one or the rebuilt one, with
// every entry readable and its bytes unchanged, and nothing of the rebuild left over.
class RebuildKilled : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string img = writeArchiveWithHoles(m_original, 80);
        TGTA3Archive archive(img, false);
        m_before = snapshot(archive);
        m_oldImg = readFile(img);
        m_oldDir = readFile(m_original.file("gta3.dir"));
        // The rebuilt pair, made once to compare with.
        TempDir scratch;
        copyOriginal(scratch);
        TGTA3Archive rebuilt(scratch.file("gta3.img"), false);
        ArchiveRebuildReport report;
        ASSERT_EQ(rebuilt.Rebuild(report), 0);
        m_newImg = readFile(scratch.file("gta3.img"));
        m_newDir = readFile(scratch.file("gta3.dir"));
        ASSERT_NE(m_newImg.size(), m_oldImg.size());
    }

    void copyOriginal(const TempDir& into) const
    {
        for (const char* name : {"gta3.img", "gta3.dir"})
            fs::copy_file(m_original.file(name), into.file(name), fs::copy_options::overwrite_existing);
    }

    // Runs a rebuild in a child; `killAt` (stage, entry) makes it kill itself at that
    // report, otherwise `delay` lets this process kill it. True when it was killed.
    bool runChild(const TempDir& dir, int killAtReport, std::chrono::microseconds delay)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            TGTA3Archive archive(dir.file("gta3.img"), false);
            ArchiveRebuildReport report;
            int reports = 0;
            archive.Rebuild(report, [&](RebuildStage, int) {
                if (reports++ == killAtReport)
                    ::raise(SIGKILL);
            });
            ::_exit(0);
        }
        if (killAtReport < 0) {
            std::this_thread::sleep_for(delay);
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFSIGNALED(status);
    }

    // Which pair the archive opened as: 0 old, 1 new, -1 neither.
    int check(const TempDir& dir, const std::string& what)
    {
        TGTA3Archive archive(dir.file("gta3.img"), false);
        EXPECT_TRUE(archive.Opened && !archive.ReadOnly) << what;
        expectSame(snapshot(archive), m_before);
        EXPECT_TRUE(leftovers(dir).empty()) << what;
        const std::string img = readFile(dir.file("gta3.img"));
        const std::string directory = readFile(dir.file("gta3.dir"));
        if (img == m_oldImg && directory == m_oldDir)
            return 0;
        if (img == m_newImg && directory == m_newDir)
            return 1;
        ADD_FAILURE() << what << ": the archive is neither the old nor the rebuilt one";
        return -1;
    }

    TempDir m_original;
    Snapshot m_before;
    std::string m_oldImg, m_oldDir, m_newImg, m_newDir;
};

TEST_F(RebuildKilled, AtEveryReportOfTheRebuild)
{
    const int reports = static_cast<int>(m_before.names.size()) + 5; // entries, then the five steps
    int sawOld = 0;
    int sawNew = 0;
    for (int at = 0; at < reports; ++at) {
        TempDir dir;
        copyOriginal(dir);
        ASSERT_TRUE(runChild(dir, at, {})) << "report " << at;
        const int pair = check(dir, "killed at report " + std::to_string(at));
        sawOld += pair == 0;
        sawNew += pair == 1;
    }
    EXPECT_GE(reports, 50);
    // Killed before the journal: old; from the journal on: new.
    EXPECT_EQ(sawOld, static_cast<int>(m_before.names.size()) + 1);
    EXPECT_EQ(sawNew, 4);
}

TEST_F(RebuildKilled, AtRandomTimes)
{
    // How long a whole rebuild takes here, to spread the kills over it.
    TempDir timing;
    copyOriginal(timing);
    TGTA3Archive archive(timing.file("gta3.img"), false);
    ArchiveRebuildReport report;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(archive.Rebuild(report), 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);

    std::mt19937 random(20261209);
    // A child also has to start and open the archive first.
    std::uniform_int_distribution<long> spread(0, std::max<long>(1, 3 * static_cast<long>(whole.count())));
    int killed = 0;
    for (int run = 0; run < 30; ++run) {
        TempDir dir;
        copyOriginal(dir);
        const std::chrono::microseconds delay(spread(random));
        killed += runChild(dir, -1, delay);
        check(dir, "killed after " + std::to_string(delay.count()) + " us");
    }
    EXPECT_GT(killed, 0);
}

#endif

} // namespace
