#include "FileSizeLimit.h"
#include "ImgWriter.h"
#include "TGTA3Archive.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <streambuf>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::string patterned(std::size_t size, int seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(seed) * 31 + 1) % 251);
    return bytes;
}

// An archive of `count` entries "entryN.dff", each N+1 sectors long, under dir/gta3.img.
std::string writeNumberedArchive(const TempDir& dir, int count)
{
    std::vector<ImgWriterEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({"entry" + std::to_string(i) + ".dff", bytesOf(patterned(2048 * (i + 1) - 5, i))});
    const std::string img = dir.file("gta3.img");
    EXPECT_EQ(writeImgArchive(img, entries), 0);
    return img;
}

std::string record(const std::string& dirBytes, int index)
{
    return dirBytes.substr(static_cast<std::size_t>(index) * 32, 32);
}

std::string extracted(const TGTA3Archive& archive, int index, int* error = nullptr)
{
    std::ostringstream out;
    const int result = archive.ExtractEntry(index, out);
    if (error)
        *error = result;
    return out.str();
}


// A source that gives some bytes and then fails as a broken disk or pipe would.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::string bytes) : m_bytes(std::move(bytes))
    {
        setg(m_bytes.data(), m_bytes.data(), m_bytes.data() + m_bytes.size());
    }

protected:
    int_type underflow() override { throw std::ios_base::failure("read error"); }

private:
    std::string m_bytes;
};

TEST(TImgEntry, TrimmedNameStopsAtTheFirstZeroWithinTheFieldAndTrims)
{
    const struct {
        std::string field;
        std::string trimmed;
    } cases[] = {
        {"abcdefghijklmnopqrstuvwx", "abcdefghijklmnopqrstuvwx"}, // all 24 used, no zero
        {std::string("lamp.dff\0junk.txd", 17), "lamp.dff"},
        {"  \tlamp.dff\x01\x7f", "lamp.dff"},
        {"", ""},
    };
    for (const auto& c : cases) {
        TImgEntry entry;
        std::memcpy(entry.Name, c.field.data(), std::min<std::size_t>(24, c.field.size()));
        EXPECT_EQ(entry.TrimmedName(), c.trimmed) << c.field;
    }
}

TEST(TGTA3ArchiveOpening, DirectoryLengthGivesTheRecordCountAndAShortTailIsIgnored)
{
    TempDir dir;
    writeFile(dir.file("a.img"), std::string(4096, 'x'));
    const struct {
        std::size_t dirLength;
        int entries;
    } cases[] = {{0, 0}, {31, 0}, {32, 1}, {33, 1}, {64 * 1024 + 40, 2049}};
    for (const auto& c : cases) {
        writeFile(dir.file("a.dir"), std::string(c.dirLength, '\x01'));
        TGTA3Archive archive(dir.file("a.img"), false);
        EXPECT_TRUE(archive.Opened);
        EXPECT_FALSE(archive.ReadOnly);
        ASSERT_EQ(archive.EntryCount(), c.entries) << c.dirLength;
        if (c.entries > 0) {
            const TImgEntry last = archive.GetEntry(c.entries - 1);
            EXPECT_EQ(last.Index, c.entries - 1);
            EXPECT_EQ(last.Offset, 0x01010101u);
            EXPECT_FALSE(last.Deleted);
        }
    }
}

TEST(TGTA3ArchiveOpening, ReadsRecordsAndFindsNamesWithoutRegardToCase)
{
    TempDir dir;
    const std::string img = dir.file("gta3.img");
    ASSERT_EQ(writeImgArchive(img,
                              {{"Lamp.DFF", bytesOf("lamp")},
                               {"abcdefghijklmnopqrstu.txd", bytesOf(patterned(5000, 1))},
                               {"same.txd", bytesOf("first")},
                               {"SAME.TXD", bytesOf("second")}},
                              3),
              0);
    TGTA3Archive archive(img, false);
    ASSERT_EQ(archive.EntryCount(), 4);
    EXPECT_EQ(archive.GetEntry(0).Offset, 3u);
    EXPECT_EQ(archive.GetEntry(1).Offset, 4u);
    EXPECT_EQ(archive.GetEntry(1).Size, 3u);
    EXPECT_EQ(archive.GetEntry(1).TrimmedName(), "abcdefghijklmnopqrstu.tx");

    // The same answers from the sorted index and from the scan used without it.
    for (const bool withIndex : {true, false}) {
        if (withIndex)
            archive.BuildNameIndex();
        else
            archive.FreeNameIndex();
        EXPECT_EQ(archive.FindEntry("LAMP.dff"), 0);
        EXPECT_EQ(archive.FindEntry("ABCDEFGHIJKLMNOPQRSTU.TX"), 1);
        EXPECT_EQ(archive.FindEntry("same.txd"), 2) << "the first of equal names in directory order";
        EXPECT_EQ(archive.FindEntry("lamp"), -1);
        EXPECT_EQ(archive.FindEntry(""), -1);
    }
}

TEST(TGTA3ArchiveOpening, FindsTheDirectoryFileInAnyLetterCase)
{
    TempDir dir;
    ASSERT_EQ(writeImgArchive(dir.file("gta3.img"), {{"a.dff", bytesOf("a")}}), 0);
    fs::rename(dir.file("gta3.img"), dir.file("GTA3.IMG"));
    TGTA3Archive archive(dir.file("GTA3.IMG"), false);
    EXPECT_TRUE(archive.Opened);
    EXPECT_EQ(archive.EntryCount(), 1);
}

TEST(TGTA3ArchiveOpening, CreateNewEmptiesBothFiles)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 3);
    {
        TGTA3Archive archive(img, true);
        EXPECT_TRUE(archive.Opened);
        EXPECT_EQ(archive.EntryCount(), 0);
    }
    EXPECT_EQ(fs::file_size(img), 0u);
    EXPECT_EQ(fs::file_size(dir.file("gta3.dir")), 0u);
}

TEST(TGTA3ArchiveOpening, ASecondInstanceGetsTheFilesReadOnlyUntilTheFirstCloses)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 2);
    const std::string dirBefore = readFile(dir.file("gta3.dir"));
    auto first = std::make_unique<TGTA3Archive>(img, false);
    ASSERT_TRUE(first->Opened);
    EXPECT_FALSE(first->ReadOnly);
    {
        // CreateNew must not empty files another instance holds.
        TGTA3Archive second(img, true);
        EXPECT_TRUE(second.Opened);
        EXPECT_TRUE(second.ReadOnly);
        EXPECT_EQ(second.EntryCount(), 2);
        std::istringstream source("data");
        EXPECT_EQ(second.AddFile("new.dff", source), EROFS);
        second.MarkDeleted(0);
        EXPECT_EQ(second.CommitDeletions(), EROFS);
        EXPECT_EQ(second.EntryCount(), 2);
    }
    EXPECT_EQ(readFile(dir.file("gta3.dir")), dirBefore);
    first.reset();
    TGTA3Archive third(img, false);
    EXPECT_FALSE(third.ReadOnly);
}

TEST(TGTA3ArchiveOpening, AnUnopenableArchiveReportsWhyAndLeavesTheFlagsAlone)
{
    {
        TempDir dir;
        writeFile(dir.file("gta3.img"), std::string(2048, 'x')); // no directory beside it
        GameSettingsScope keep("", true);
        programSettings().LoadModels = true;
        programSettings().LoadTextures = true;
        programSettings().SkipTextures = true;

        TGTA3Archive archive(dir.file("gta3.img"), false);
        EXPECT_FALSE(archive.Opened);
        EXPECT_EQ(archive.openError(), ENOENT);
        EXPECT_EQ(archive.EntryCount(), 0);
        EXPECT_TRUE(programSettings().LoadTextures) << "the caller decides what an unopened archive means";
        EXPECT_TRUE(programSettings().LoadModels);

        std::istringstream source("data");
        EXPECT_EQ(archive.AddFile("a.dff", source), EBADF);
        EXPECT_EQ(archive.CommitDeletions(), EBADF);
        EXPECT_EQ(archive.FindEntry("a.dff"), -1);
        EXPECT_EQ(extracted(archive, 0), "");
    }
}

TEST(TGTA3ArchiveAdd, PadsToWholeSectorsAndExtractsThemWithTheFiller)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 2); // 3 sectors
    const std::string data = patterned(2049, 9);
    std::vector<std::string> changed;
    TGTA3Archive archive(img, false);
    archive.EntryChanged = [&](std::string_view name) { changed.emplace_back(name); };

    std::istringstream source(data);
    ASSERT_EQ(archive.AddFile("new.txd", source), 0);
    EXPECT_EQ(fs::file_size(img), 3 * 2048u + 4096u);
    ASSERT_EQ(archive.EntryCount(), 3);
    const TImgEntry entry = archive.GetEntry(2);
    EXPECT_EQ(entry.Offset, 3u);
    EXPECT_EQ(entry.Size, 2u);
    EXPECT_EQ(entry.Index, 2);
    EXPECT_EQ(archive.FindEntry("NEW.TXD"), 2);
    EXPECT_EQ(changed, std::vector<std::string>{"new.txd"});

    int error = -1;
    const std::string out = extracted(archive, 2, &error);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(out, data + std::string(4096 - 2049, '\0'));
    const auto viaSource = readSourceBytes(archive.ImgSource(), entry.Offset * 2048ull, data.size());
    EXPECT_EQ(std::string(viaSource.begin(), viaSource.end()), data);

    // What was written is what the next opening reads.
    const std::string dirBytes = readFile(dir.file("gta3.dir"));
    ASSERT_EQ(dirBytes.size(), 3 * 32u);
    EXPECT_EQ(record(dirBytes, 2), std::string("\x03\0\0\0\x02\0\0\0new.txd", 15) + std::string(17, '\0'));
}

TEST(TGTA3ArchiveAdd, EmptyFilesLongNamesAndDuplicates)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 1);
    {
        TGTA3Archive archive(img, false);
        std::istringstream empty("");
        ASSERT_EQ(archive.AddFile("empty.dff", empty), 0);
        EXPECT_EQ(fs::file_size(img), 2048u);
        EXPECT_EQ(archive.GetEntry(1).Offset, 1u);
        EXPECT_EQ(archive.GetEntry(1).Size, 0u);
        EXPECT_EQ(extracted(archive, 1), "");

        std::istringstream one("x");
        ASSERT_EQ(archive.AddFile("abcdefghijklmnopqrstuvwxyz1234", one), 0);
        std::istringstream again("y");
        ASSERT_EQ(archive.AddFile("EMPTY.DFF", again), 0);
    }
    TGTA3Archive reopened(img, false);
    ASSERT_EQ(reopened.EntryCount(), 4);
    EXPECT_EQ(reopened.GetEntry(2).TrimmedName(), "abcdefghijklmnopqrstuvwx");
    EXPECT_EQ(std::string(reopened.GetEntry(2).Name, 24), "abcdefghijklmnopqrstuvwx");
    EXPECT_EQ(reopened.GetEntry(3).TrimmedName(), "EMPTY.DFF");
    EXPECT_EQ(reopened.FindEntry("empty.dff"), 1) << "both entries kept; the first is found";
}

TEST(TGTA3ArchiveAdd, ADataFileEndingInsideASectorGetsThatSectorCompleted)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 1);
    writeFile(img, readFile(img) + "tail"); // 2052 bytes
    TGTA3Archive archive(img, false);
    std::istringstream source("model");
    ASSERT_EQ(archive.AddFile("m.dff", source), 0);
    EXPECT_EQ(archive.GetEntry(1).Offset, 2u);
    EXPECT_EQ(fs::file_size(img), 3 * 2048u);
    EXPECT_EQ(extracted(archive, 1).substr(0, 5), "model");
}

TEST(TGTA3ArchiveAdd, AFailedAddLeavesBothFilesAndTheEntriesAsTheyWere)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 3); // 6 sectors
    const std::string imgBefore = readFile(img);
    const std::string dirBefore = readFile(dir.file("gta3.dir"));
    TGTA3Archive archive(img, false);
    int changes = 0;
    archive.EntryChanged = [&](std::string_view) { ++changes; };

#ifndef _WIN32
    {
        // Room for one more sector only; the file needs three.
        FileSizeLimit limit(imgBefore.size() + 2048);
        ASSERT_TRUE(limit.active());
        std::istringstream big(patterned(5000, 4));
        EXPECT_EQ(archive.AddFile("big.dff", big), EFBIG);
    }
#endif
    {
        FailingBuffer buffer(patterned(3000, 5));
        std::istream broken(&buffer);
        EXPECT_EQ(archive.AddFile("broken.dff", broken), EIO);
    }
    EXPECT_EQ(readFile(img), imgBefore);
    EXPECT_EQ(readFile(dir.file("gta3.dir")), dirBefore);
    EXPECT_EQ(archive.EntryCount(), 3);
    EXPECT_EQ(archive.FindEntry("big.dff"), -1);
    EXPECT_EQ(changes, 0);

    std::istringstream fine("fine");
    ASSERT_EQ(archive.AddFile("fine.dff", fine), 0);
    EXPECT_EQ(archive.GetEntry(3).Offset, 6u) << "the failed adds left no space behind";
}

TEST(TGTA3ArchiveDelete, RemovesMarkedEntriesAndKeepsTheOtherRecordsByteForByte)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 8);
    const std::string imgBefore = readFile(img);
    const std::string dirBefore = readFile(dir.file("gta3.dir"));
    TGTA3Archive archive(img, false);
    std::vector<std::string> changed;
    archive.EntryChanged = [&](std::string_view name) { changed.emplace_back(name); };

    archive.MarkDeleted(2);
    archive.MarkDeleted(5);
    EXPECT_EQ(archive.FindEntry("entry2.dff"), 2) << "marked entries are found until committed";
    ASSERT_EQ(archive.CommitDeletions(), 0);

    const std::string dirAfter = readFile(dir.file("gta3.dir"));
    ASSERT_EQ(dirAfter.size(), 6 * 32u);
    const int keptFrom[] = {0, 1, 3, 4, 6, 7};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(record(dirAfter, i), record(dirBefore, keptFrom[i]));
        EXPECT_EQ(archive.GetEntry(i).Index, i);
    }
    EXPECT_EQ(readFile(img), imgBefore);
    EXPECT_EQ(archive.FindEntry("entry5.dff"), -1);
    EXPECT_EQ(archive.FindEntry("entry6.dff"), 4);
    EXPECT_EQ(changed, (std::vector<std::string>{"entry5.dff", "entry2.dff"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
        << "no temporary file is left";

    // The replaced directory is written to and locked again, not the old one.
    std::istringstream source("more");
    ASSERT_EQ(archive.AddFile("more.dff", source), 0);
    EXPECT_EQ(record(readFile(dir.file("gta3.dir")), 6).substr(8, 8), "more.dff");
    TGTA3Archive second(img, false);
    EXPECT_TRUE(second.ReadOnly);
    EXPECT_EQ(second.EntryCount(), 7);
}

TEST(TGTA3ArchiveDelete, DeletingEveryEntryLeavesAnEmptyDirectory)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 3);
    const auto imgLength = fs::file_size(img);
    TGTA3Archive archive(img, false);
    for (int i = 0; i < 3; ++i)
        archive.MarkDeleted(i);
    ASSERT_EQ(archive.CommitDeletions(), 0);
    EXPECT_EQ(archive.EntryCount(), 0);
    EXPECT_EQ(fs::file_size(dir.file("gta3.dir")), 0u);
    EXPECT_EQ(fs::file_size(img), imgLength);
}

#ifndef _WIN32
TEST(TGTA3ArchiveDelete, AFailedCommitLeavesTheOldDirectoryWholeAndTheMarksInPlace)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 8);
    const std::string dirBefore = readFile(dir.file("gta3.dir"));
    TGTA3Archive archive(img, false);
    int changes = 0;
    archive.EntryChanged = [&](std::string_view) { ++changes; };
    archive.MarkDeleted(0);
    {
        FileSizeLimit limit(100); // the new directory needs 224 bytes
        ASSERT_TRUE(limit.active());
        EXPECT_EQ(archive.CommitDeletions(), EFBIG);
    }
    EXPECT_EQ(readFile(dir.file("gta3.dir")), dirBefore);
    EXPECT_EQ(archive.EntryCount(), 8);
    EXPECT_TRUE(archive.GetEntry(0).Deleted);
    EXPECT_EQ(changes, 0);

    ASSERT_EQ(archive.CommitDeletions(), 0);
    EXPECT_EQ(readFile(dir.file("gta3.dir")), dirBefore.substr(32));
}
#else
// Windows replaces no file that another program holds open without sharing its deletion:
// the commit fails, and the archive keeps its directory, its marks and its lock.
TEST(TGTA3ArchiveDelete, AFailedCommitLeavesTheOldDirectoryWholeAndTheMarksInPlace)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 8);
    const std::string dirBefore = readFile(dir.file("gta3.dir"));
    TGTA3Archive archive(img, false);
    int changes = 0;
    archive.EntryChanged = [&](std::string_view) { ++changes; };
    archive.MarkDeleted(0);
    const HANDLE reader = CreateFileW(fs::path(dir.file("gta3.dir")).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(archive.CommitDeletions(), EACCES);
    CloseHandle(reader);
    EXPECT_EQ(readFile(dir.file("gta3.dir")), dirBefore);
    EXPECT_EQ(archive.EntryCount(), 8);
    EXPECT_TRUE(archive.GetEntry(0).Deleted);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(archive.ReadOnly);
    {
        TGTA3Archive second(img, false);
        EXPECT_TRUE(second.ReadOnly) << "the lock was taken again";
    }

    ASSERT_EQ(archive.CommitDeletions(), 0);
    EXPECT_EQ(readFile(dir.file("gta3.dir")), dirBefore.substr(32));
}
#endif

TEST(TGTA3ArchiveReplace, ReplacesTheEntriesOfTheNameOrLeavesBothFilesAsTheyWere)
{
    TempDir dir;
    const std::string img = writeNumberedArchive(dir, 3);
    TGTA3Archive archive(img, false);
    std::istringstream first(patterned(100, 9));
    ASSERT_EQ(archive.ReplaceEntry("ENTRY1.DFF", first), 0);
    ASSERT_EQ(archive.EntryCount(), 3);
    EXPECT_EQ(archive.GetEntry(2).TrimmedName(), "ENTRY1.DFF");
    EXPECT_EQ(extracted(archive, archive.FindEntry("entry1.dff")).substr(0, 100), patterned(100, 9));

#ifndef _WIN32
    // The directory cannot be replaced (its folder has become a file): the new entry's
    // data and record are taken off again and the old entry stays the one found.
    TempDir other;
    const fs::path folder = other.path() / "game";
    fs::create_directories(folder);
    ASSERT_EQ(writeImgArchive((folder / "gta3.img").string(),
                              {{"a.txd", bytesOf(patterned(50, 1))}, {"b.dff", bytesOf(patterned(10, 2))}}),
              0);
    TGTA3Archive moving((folder / "gta3.img").string(), false);
    moving.MarkDeleted(1); // a deletion the user has not committed yet
    fs::rename(folder, other.path() / "away");
    writeFile((other.path() / "game").string(), "a file where the folder was");
    std::istringstream second(patterned(3000, 4));
    EXPECT_EQ(moving.ReplaceEntry("a.txd", second), ENOTDIR);
    EXPECT_EQ(moving.EntryCount(), 2);
    EXPECT_FALSE(moving.GetEntry(0).Deleted);
    EXPECT_TRUE(moving.GetEntry(1).Deleted) << "the earlier mark was lost";
    EXPECT_EQ(extracted(moving, moving.FindEntry("a.txd")).substr(0, 50), patterned(50, 1));
    EXPECT_EQ(fs::file_size(other.path() / "away" / "gta3.img"), 2 * 2048u);
    EXPECT_EQ(fs::file_size(other.path() / "away" / "gta3.dir"), 64u);
#endif
}

TEST(TGTA3ArchiveExtract, AnEntryReachingPastTheDataFileIsAReadError)
{
    TempDir dir;
    writeFile(dir.file("a.img"), std::string(2048, 'x'));
    std::string records;
    const auto addRecord = [&](std::uint32_t offset, std::uint32_t size, std::string name) {
        for (const std::uint32_t value : {offset, size})
            for (int i = 0; i < 4; ++i)
                records += static_cast<char>(value >> (8 * i));
        name.resize(24, '\0');
        records += name;
    };
    addRecord(0, 2, "short.dff");
    addRecord(0xFFFFFFFFu, 0xFFFFFFFFu, "huge.dff");
    addRecord(1, 0, "empty.dff");
    writeFile(dir.file("a.dir"), records);

    TGTA3Archive archive(dir.file("a.img"), false);
    ASSERT_EQ(archive.EntryCount(), 3);
    int error = 0;
    extracted(archive, 0, &error);
    EXPECT_EQ(error, EIO);
    extracted(archive, 1, &error);
    EXPECT_EQ(error, EIO);
    EXPECT_EQ(extracted(archive, 2, &error), "");
    EXPECT_EQ(error, 0);

    std::string written;
    EXPECT_EQ(archive.ExtractEntryToFolder(0, dir.file("out"), written), ENOENT) << "the folder is not created";
    fs::create_directory(dir.file("out"));
    EXPECT_EQ(archive.ExtractEntryToFolder(0, dir.file("out"), written), EIO);
    EXPECT_TRUE(fs::is_empty(dir.file("out"))) << "no partial file is left";
}

TEST(TGTA3ArchiveExtract, EntryNamesBecomeFileNamesInsideTheFolder)
{
    const struct {
        std::string name;
        std::string file;
    } cases[] = {
        {"lamp.dff", "lamp.dff"},
        {"../../evil.txd", "evil.txd"},
        {"..\\..\\win.txd", "win.txd"},
        {"/etc/passwd", "passwd"},
        {"models/", "entry0"},
        {"..", "entry0"},
        {".", "entry0"},
        {"", "entry0"},
        {"a:b*c?.dff", "a_b_c_.dff"},
        {"x/ \x01y.dff", "y.dff"},
        {"tab\there.dff", "tab_here.dff"},
    };
    TempDir dir;
    fs::create_directory(dir.file("out"));
    fs::create_directory(dir.file("a"));
    for (const auto& c : cases) {
        ASSERT_EQ(writeImgArchive(dir.file("a/a.img"), {{c.name, bytesOf("data")}}), 0);
        TGTA3Archive archive(dir.file("a/a.img"), false);
        std::string written;
        ASSERT_EQ(archive.ExtractEntryToFolder(0, dir.file("out"), written), 0) << c.name;
        EXPECT_EQ(written, (fs::path(dir.file("out")) / c.file).string()) << c.name;
        EXPECT_EQ(readFile(written), "data" + std::string(2044, '\0'));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
        << "nothing was written beside the output folder";
}

} // namespace

// The same archive laid out by hand, opened from files and from memory: the same entries,
// the same extracted bytes and errors, the same directory after deletions.
TEST(TGTA3ArchiveInMemory, AnswersAsTheSameArchiveOnDiskAndTouchesNoFile)
{
    std::string directory;
    const auto addRecord = [&directory](std::uint32_t offset, std::uint32_t size, std::string_view name) {
        char bytes[32] = {};
        for (int i = 0; i < 4; ++i) {
            bytes[i] = static_cast<char>(offset >> (8 * i));
            bytes[4 + i] = static_cast<char>(size >> (8 * i));
        }
        std::memcpy(bytes + 8, name.data(), std::min<std::size_t>(name.size(), 24));
        directory.append(bytes, 32);
    };
    addRecord(0, 1, "a.dff");
    addRecord(1, 2, "B.TXD");
    addRecord(2, 2, "past.dff"); // one sector past the data's end
    addRecord(3, 0, "empty.dff");
    addRecord(1, 1, "abcdefghijklmnopqrstuvwx"); // all 24 name bytes used
    directory += "tail"; // not a record
    const std::string data = patterned(3 * 2048, 5);

    TempDir dir;
    writeFile(dir.file("gta3.img"), data);
    writeFile(dir.file("gta3.dir"), directory);
    TGTA3Archive onDisk(dir.file("gta3.img"), false);
    TGTA3Archive inMemory(bytesOf(directory), bytesOf(data));
    ASSERT_TRUE(inMemory.Opened);
    EXPECT_FALSE(inMemory.ReadOnly);
    ASSERT_EQ(inMemory.EntryCount(), 5);
    ASSERT_EQ(onDisk.EntryCount(), 5);
    for (int i = 0; i < 5; ++i) {
        const TImgEntry a = onDisk.GetEntry(i);
        const TImgEntry b = inMemory.GetEntry(i);
        EXPECT_EQ(a.TrimmedName(), b.TrimmedName());
        EXPECT_EQ(a.Offset, b.Offset);
        EXPECT_EQ(a.Size, b.Size);
        int diskError = 0;
        int memoryError = 0;
        EXPECT_EQ(extracted(onDisk, i, &diskError), extracted(inMemory, i, &memoryError)) << i;
        EXPECT_EQ(diskError, memoryError) << i;
    }
    EXPECT_EQ(extracted(inMemory, 1), data.substr(2048, 4096));
    int pastError = 0;
    EXPECT_EQ(extracted(inMemory, 2, &pastError), "");
    EXPECT_EQ(pastError, EIO);
    EXPECT_EQ(inMemory.FindEntry("b.txd"), 1);
    EXPECT_EQ(inMemory.FindEntry("ABCDEFGHIJKLMNOPQRSTUVWX"), 4);
    EXPECT_EQ(readSourceBytes(inMemory.ImgSource(), 2048, 10), bytesOf(data.substr(2048, 10)));

    // Nothing to commit: the directory stays as it was, its tail included.
    EXPECT_EQ(inMemory.CommitDeletions(), 0);
    EXPECT_EQ(inMemory.directoryBytes(), bytesOf(directory));
    for (TGTA3Archive* archive : {&onDisk, &inMemory}) {
        archive->MarkDeleted(0);
        archive->MarkDeleted(3);
        ASSERT_EQ(archive->CommitDeletions(), 0);
        EXPECT_EQ(archive->EntryCount(), 3);
        EXPECT_EQ(archive->FindEntry("past.dff"), 1);
    }
    EXPECT_EQ(inMemory.directoryBytes(), bytesOf(readFile(dir.file("gta3.dir"))));
    EXPECT_TRUE(onDisk.directoryBytes().empty());

    std::istringstream source("more");
    EXPECT_EQ(inMemory.AddFile("more.dff", source), EROFS);
    ArchiveRebuildReport report;
    EXPECT_EQ(inMemory.Rebuild(report), EROFS);
    EXPECT_EQ(inMemory.EntryCount(), 3);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}
