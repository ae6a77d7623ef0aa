#include "support/IniStore.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tessel {
namespace {
using testing::readFile;
using testing::withSystemLineEnds;
using testing::filesIn;
using testing::TempDir;
using testing::writeFile;
namespace fs = std::filesystem;

TEST(IniStore, ReadsDefaultsWhenTheFileIsMissing) {
    TempDir dir;
    IniStore store(dir / "Tessel.INI");
    EXPECT_TRUE(store.writable()) << "a missing file counts as writable";
    EXPECT_FALSE(store.hasKey("Configuration", "COM Port"));
    EXPECT_EQ(store.readInteger("Configuration", "COM Port", 0), 0);
    EXPECT_EQ(store.readText("Configuration", "HexPath", "."), ".");
    EXPECT_FALSE(store.readBoolean("Configuration", "LogMessages", false));
    EXPECT_EQ(store.readReal("Configuration", "X", 5280.0), 5280.0);
    EXPECT_FALSE(fs::exists(dir / "Tessel.INI")) << "reading creates nothing";

    EXPECT_TRUE(store.writeInteger("Configuration", "COM Port", 3));
    EXPECT_EQ(readFile(dir / "Tessel.INI"), withSystemLineEnds("[Configuration]\nCOM Port=3\n"));
}

TEST(IniStore, TypedReadsFallBackToTheDefaultForEntriesOfAnotherType) {
    TempDir dir;
    writeFile(dir / "t.ini",
              "[S]\nint=0x10\nbad=3 ; bench\nflag=2\nzero=0\nword=yes\nreal=0.1\nlong=" +
                  std::string(3000, 'a') + "\n");
    IniStore store(dir / "t.ini");
    EXPECT_EQ(store.readInteger("s", "INT", 0), 16);
    EXPECT_EQ(store.readInteger("s", "bad", 9), 9);
    EXPECT_TRUE(store.readBoolean("s", "flag", false));
    EXPECT_FALSE(store.readBoolean("s", "zero", true));
    EXPECT_TRUE(store.readBoolean("s", "word", true)) << "not an integer: the default";
    EXPECT_FALSE(store.readBoolean("s", "word", false));
    EXPECT_DOUBLE_EQ(store.readReal("s", "real", 0), 0.1);
    EXPECT_EQ(store.readReal("s", "word", 2.5), 2.5);
    EXPECT_EQ(store.readText("s", "long", "").size(), IniStore::kMaxTextLength);
}

TEST(IniStore, WritesKeepEverythingElseAndSeeHandEditsMadeMeanwhile) {
    TempDir dir;
    const std::string original = "; bench PC\r\n[Configuration]\r\nCOM Port = 1\r\n\r\n[Other]\r\nk=v\r\n";
    writeFile(dir / "t.ini", original);
    IniStore store(dir / "t.ini");
    store.writeInteger("Configuration", "COM Port", 2);
    // A technician adds a key while the program runs; the next write keeps it.
    writeFile(dir / "t.ini", readFile(dir / "t.ini") + "added=1\r\n");
    store.writeText("FileSpecs", "HexPath", "/srv/fw/");
    EXPECT_EQ(readFile(dir / "t.ini"),
              "; bench PC\r\n[Configuration]\r\nCOM Port = 2\r\n\r\n[Other]\r\nk=v\r\nadded=1\r\n"
              "\r\n[FileSpecs]\r\nHexPath=/srv/fw/\r\n");
    EXPECT_EQ(filesIn(dir.path()), 1u) << "no temporary file left behind";
}

TEST(IniStore, AFileWithoutWritePermissionBitsIsNeverWrittenEvenByRoot) {
    TempDir dir;
    writeFile(dir / "t.ini", "[A]\nx=1\n");
    fs::permissions(dir / "t.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    IniStore store(dir / "t.ini");
    EXPECT_FALSE(store.writable());
    EXPECT_EQ(store.readInteger("A", "x", 0), 1);
    EXPECT_FALSE(store.writeInteger("A", "x", 2));
    EXPECT_EQ(readFile(dir / "t.ini"), "[A]\nx=1\n");

    fs::permissions(dir / "t.ini", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(store.open(dir / "t.ini"));
    EXPECT_TRUE(store.writable()) << "decided afresh when the file is opened";
}

TEST(IniStore, TheFirstFailedWriteStopsEveryLaterWrite) {
    TempDir dir;
    writeFile(dir / "t.ini", "[A]\nx=1\n");
    int attempts = 0;
    bool failing = true;
    IniStore store(dir / "t.ini", [&](const std::string& path, std::string_view bytes) {
        ++attempts;
        return !failing && replaceFileAtomically(path, bytes);
    });
    EXPECT_FALSE(store.writeInteger("A", "x", 2));
    EXPECT_FALSE(store.writable());
    failing = false; // the medium has become writable again
    EXPECT_FALSE(store.writeInteger("A", "y", 3));
    EXPECT_FALSE(store.writeText("A", "z", "t"));
    EXPECT_EQ(attempts, 1);
    EXPECT_EQ(readFile(dir / "t.ini"), "[A]\nx=1\n");
}

TEST(IniStore, AFolderThatCannotBeWrittenFailsTheWriteAndLaterWritesAreNotTried) {
    TempDir dir;
    writeFile(dir / "blocker", "a regular file, not a folder");
    const auto path = dir / "blocker/Tessel.INI";
    IniStore store(path);
    EXPECT_TRUE(store.writable());
    EXPECT_FALSE(store.writeInteger("Configuration", "COM Port", 1));
    fs::remove(dir / "blocker");
    fs::create_directory(dir / "blocker");
    EXPECT_FALSE(store.writeInteger("Configuration", "COM Port", 2));
    EXPECT_FALSE(fs::exists(path));
}

TEST(IniStore, AnExistingFileThatCannotBeReadIsNotReplaced) {
    TempDir dir;
    fs::create_directory(dir / "t.ini"); // exists, but reading it fails
    IniStore store(dir / "t.ini");
    EXPECT_FALSE(store.writeInteger("A", "x", 1));
    EXPECT_TRUE(fs::is_directory(dir / "t.ini"));
}

TEST(AtomicFile, AFullDiskInTheMiddleOfAWriteLeavesTheOldFileWhole) {
    TempDir dir;
    writeFile(dir / "t.ini", "[A]\nx=1\n");
    // A disk that fills up after half of the bytes.
    auto halfThenFull = [](int fd, std::string_view bytes) {
        writeAll(fd, bytes.substr(0, bytes.size() / 2));
        return false;
    };
    EXPECT_FALSE(replaceFileAtomically(dir / "t.ini", "[A]\nx=2\n", halfThenFull));
    EXPECT_EQ(readFile(dir / "t.ini"), "[A]\nx=1\n");
    EXPECT_EQ(filesIn(dir.path()), 1u);

    IniStore store(dir / "t.ini", [&](const std::string& path, std::string_view bytes) {
        return replaceFileAtomically(path, bytes, halfThenFull);
    });
    EXPECT_FALSE(store.writeInteger("A", "x", 3));
    EXPECT_EQ(readFile(dir / "t.ini"), "[A]\nx=1\n");
}

} // namespace
} // namespace tessel
