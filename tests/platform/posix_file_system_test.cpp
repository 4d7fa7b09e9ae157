#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>

#include "core/sweep/data_files.h"
#include "core/sweep/sweeper.h"
#include "platform/posix/posix_file_system.h"
#include "tests/platform/scratch_directory.h"
#include "tests/support/file_system_contract.h"

namespace latchsweep {
namespace {

namespace fs = std::filesystem;

fs::perms permsOf(const fs::path& path) { return fs::status(path).permissions(); }

struct PosixTraits {
    static std::unique_ptr<FileSystem> make() { return std::make_unique<PosixFileSystem>(); }
    static void makeReadOnly(const fs::path& file) { fs::permissions(file, fs::perms(0444)); }
    static bool readOnlyHolds() { return ::geteuid() != 0; } // root passes every permission check
    // A mode no umask gives a new file, execute bits and all.
    static void setByUser(const fs::path& file) { fs::permissions(file, fs::perms(0751)); }
    static bool setByUserHolds(const fs::path& file) { return permsOf(file) == fs::perms(0751); }
    struct Processes {
        ProcessId self = static_cast<ProcessId>(::getpid());
        // The test's parent: as nobody, another user's process, which answers EPERM.
        ProcessId running = static_cast<ProcessId>(::getppid());
        ProcessId ended = endedProcess();
    };
    static ProcessId endedProcess()
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0); // reaped: no process has the id any more
        return static_cast<ProcessId>(child);
    }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemContract, PosixTraits);
INSTANTIATE_TYPED_TEST_SUITE_P(PosixBareNames, FileSystemContract, BareNames<PosixTraits>);

class PosixFiles : public ScratchDirectory {
protected:
    PosixFileSystem files_;
};

TEST_F(PosixFiles, RemovesALinkButNeverItsTarget)
{
    write("target", "keep");
    fs::create_symlink("target", "link");
    EXPECT_TRUE(files_.removeFile("link"));
    EXPECT_FALSE(fs::is_symlink("link"));
    EXPECT_EQ(read("target"), "keep");
}

TEST_F(PosixFiles, NeverRemovesDirectoriesButAnyOtherNameGoes)
{
    fs::create_directory("empty");
    fs::create_directory("full");
    write("full/x", "");
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    EXPECT_FALSE(files_.removeFile("empty"));
    EXPECT_FALSE(files_.removeFile("full"));
    EXPECT_TRUE(fs::is_directory("empty"));
    EXPECT_TRUE(fs::exists("full/x"));
    // A pipe's name is a file's name like any other: the node goes, nothing is read or written.
    EXPECT_TRUE(files_.removeFile("pipe"));
    EXPECT_FALSE(fs::exists("pipe"));
}

TEST_F(PosixFiles, PatternsAreLiteralNames)
{
    write("a.LOCK", "");
    write("b.LOCK", "");
    EXPECT_FALSE(files_.removeFile("*.LOCK"));
    EXPECT_FALSE(files_.removeFile("?.LOCK"));
    EXPECT_TRUE(fs::exists("a.LOCK") && fs::exists("b.LOCK"));
    write("*.LOCK", "");
    EXPECT_TRUE(files_.removeFile("*.LOCK"));
    EXPECT_TRUE(fs::exists("a.LOCK") && fs::exists("b.LOCK"));
}

TEST_F(PosixFiles, RemovesAFileThatIsHeldOpen)
{
    write("MM2.LOCK", "busy");
    std::ifstream held("MM2.LOCK");
    EXPECT_TRUE(files_.removeFile("MM2.LOCK"));
}

TEST_F(PosixFiles, ReadingNeverStallsOnAPipeNorReadsADirectory)
{
    ASSERT_EQ(::mkfifo("Directory.txt", 0600), 0);
    EXPECT_EQ(files_.readHead("Directory.txt", 100), std::nullopt);
    fs::create_directory("dir");
    EXPECT_EQ(files_.readHead("dir", 100), std::nullopt);
}

TEST_F(PosixFiles, AHugeListIsReadOnlyToTheBound)
{
    {
        std::ofstream huge("Directory.txt", std::ios::binary);
        huge.seekp(std::streamoff{512} * 1024 * 1024);
        huge << 'x';
    }
    EXPECT_EQ(readFirstLine(files_, kDirectoryFile), std::nullopt);
}

// Root passes every permission check and may give files away, so some cases only mean
// something as an ordinary user and others only as root; CTest runs this suite as both.
TEST_F(PosixFiles, ANewFileGetsTheModeOfAnOrdinaryCreate)
{
    for (const ::mode_t mask : {022, 077}) {
        const ::mode_t previous = ::umask(mask);
        EXPECT_TRUE(files_.replaceFile("Directory.txt", "x\r\n").ok);
        ::umask(previous);
        EXPECT_EQ(permsOf("Directory.txt"), fs::perms(0666 & ~mask)) << std::oct << mask;
        fs::remove("Directory.txt");
    }
}

TEST_F(PosixFiles, AReadOnlyFileIsRefusedForWhatTheSystemSaysAndKeepsItsMode)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    write("Directory.txt", "old\r\n");
    fs::permissions("Directory.txt", fs::perms(0444));
    EXPECT_EQ(files_.replaceFile("Directory.txt", "new\r\n").reason, std::strerror(EACCES));
    EXPECT_EQ(permsOf("Directory.txt"), fs::perms(0444));
}

TEST_F(PosixFiles, ASaveWritesThroughLinksAndItsTemporaryGoesBesideTheTarget)
{
    fs::create_directory("elsewhere");
    write("elsewhere/real.txt", "1\r\n");
    fs::create_symlink("../elsewhere/real.txt", "elsewhere/hop"); // relative to the link's own directory
    for (const char* first : {"elsewhere/real.txt", "elsewhere/hop"}) {
        fs::create_symlink(first, "AutoDelete.txt");
        ASSERT_TRUE(files_.replaceFile("AutoDelete.txt", std::string(first) + "\r\n").ok);
        EXPECT_EQ(read("elsewhere/real.txt"), std::string(first) + "\r\n");
        EXPECT_EQ(fs::read_symlink("AutoDelete.txt"), first);
        EXPECT_EQ(std::distance(fs::directory_iterator("elsewhere"), fs::directory_iterator{}), 2);
        fs::remove("AutoDelete.txt");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);
}

TEST_F(PosixFiles, ASaveAsRootKeepsTheOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file away";
    write("Directory.txt", "old\r\n");
    ASSERT_EQ(::chown("Directory.txt", 65534, 65534), 0);
    ASSERT_TRUE(files_.replaceFile("Directory.txt", "new\r\n").ok);
    struct stat info {};
    ASSERT_EQ(::stat("Directory.txt", &info), 0);
    EXPECT_EQ(std::pair(info.st_uid, info.st_gid), std::pair(65534u, 65534u));
}

TEST_F(PosixFiles, ListsSubdirectoriesIncludingLinkedOnes)
{
    fs::create_directory("Games");
    fs::create_directory("Tools");
    write("file.txt", "");
    fs::create_directory_symlink("Games", "Linked");
    fs::create_symlink("file.txt", "filelink");
    auto names = files_.subdirectories(dir_.string());
    ASSERT_TRUE(names);
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{"Games", "Linked", "Tools"}));
    EXPECT_EQ(files_.subdirectories((dir_ / "file.txt").string()), std::nullopt);
    EXPECT_EQ(files_.currentDirectory(), fs::current_path().string());
}

TEST_F(PosixFiles, TheSweepDeletesTheNamedLockFileOnly)
{
    fs::create_directory("MM2");
    write("MM2/MM2.LOCK", "");
    write("MM2/other", "");
    write("Directory.txt", (dir_ / "MM2" / "MM2.LOCK").string() + "\r\n");
    EXPECT_TRUE(sweepOnce(files_));
    EXPECT_FALSE(fs::exists("MM2/MM2.LOCK"));
    EXPECT_TRUE(fs::exists("MM2/other"));
    write("Directory.txt", "MM2\r\n"); // a directory is never deleted
    EXPECT_FALSE(sweepOnce(files_));
    EXPECT_TRUE(fs::is_directory("MM2"));
}

} // namespace
} // namespace latchsweep
