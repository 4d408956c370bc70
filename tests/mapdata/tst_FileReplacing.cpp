#include "FileIO.h"
#include "SystemFiles.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <chrono>
#include <thread>
#include <windows.h>
#else
#include <atomic>
#include <csignal>
#include <functional>
#include <thread>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
namespace sys = systemfiles;

namespace {

std::vector<std::string> namesIn(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(sys::utf8FromPath(entry.path().filename()));
    return names;
}

std::string readLinesOf(const std::string& path, int* error = nullptr)
{
    std::string text;
    const int result = readLines(path, [&](std::string_view line) { text.append(line).append("|"); });
    if (error)
        *error = result;
    return text;
}

// Folder and file names in UTF-8 with blanks and letters outside every single code page.
TEST(FileReplacing, NamesWithBlanksAndNonAsciiLettersWork)
{
    TempDir dir;
    const std::string folder = sys::utf8FromPath(dir.path() / sys::pathFromUtf8("Spiele Ordner \xC3\x84 \xC3\xB8 \xE6\x9D\xB1"));
    fs::create_directory(sys::pathFromUtf8(folder));
    const std::string file = folder + "/st\xC3\xA4" "dt.ipl";
    ASSERT_EQ(replaceFileContents(file, "inst\r\nend\r\n"), 0);
    ASSERT_EQ(replaceFileContents(file, "inst\r\n1, a\r\nend\r\n"), 0);
    EXPECT_EQ(readLinesOf(file), "inst|1, a|end|");
    EXPECT_EQ(namesIn(sys::pathFromUtf8(folder)), std::vector<std::string>{"st\xC3\xA4" "dt.ipl"});
}

TEST(FileReplacing, AGoodSaveTakesAwayWhatOldKilledSavesLeft)
{
    // Leftovers of saves killed part way, one of them still young (a save of another
    // program may be writing it), and names that only look alike.
    TempDir dir;
    const fs::path target = dir.path() / "town.ipl";
    const auto age = [](const fs::path& file, std::chrono::minutes minutes) {
        fs::last_write_time(file, fs::file_time_type::clock::now() - minutes);
    };
    const std::vector<std::pair<std::string, int>> Files = {
        {"town.ipl.quoxsave-a1B2c3", 60},  {"town.ipl.quoxsave-zzzzzz", 11}, {"town.ipl.quoxsave-young1", 1},
        {"other.ipl.quoxsave-a1B2c3", 60}, {"town.ipl.quoxsave-toolong", 60}, {"town.ipl.quoxsave-", 60},
    };
    for (const auto& [name, minutes] : Files) {
        writeFile(sys::utf8FromPath(dir.path() / name), "half a save");
        age(dir.path() / name, std::chrono::minutes(minutes));
    }
    ASSERT_EQ(replaceFileContents(sys::utf8FromPath(target), "inst\r\nend\r\n"), 0);
    std::vector<std::string> names = namesIn(dir.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"other.ipl.quoxsave-a1B2c3", "town.ipl", "town.ipl.quoxsave-",
                                               "town.ipl.quoxsave-toolong", "town.ipl.quoxsave-young1"}));
}

// A file is read in pieces sized by its length: every size around the pieces' bounds reads
// the same lines as the whole text, and the whole text back byte for byte.
TEST(FileReading, FilesOfEverySizeAroundThePiecesReadWhole)
{
    TempDir dir;
    std::mt19937 random(11);
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4095}, std::size_t{4096},
                                   std::size_t{4097}, std::size_t{262143}, std::size_t{262144},
                                   std::size_t{262145}, std::size_t{700001}}) {
        std::string text = size >= 3 ? std::string(ByteOrderMark) : std::string();
        std::uniform_int_distribution<int> lineLength(0, 300);
        std::uniform_int_distribution<int> ending(0, 2);
        while (text.size() < size) {
            text += std::string(static_cast<std::size_t>(lineLength(random)), 'a' + static_cast<char>(text.size() % 26));
            text += ending(random) == 0 ? "\r\n" : "\n";
        }
        text.resize(size);
        const std::string file = dir.file("size" + std::to_string(size) + ".ipl");
        writeFile(file, text);

        std::string expected;
        forEachLine(text, [&](std::string_view line) { expected.append(line).append("|"); });
        EXPECT_EQ(readLinesOf(file), expected) << size << " bytes";
        std::string whole = "kept";
        ASSERT_EQ(appendFileContents(file, whole), 0) << size << " bytes";
        EXPECT_TRUE(whole == "kept" + text) << size << " bytes";
    }
}

TEST(FileReplacing, ReadingAFolderIsRefusedAsAFolder)
{
    TempDir dir;
    int error = 0;
    readLinesOf(dir.path().string(), &error);
    EXPECT_EQ(error, EISDIR);
}

#ifndef _WIN32

std::atomic<int> signalsTaken{0};

// A signal whose handler does not ask for restarted calls interrupts a read or write that
// waits, as a terminal's resize or a child's end does in the editor. A pipe makes both wait:
// the read until the other end writes, the write until the other end reads.
// A named pipe has no length: it is read in the smallest pieces, and lines that cross them
// come whole.
TEST(FileReading, APipeWithoutALengthReadsEveryLine)
{
    TempDir dir;
    const std::string fifo = dir.file("stream.ipl");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string text;
    for (int line = 0; text.size() < 100000; ++line)
        text += std::string(static_cast<std::size_t>(line * 37 % 500), 'p') + "\r\n";
    std::thread writer([&] { writeFile(fifo, text); });
    std::string expected;
    forEachLine(text, [&](std::string_view line) { expected.append(line).append("|"); });
    EXPECT_EQ(readLinesOf(fifo), expected);
    writer.join();
}

TEST(FileReplacing, ASignalDuringAWaitingReadOrWriteIsNoFailure)
{
    struct sigaction taken = {};
    taken.sa_handler = [](int) { ++signalsTaken; };
    sigemptyset(&taken.sa_mask);
    taken.sa_flags = 0; // no SA_RESTART: the waiting call returns EINTR
    struct sigaction previous = {};
    ASSERT_EQ(sigaction(SIGUSR1, &taken, &previous), 0);

    int ends[2] = {-1, -1};
    ASSERT_EQ(::pipe(ends), 0);
    const pthread_t waiter = pthread_self();
    const auto interruptThen = [&](const std::function<void()>& last) {
        return std::thread([&, last] {
            for (int n = 0; n < 3; ++n) {
                std::this_thread::sleep_for(std::chrono::milliseconds(40));
                pthread_kill(waiter, SIGUSR1);
            }
            last();
        });
    };

    signalsTaken = 0;
    char got[4] = {};
    std::thread writer = interruptThen([&] { EXPECT_EQ(::write(ends[1], "late", 4), 4); });
    EXPECT_EQ(sys::readNext(ends[0], got, sizeof got), 4);
    writer.join();
    EXPECT_EQ(std::string(got, 4), "late");
    EXPECT_GE(signalsTaken.load(), 1);

    // The pipe filled up, then emptied by the other end after the signals.
    const std::string full(1 << 20, 'x');
    signalsTaken = 0;
    std::thread reader = interruptThen([&] {
        std::vector<char> drained(full.size());
        for (std::size_t done = 0; done < full.size();) {
            const ssize_t n = ::read(ends[0], drained.data(), drained.size());
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
    });
    std::size_t written = 0;
    while (written < full.size()) {
        const std::int64_t n = sys::writeNext(ends[1], full.data() + written, full.size() - written);
        ASSERT_GT(n, 0) << "errno " << errno;
        written += static_cast<std::size_t>(n);
    }
    reader.join();
    EXPECT_GE(signalsTaken.load(), 1);

    ::close(ends[0]);
    ::close(ends[1]);
    sigaction(SIGUSR1, &previous, nullptr);
}

#endif

#ifdef _WIN32

// Another program that holds the file open without letting it be deleted (as most do)
// keeps Windows from replacing it.
HANDLE holdWithoutDeleteSharing(const std::string& path)
{
    return CreateFileW(sys::pathFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(FileReplacingOnWindows, AFileHeldByAnotherProgramStaysWholeAndTheSaveFails)
{
    TempDir dir;
    const std::string file = dir.file("town.ipl");
    writeFile(file, "old");
    const HANDLE held = holdWithoutDeleteSharing(file);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(replaceFileContents(file, "new"), EACCES);
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"town.ipl"}) << "the temporary file is removed";
    CloseHandle(held);
    EXPECT_EQ(replaceFileContents(file, "new"), 0);
    EXPECT_EQ(readFile(file), "new");
}

// A virus scanner or indexer lets go after a moment; the replace waits for that.
TEST(FileReplacingOnWindows, AFileHeldForAMomentIsReplacedOnceLetGo)
{
    TempDir dir;
    const std::string file = dir.file("town.ipl");
    writeFile(file, "old");
    const HANDLE held = holdWithoutDeleteSharing(file);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread scanner([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        CloseHandle(held);
    });
    EXPECT_EQ(replaceFileContents(file, "new"), 0);
    scanner.join();
    EXPECT_EQ(readFile(file), "new");
}

TEST(FileReplacingOnWindows, AReadOnlyFileIsNotReplaced)
{
    TempDir dir;
    const std::string file = dir.file("town.ipl");
    writeFile(file, "old");
    ASSERT_TRUE(SetFileAttributesW(sys::pathFromUtf8(file).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(replaceFileContents(file, "new"), EACCES);
    EXPECT_EQ(readFile(file), "old");
    SetFileAttributesW(sys::pathFromUtf8(file).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FileReplacingOnWindows, DriveLettersAndBothSeparatorsWork)
{
    TempDir dir;
    std::string file = dir.file("maps") + "/town.ipl";
    fs::create_directory(dir.file("maps"));
    ASSERT_EQ(file[1], ':') << "a path with a drive letter";
    ASSERT_EQ(replaceFileContents(file, "a\r\nb\r\n"), 0);
    for (char& c : file)
        c = c == '/' ? '\\' : c;
    EXPECT_EQ(readLinesOf(file), "a|b|");
}

#endif

} // namespace
