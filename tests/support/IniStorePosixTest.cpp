// The IniStore and atomic replace behaviours that only POSIX systems have: permission bits,
// the umask, symbolic links and /dev/full.
#include "support/IniStore.h"

#include "TempDir.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessel {
namespace {
using testing::readFile;
using testing::filesIn;
using testing::TempDir;
using testing::writeFile;
namespace fs = std::filesystem;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(IniStore, WritesGoThroughASymlinkToItsTargetAndKeepThePermissions) {
    TempDir dir;
    fs::create_directory(dir / "real");
    writeFile(dir / "real/t.ini", "[A]\nx=1\n");
    ::chmod((dir / "real/t.ini").c_str(), 0640);
    fs::create_symlink("real/t.ini", dir / "link.ini");
    IniStore store(dir / "link.ini");
    EXPECT_TRUE(store.writeInteger("A", "x", 2));
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(readFile(dir / "real/t.ini"), "[A]\nx=2\n");
    EXPECT_EQ(modeOf(dir / "real/t.ini"), 0640u);
    EXPECT_EQ(filesIn(dir / "real"), 1u);
}

TEST(IniStore, ANewFileGetsTheUsualPermissions) {
    TempDir dir;
    const mode_t old = ::umask(022);
    IniStore store(dir / "t.ini");
    store.writeBoolean("A", "b", true);
    ::umask(old);
    EXPECT_EQ(modeOf(dir / "t.ini"), 0644u);
    EXPECT_EQ(readFile(dir / "t.ini"), "[A]\nb=1\n");
}

TEST(AtomicFile, AWriteToAFullDiskLeavesTheOldFileWhole) {
    TempDir dir;
    writeFile(dir / "t.ini", "[A]\nx=1\n");
    // The new bytes go to /dev/full, which fails like a disk that has filled up.
    auto toFullDisk = [](int, std::string_view bytes) {
        const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        const bool ok = full >= 0 && writeAll(full, bytes);
        if (full >= 0) ::close(full);
        return ok;
    };
    EXPECT_FALSE(replaceFileAtomically(dir / "t.ini", "[A]\nx=2\n", toFullDisk));
    EXPECT_EQ(readFile(dir / "t.ini"), "[A]\nx=1\n");
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(AtomicFile, FollowsChainsOfLinksAndDanglingOnes) {
    TempDir dir;
    fs::create_symlink("b", dir / "a");
    fs::create_symlink(dir / "c", dir / "b");
    EXPECT_EQ(followSymlinks(dir / "a"), dir / "c");
    EXPECT_TRUE(replaceFileAtomically(dir / "a", "new"));
    EXPECT_EQ(readFile(dir / "c"), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "a"));
    EXPECT_EQ(readWholeFile(dir / "missing"), std::string());
}

} // namespace
} // namespace tessel
