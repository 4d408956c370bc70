// Every operation that writes a file the user cares about, run in a child process that is
// killed at random instants, and run under a file-size limit that stands in for a full disk.
// After a kill the files are the old or the new version, never a mixture, and the archive's
// every entry reads back; after a full disk the operation reports EFBIG, the old files are
// whole and the process goes on (it saves again once there is room).

#include "GameList.h"
#include "TGTA3Archive.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The sanitizer build runs every change several times slower; fewer kills there still spread
// over the whole change, and the normal build tries the full hundred.
#ifdef __SANITIZE_ADDRESS__
constexpr int Kills = 40;
#else
constexpr int Kills = 100;
#endif
// Far below every new version the operations write, far above nothing.
constexpr rlim_t FullDiskLimit = 16 * 1024;

// File name (relative to the operation's folder) to contents.
using Files = std::map<std::string, std::string>;
// An archive's entries as read back: name and bytes, in directory order.
using Entries = std::vector<std::pair<std::string, std::string>>;

struct Operation {
    std::string name;
    Files old;                  // written before every run
    std::vector<std::string> compared; // files that must equal the old or the new version whole
    bool archive = false;       // gta3.img/gta3.dir: also every entry read back
    // The change, done in the child. `ready` is called once the change is about to start
    // (data loaded, archive open): the kill instants are measured from there.
    std::function<int(const fs::path& folder, const std::function<void()>& ready)> change;
};

// Test names and failure messages show the operation by its name.
void PrintTo(const Operation& operation, std::ostream* out)
{
    *out << operation.name;
}

std::string mapText(const char* model, int count)
{
    std::string text = "# placements\r\ninst\r\n";
    char line[160];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "%d, %s%d, 0, %d.5, %d.25, %d, 1, 1, 1, 0, 0, 0, 1\r\n", 1000 + i % 500, model,
                      i, i % 977, -i % 313, i % 41);
        text += line;
    }
    return text + "end\r\n";
}

std::vector<std::string> datLines(const char* keyword, const char* folder, int count)
{
    std::vector<std::string> lines = {"# the map files"};
    for (int i = 0; i < count; ++i)
        lines.push_back(std::string(keyword) + " DATA\\" + folder + "\\AREA" + std::to_string(i) + "." + keyword);
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// An archive of `count` entries sharing 64 sectors: entry i holds sector i % 64, whose
// bytes are all i % 64.
Files archiveFiles(int count)
{
    std::string img;
    for (int sector = 0; sector < 64; ++sector)
        img.append(2048, static_cast<char>(sector));
    std::string dir;
    for (int i = 0; i < count; ++i) {
        char record[32] = {};
        const std::uint32_t offset = static_cast<std::uint32_t>(i % 64);
        std::memcpy(record, &offset, 4); // the test runs on little-endian machines, as the files are
        record[4] = 1;
        std::snprintf(record + 8, 24, "entry%05d.dff", i);
        dir.append(record, 32);
    }
    return {{"gta3.img", img}, {"gta3.dir", dir}};
}

Entries entriesOf(const fs::path& folder)
{
    TGTA3Archive archive((folder / "gta3.img").string(), false);
    Entries entries;
    if (!archive.Opened)
        return entries;
    for (int i = 0; i < archive.EntryCount(); ++i) {
        std::ostringstream bytes;
        const int error = archive.ExtractEntry(i, bytes);
        entries.emplace_back(archive.GetEntry(i).TrimmedName(), error == 0 ? bytes.str() : "unreadable");
    }
    return entries;
}

std::vector<Operation> operations()
{
    std::vector<Operation> all;

    // Read once here; every child saves its own copy.
    auto newMap = std::make_shared<TIPLFile>();
    newMap->ReadText(mapText("newhouse", 6000));
    all.push_back({"MapFile", {{"town.ipl", mapText("oldhouse", 5000)}}, {"town.ipl"}, false,
                   [newMap](const fs::path& folder, const std::function<void()>& ready) {
                       newMap->FileName = (folder / "town.ipl").string();
                       ready();
                       return newMap->Save();
                   }});

    all.push_back({"DatFile", {{"data/gta_vc.dat", joinLines(datLines("IPL", "MAPS", 8000))}}, {"data/gta_vc.dat"},
                   false, [](const fs::path& folder, const std::function<void()>& ready) {
                       TGTAFileList list(folder.string() + "/", true);
                       list.DatLines = datLines("IDE", "OBJECTS", 10000);
                       ready();
                       return list.SaveDat();
                   }});

    std::vector<std::string> oldGames, newGames;
    for (int i = 0; i < 8000; ++i) {
        oldGames.push_back(commaText({"/games/old/vc" + std::to_string(i) + "/", "Vice City " + std::to_string(i)}));
        newGames.push_back(commaText({"/games/new/gta3 " + std::to_string(i) + "/", "GTA 3, copy " + std::to_string(i)}));
    }
    all.push_back({"GamesTxt", {{"GAMES.TXT", joinLines(oldGames)}}, {"GAMES.TXT"}, false,
                   [newGames](const fs::path& folder, const std::function<void()>& ready) {
                       ready();
                       return writeGameList((folder / "GAMES.TXT").string(), newGames);
                   }});

    all.push_back({"ArchiveDeletions", archiveFiles(2000), {"gta3.dir"}, true,
                   [](const fs::path& folder, const std::function<void()>& ready) {
                       TGTA3Archive archive((folder / "gta3.img").string(), false);
                       if (!archive.Opened || archive.ReadOnly)
                           return EBADF;
                       for (int i = 1; i < archive.EntryCount(); i += 2)
                           archive.MarkDeleted(i);
                       ready();
                       return archive.CommitDeletions();
                   }});

    std::string added(2 * 1024 * 1024 + 100, '\0');
    for (std::size_t i = 0; i < added.size(); ++i)
        added[i] = static_cast<char>(i * 7 + i / 4096);
    all.push_back({"ArchiveAdd", archiveFiles(2000), {"gta3.dir"}, true,
                   [added](const fs::path& folder, const std::function<void()>& ready) {
                       TGTA3Archive archive((folder / "gta3.img").string(), false);
                       if (!archive.Opened || archive.ReadOnly)
                           return EBADF;
                       std::istringstream source(added);
                       ready();
                       return archive.AddFile("added.dff", source);
                   }});
    return all;
}

void writeFiles(const fs::path& folder, const Files& files)
{
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    for (const auto& [name, bytes] : files)
        writeFile((folder / name).string(), bytes);
}

Files readFiles(const fs::path& folder, const std::vector<std::string>& names)
{
    Files files;
    for (const std::string& name : names)
        files[name] = readFile((folder / name).string());
    return files;
}

// The old version of the files compared whole.
Files oldCompared(const Operation& operation)
{
    Files old;
    for (const std::string& name : operation.compared)
        old[name] = operation.old.at(name);
    return old;
}

// What is in the folder besides the operation's own files (temporary files of a save).
std::vector<std::string> strayFiles(const fs::path& folder, const Files& expected)
{
    std::vector<std::string> stray;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        if (entry.is_regular_file() && !expected.count(name))
            stray.push_back(name);
    }
    return stray;
}

bool writeAll(int fd, const void* data, std::size_t size)
{
    return ::write(fd, data, size) == static_cast<ssize_t>(size);
}

// A forked child running `body`, which reports to the parent through a pipe.
class Child {
public:
    explicit Child(const std::function<void(int reportFd)>& body)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            body(fds[1]);
            ::_exit(0);
        }
        ::close(fds[1]);
        m_fd = fds[0];
    }
    ~Child()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return m_pid > 0; }
    bool read(void* into, std::size_t size) { return ::read(m_fd, into, size) == static_cast<ssize_t>(size); }
    void kill() { ::kill(m_pid, SIGKILL); }
    int wait()
    {
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        return status;
    }

private:
    pid_t m_pid = -1;
    int m_fd = -1;
};

class HostileSaving : public testing::TestWithParam<Operation> {
protected:
    void SetUp() override
    {
        // A memory file system where there is one: a kill only loses what the process had not
        // handed to the system yet, which is the same there, and each run takes milliseconds
        // instead of a disk flush.
        std::error_code error;
        if (fs::is_directory("/dev/shm", error)) {
            std::string pattern = "/dev/shm/quoxtest-XXXXXX";
            if (::mkdtemp(pattern.data()) != nullptr)
                memoryFolder = pattern;
        }
        folder = (memoryFolder.empty() ? tempDir.path() : memoryFolder) / "game";
        writeFiles(folder, GetParam().old);
        if (GetParam().archive)
            oldEntries = entriesOf(folder);
    }

    void TearDown() override
    {
        std::error_code ignored;
        if (!memoryFolder.empty())
            fs::remove_all(memoryFolder, ignored);
    }

    TempDir tempDir;
    fs::path memoryFolder;
    fs::path folder;
    Entries oldEntries;
};

std::string operationName(const testing::TestParamInfo<Operation>& info)
{
    return info.param.name;
}

TEST_P(HostileSaving, KilledAtAnyInstantLeavesTheOldOrTheNewVersion)
{
    const Operation& operation = GetParam();
    // The child reports when the change starts and, should it live so long, how long it took
    // (measured there: the parent may not be scheduled when the child finishes).
    const auto runChange = [&](int reportFd) {
        const char ready = 'r';
        std::chrono::steady_clock::time_point start;
        operation.change(folder, [&] {
            writeAll(reportFd, &ready, 1);
            start = std::chrono::steady_clock::now();
        });
        const std::int64_t took =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
        writeAll(reportFd, &took, sizeof took);
    };

    // One run to its end gives the new version and how long the change takes.
    Files newFiles;
    Entries newEntries;
    std::int64_t duration = 0;
    {
        Child child(runChange);
        ASSERT_TRUE(child.started());
        char ready = 0;
        ASSERT_TRUE(child.read(&ready, 1));
        ASSERT_TRUE(child.read(&duration, sizeof duration));
        const int status = child.wait();
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        newFiles = readFiles(folder, operation.compared);
        ASSERT_NE(newFiles, oldCompared(operation)) << "the change changed nothing";
        if (operation.archive)
            newEntries = entriesOf(folder);
    }

    // Instants spread over the change and past its end, the same on every run.
    std::mt19937 random(20261209);
    std::uniform_int_distribution<std::int64_t> instant(0, duration * 3 / 2);
    int sawOld = 0, sawNew = 0, leftTemporary = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        writeFiles(folder, operation.old);
        Child child(runChange);
        ASSERT_TRUE(child.started());
        char ready = 0;
        ASSERT_TRUE(child.read(&ready, 1));
        std::this_thread::sleep_for(std::chrono::microseconds(instant(random)));
        child.kill();
        child.wait();

        const Files now = readFiles(folder, operation.compared);
        const bool isOld = now == oldCompared(operation);
        const bool isNew = now == newFiles;
        ASSERT_TRUE(isOld || isNew) << "kill " << kill << " left a mixture of the old and the new version";
        if (operation.archive) {
            ASSERT_EQ(entriesOf(folder), isNew ? newEntries : oldEntries) << "kill " << kill;
        }
        sawOld += isOld ? 1 : 0;
        sawNew += isNew ? 1 : 0;
        leftTemporary += strayFiles(folder, operation.old).empty() ? 0 : 1;
    }
    std::printf("%s: change of %lld us, %d kills left the old version, %d the new; %d left a temporary file\n",
                operation.name.c_str(), static_cast<long long>(duration), sawOld, sawNew, leftTemporary);
}

// What the child of a full-disk run reports.
struct FullDiskReport {
    int error = -1;        // of the change under the limit
    int oldIntact = 0;     // the files were the old version after it
    int stray = 0;         // files left beside them
    int retried = -1;      // of the same change once the limit was lifted
};

TEST_P(HostileSaving, OnAFullDiskFailsClearlyKeepsTheOldVersionAndGoesOn)
{
    const Operation& operation = GetParam();
    const fs::path dir = folder;
    Child child([&](int reportFd) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t unlimited = limit.rlim_cur;
        limit.rlim_cur = FullDiskLimit;
        ::setrlimit(RLIMIT_FSIZE, &limit);

        FullDiskReport report;
        report.error = operation.change(dir, [] {});
        report.oldIntact = readFiles(dir, operation.compared) == oldCompared(operation) &&
                           (!operation.archive || readFile((dir / "gta3.img").string()) == operation.old.at("gta3.img"));
        report.stray = static_cast<int>(strayFiles(dir, operation.old).size());

        limit.rlim_cur = unlimited;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        report.retried = operation.change(dir, [] {});
        writeAll(reportFd, &report, sizeof report);
    });
    ASSERT_TRUE(child.started());
    FullDiskReport report;
    ASSERT_TRUE(child.read(&report, sizeof report));
    const int status = child.wait();
    ASSERT_TRUE(WIFEXITED(status)) << "the process did not survive the full disk";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(report.error, EFBIG);
    EXPECT_TRUE(report.oldIntact);
    EXPECT_EQ(report.stray, 0);
    EXPECT_EQ(report.retried, 0);
    if (operation.archive) {
        // The archive opened again reads every entry, the new ones included.
        const Entries entries = entriesOf(folder);
        EXPECT_GE(entries.size(), 1u);
        for (const auto& [name, bytes] : entries)
            EXPECT_NE(bytes, "unreadable") << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, HostileSaving, testing::ValuesIn(operations()), operationName);

} // namespace
