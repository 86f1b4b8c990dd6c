#include "support/file_op.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "support/system_path.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

constexpr uint64_t kEarlier = 130000000000000000ull;
constexpr uint64_t kLater = 130000000100000000ull;

PathObject path(const std::string& text) { return PathObject(CStdStr(text)); }

class FileOpTest : public ::testing::Test {
  protected:
    explicit FileOpTest(const sim::MachineOptions& options = {}) : machine(options) {
        FileOp::pendingRenames().clear();
    }
    ~FileOpTest() override { FileOp::pendingRenames().clear(); }

    // Two files of equal content and time, as an unchanged reinstall finds them.
    void sameFiles(const std::string& source, const std::string& destination) {
        machine.writeFile(source, "same");
        machine.writeFile(destination, "same");
        setLastWriteTime(source, kEarlier);
        setLastWriteTime(destination, kEarlier);
    }

    bool exists(const std::string& windowsPath) const {
        return std::filesystem::exists(machine.host(windowsPath));
    }

    TestMachine machine;
    LogCapture log;
};

void copyFixture(const TestMachine& machine, const std::string& name) {
    const std::filesystem::path from = std::filesystem::path(DADAZADO_PE_FIXTURE_DIR) / name;
    machine.writeFile("C:\\v\\" + name, readHostFile(from));
}

TEST_F(FileOpTest, VersionsCompareFieldByFieldAsNumbers) {
    for (const char* name : {"ver_1_0.dll", "ver_1_0_0.dll", "ver_2_0.dll", "ver_10_0.dll",
                             "ver_1_2_3_4_commas.dll", "no_version.dll"})
        copyFixture(machine, name);
    auto compare = [](const char* a, const char* b) {
        return FileOp::CompareVersion(path(std::string("C:\\v\\") + a),
                                      path(std::string("C:\\v\\") + b));
    };
    EXPECT_EQ(compare("ver_2_0.dll", "ver_10_0.dll"), -1);
    EXPECT_EQ(compare("ver_10_0.dll", "ver_2_0.dll"), 1);
    EXPECT_EQ(compare("ver_1_0_0.dll", "ver_1_0.dll"), 1);
    EXPECT_EQ(compare("ver_1_0.dll", "ver_1_0_0.dll"), -1);
    EXPECT_EQ(compare("no_version.dll", "ver_1_0.dll"), -1);
    EXPECT_EQ(compare("no_version.dll", "no_version.dll"), 0);
    EXPECT_EQ(compare("ver_1_2_3_4_commas.dll", "ver_1_0_0.dll"), 1);
    EXPECT_EQ(FileOp::GetFileVersion(path("C:\\v\\ver_1_2_3_4_commas.dll")), "1. 2. 3. 4");
    EXPECT_EQ(FileOp::GetFileVersion(path("C:\\v\\")), "");
}

TEST_F(FileOpTest, NewerTimeComparesLastWriteAndLogsAMissingFile) {
    machine.writeFile("C:\\t\\old.txt", "o");
    machine.writeFile("C:\\t\\new.txt", "n");
    setLastWriteTime("C:\\t\\old.txt", kEarlier);
    setLastWriteTime("C:\\t\\new.txt", kLater);
    EXPECT_EQ(FileOp::IsNewerTime(path("C:\\t\\new.txt"), path("C:\\t\\old.txt")), 1);
    EXPECT_EQ(FileOp::IsNewerTime(path("C:\\t\\old.txt"), path("C:\\t\\new.txt")), -1);
    EXPECT_EQ(FileOp::IsNewerTime(path("C:\\t\\old.txt"), path("C:\\t\\old.txt")), 0);
    EXPECT_EQ(FileOp::IsNewerTime(path("C:\\t\\new.txt"), path("C:\\t\\gone.txt")), 0);
    EXPECT_TRUE(
        log.contains("FileOp::IsNewerTime: could not get file time for C:\\t\\gone.txt\r\n"));
}

TEST_F(FileOpTest, LockedDestinationThatDoesNotDifferIsKept) {
    sameFiles("C:\\src\\a.dll", "C:\\dst\\a.dll");
    setFileInUse("C:\\dst\\a.dll", 33);
    EXPECT_TRUE(
        FileOp::Copy(path("C:\\src\\a.dll"), path("C:\\dst\\a.dll"), FileOp::InUseOnlyIfDifferent));
    EXPECT_FALSE(log.contains("is in use"));
    EXPECT_TRUE(pendingFileRenames().empty());
    EXPECT_TRUE(tempFilesIn("C:\\dst").empty());
}

TEST_F(FileOpTest, SharingViolationWithoutReplaceInUseFailsAtOnce) {
    machine.writeFile("C:\\src\\a.dll", "new");
    machine.writeFile("C:\\dst\\a.dll", "old");
    setFileInUse("C:\\dst\\a.dll", 32);
    EXPECT_FALSE(FileOp::Copy(path("C:\\src\\a.dll"), path("C:\\dst\\a.dll"), 0));
    EXPECT_TRUE(log.contains("FileOp::Copy: CopyFile failed with code 32\r\n"));
    EXPECT_EQ(machine.readFile("C:\\dst\\a.dll"), "old");
}

TEST_F(FileOpTest, DestinationInUseIsMovedAsideAndItsOldFileDeletedAtRestart) {
    machine.writeFile("C:\\src\\a.dll", "new");
    machine.writeFile("C:\\dst\\a.dll", "old");
    setFileInUse("C:\\dst\\a.dll", 32);
    EXPECT_TRUE(FileOp::Copy(path("C:\\src\\a.dll"), path("C:\\dst\\a.dll"), FileOp::ReplaceInUse));
    EXPECT_EQ(machine.readFile("C:\\dst\\a.dll"), "new");
    const std::vector<std::string> aside = tempFilesIn("C:\\dst");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(machine.readFile("C:\\dst\\" + aside[0]), "old");
    EXPECT_EQ(pendingFileRenames(), (std::vector<std::string>{"\\??\\C:\\dst\\" + aside[0], ""}));
    EXPECT_TRUE(
        log.contains("FileOp::Copy: destination file C:\\dst\\a.dll is in use.  Trying to "
                     "rename it...\r\n"));
}

TEST_F(FileOpTest, DestinationThatCannotBeMovedIsReplacedAtRestart) {
    machine.writeFile("C:\\src\\a.dll", "new");
    machine.writeFile("C:\\dst\\a.dll", "old");
    setFileInUse("C:\\dst\\a.dll", 33);
    sim::registry::writeValue("HKLM\\SOFTWARE\\WinSim\\Faults", "MoveFile|C:\\dst\\a.dll", 4,
                              std::string("\x05\0\0\0", 4));
    EXPECT_TRUE(FileOp::Copy(path("C:\\src\\a.dll"), path("C:\\dst\\a.dll"), 0));
    EXPECT_EQ(machine.readFile("C:\\dst\\a.dll"), "old");
    const std::vector<std::string> staged = tempFilesIn("C:\\dst");
    ASSERT_EQ(staged.size(), 1u);
    EXPECT_EQ(machine.readFile("C:\\dst\\" + staged[0]), "new");
    EXPECT_EQ(pendingFileRenames(),
              (std::vector<std::string>{"\\??\\C:\\dst\\" + staged[0], "\\??\\C:\\dst\\a.dll"}));
    EXPECT_TRUE(
        log.contains("FileOp::Copy: that sucker just won't budge.  Replacing "
                     "C:\\dst\\a.dll with C:\\dst\\" +
                     staged[0] + " after reboot.\r\n"));
    EXPECT_TRUE(
        log.contains("! Reboot Required: To replace locked file. Inside FileOp::Copy.\r\n"));
}

TEST_F(FileOpTest, MakePathCreatesComponentsAndRefusesCommas) {
    platform::setCurrentDirectory("C:\\WINDOWS");
    EXPECT_TRUE(FileOp::MakePath("C:\\a\\b\\c\\"));
    EXPECT_TRUE(FileOp::IsDirectory("C:\\a\\b\\c", false));
    // A root-relative path takes its first directory as given.
    EXPECT_FALSE(FileOp::MakePath("\\rooted\\dir"));
    std::filesystem::create_directories(machine.host("C:\\rooted"));
    EXPECT_TRUE(FileOp::MakePath("\\rooted\\dir\\sub"));
    EXPECT_TRUE(exists("C:\\rooted\\dir\\sub"));

    EXPECT_FALSE(FileOp::MakePath("C:\\x,y\\z"));
    EXPECT_FALSE(exists("C:\\x,y"));
    EXPECT_TRUE(
        log.contains("FileOp::MakePath: Invalid MakePath request with either comma(,) or "
                     "a prefixed period(.) in path\r\n"));

    EXPECT_FALSE(FileOp::MakePath("\\\\server\\share\\dir"));
    EXPECT_TRUE(
        log.contains("FileOp::MakePath: tried to create directory \\\\server\\share\\ but "
                     "failed.  (Error code: 3)\r\n"));
    // A relative path is made below the current directory, however deep.
    EXPECT_TRUE(FileOp::MakePath("rel\\deeper\\deepest\\"));
    EXPECT_TRUE(exists("C:\\WINDOWS\\rel\\deeper\\deepest"));
    EXPECT_EQ(platform::getCurrentDirectory(), "C:\\WINDOWS");
    // A plain file in the way is no directory name at all.
    machine.writeFile("C:\\plain.txt", "x");
    EXPECT_FALSE(FileOp::MakePath("C:\\plain.txt\\sub\\"));
    EXPECT_TRUE(
        log.contains("FileOp::MakePath: could not switch to directory C:\\plain.txt\\ (Error "
                     "code: 123)\r\n"));
    const size_t linesBefore = log.lines().size();
    EXPECT_FALSE(FileOp::MakePath("\\single"));
    EXPECT_EQ(log.lines().size(), linesBefore);
    EXPECT_EQ(platform::getCurrentDirectory(), "C:\\WINDOWS");
    EXPECT_FALSE(FileOp::IsDirectory("", true));
}

TEST_F(FileOpTest, RemoveFileClearsReadOnlyAndFallsBackToRestart) {
    machine.writeFile("C:\\d\\ro.txt", "x");
    platform::setFileAttributes("C:\\d\\ro.txt", platform::kFileAttributeReadOnly);
    EXPECT_TRUE(FileOp::RemoveFile(path("C:\\d\\ro.txt"), 0));
    EXPECT_FALSE(exists("C:\\d\\ro.txt"));

    EXPECT_FALSE(FileOp::RemoveFile(path("C:\\d\\missing.txt"), 0));
    machine.writeFile("C:\\d\\busy.dll", "x");
    setFileInUse("C:\\d\\busy.dll", 32);
    EXPECT_FALSE(FileOp::RemoveFile(path("C:\\d\\busy.dll"), FileOp::NoRebootFallback));
    EXPECT_TRUE(pendingFileRenames().empty());
    EXPECT_TRUE(FileOp::RemoveFile(path("C:\\d\\busy.dll"), 0));
    EXPECT_TRUE(FileOp::RemoveFile(path("C:\\d\\later.dll"), FileOp::RemoveAtReboot));
    EXPECT_EQ(pendingFileRenames(), (std::vector<std::string>{"\\??\\C:\\d\\busy.dll", "",
                                                              "\\??\\C:\\d\\later.dll", ""}));
    EXPECT_TRUE(exists("C:\\d\\busy.dll"));
}

TEST_F(FileOpTest, DirectoriesAreRemovedNowOrAtRestart) {
    machine.writeFile("C:\\full\\f.txt", "x");
    EXPECT_TRUE(deleteDir(path("C:\\gone\\")));          // parent exists: file-not-found
    EXPECT_TRUE(deleteDir(path("C:\\no\\such\\")));      // parent missing: path-not-found
    EXPECT_TRUE(FileOp::Remove(path("C:\\full\\"), 0));  // not empty
    EXPECT_EQ(pendingFileRenames(),
              (std::vector<std::string>{"\\??\\C:\\no\\such\\", "", "\\??\\C:\\full\\", ""}));
    EXPECT_FALSE(FileOp::Remove(PathObject(), 0));
    EXPECT_TRUE(log.contains("FileOp::Remove: nothin' from nothin' leaves nothin'!\r\n"));
}

TEST_F(FileOpTest, WipeOutDirectoryRemovesTheWholeTree) {
    machine.writeFile("C:\\tree\\a.txt", "a");
    machine.writeFile("C:\\tree\\sub\\deeper\\b.txt", "b");
    platform::setFileAttributes("C:\\tree\\sub\\deeper\\b.txt", platform::kFileAttributeReadOnly);
    EXPECT_TRUE(WipeOutDirectory(path("C:\\tree\\")));
    EXPECT_FALSE(exists("C:\\tree"));
    EXPECT_FALSE(WipeOutDirectory(path("C:\\tree\\a.txt")));
    EXPECT_TRUE(log.contains(
        "WipeOutDirectory: the parameter must be a directory!  Passed: C:\\tree\\a.txt\r\n"));
}

TEST_F(FileOpTest, RestartBatchFileKeepsOneDeleteLineAtTheEnd) {
    addToRebootBatFile("C:\\first");
    addToRebootBatFile("C:\\second dir");
    const std::string batch = SystemPath(SystemPath::TEMP_DIR).GetDir() + "\\unsttmp0.bat";
    EXPECT_EQ(machine.readFile(batch),
              "rmdir \"C:\\first\"\r\nrmdir \"C:\\second dir\"\r\ndel \"" + batch + "\"\r\n");
    EXPECT_EQ(sim::registry::readString(
                  "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "QenTmpDelBat"),
              "C:\\WINDOWS\\command.com /C \"" + batch + "\"");
}

class FileOp9xTest : public FileOpTest {
  protected:
    FileOp9xTest() : FileOpTest(sim::MachineOptions{.os = "98"}) {}
};

TEST_F(FileOp9xTest, RefusedRestartMovesEndUpInTheRenameSectionOfWininit) {
    machine.writeFile("C:\\Program Files\\Acme Tools\\old.dll", "x");
    machine.writeFile("C:\\WINDOWS\\WININIT.INI",
                      "[Other]\r\nk=v\r\n[Rename]\r\nNUL=C:\\A.TXT\r\n");
    EXPECT_TRUE(FileOp::replaceOnReboot("C:\\Program Files\\Acme Tools\\old.dll", nullptr));
    EXPECT_TRUE(FileOp::replaceOnReboot("C:\\Program Files\\Acme Tools\\old.dll", nullptr));
    const CStdStr target = "C:\\WINDOWS\\SYSTEM\\new.dll";
    EXPECT_TRUE(FileOp::replaceOnReboot("C:\\WINDOWS\\TEMP\\tmp1.tmp", &target));
    EXPECT_EQ(FileOp::pendingRenames(),
              (std::vector<CStdStr>{"NUL=C:\\PROGRA~1\\ACMETO~1\\old.dll",
                                    "C:\\WINDOWS\\SYSTEM\\new.dll=C:\\WINDOWS\\TEMP\\tmp1.tmp"}));
    EXPECT_TRUE(
        log.contains("! Reboot Required: To replace file on reboot. Inside "
                     "FileOp::replaceOnReboot; wininit.ini change.\r\n"));
    FileOp::writePendingRenames();
    EXPECT_EQ(
        machine.readFile("C:\\WINDOWS\\WININIT.INI"),
        "[Other]\r\nk=v\r\n[Rename]\r\nNUL=C:\\A.TXT\r\nNUL=C:\\PROGRA~1\\ACMETO~1\\old.dll\r\n"
        "C:\\WINDOWS\\SYSTEM\\new.dll=C:\\WINDOWS\\TEMP\\tmp1.tmp\r\n");
    EXPECT_TRUE(FileOp::pendingRenames().empty());
    EXPECT_TRUE(pendingFileRenames().empty());
}

TEST_F(FileOp9xTest, DirectoryThatCannotGoNowGoesToTheRestartBatchFile) {
    machine.writeFile("C:\\full\\f.txt", "x");
    EXPECT_TRUE(deleteDir(path("C:\\full\\")));
    EXPECT_TRUE(FileOp::pendingRenames().empty());
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\TEMP\\unsttmp0.bat"),
              "rmdir \"C:\\full\"\r\ndel \"C:\\WINDOWS\\TEMP\\unsttmp0.bat\"\r\n");
}

// Both lists hold other installers' work: a full disk must cost none of it. [Rename] last is
// appended to, [Rename] before another section makes the file be replaced.
TEST_F(FileOp9xTest, RestartListsKeepOtherInstallersLinesWhenTheDiskIsFull) {
    const std::string batch = "C:\\WINDOWS\\TEMP\\unsttmp0.bat";
    const std::string batchLines = "rmdir \"C:\\theirs\"\r\ndel \"" + batch + "\"\r\n";
    machine.writeFile(batch, batchLines);
    machine.writeFile("C:\\full\\f.txt", "x");
    for (const std::string& wininit : {std::string("[Rename]\r\nNUL=C:\\THEIRS.TXT"),
                                       std::string("[Rename]\r\nNUL=C:\\A\r\n[X]\r\n")}) {
        machine.writeFile("C:\\WINDOWS\\WININIT.INI", wininit);
        sim::registry::writeValue(sim::kFaultsKey, "WriteFile|C:\\WINDOWS\\*", kRegDword,
                                  dword(112));
        FileOp::pendingRenames().push_back("NUL=C:\\OURS.TXT");
        FileOp::writePendingRenames();
        EXPECT_TRUE(deleteDir(path("C:\\full\\")));
        EXPECT_EQ(machine.readFile("C:\\WINDOWS\\WININIT.INI"), wininit);
        EXPECT_EQ(machine.readFile(batch), batchLines);
        EXPECT_TRUE(log.contains("could not write C:\\WINDOWS\\WININIT.INI (error 112)"));
        EXPECT_TRUE(log.contains("file " + batch + " could not be saved!"));

        sim::registry::deleteValue(sim::kFaultsKey, "WriteFile|C:\\WINDOWS\\*");
        FileOp::pendingRenames().assign({"NUL=C:\\OURS.TXT"});
        FileOp::writePendingRenames();
        const std::string expected = wininit.back() == '\n'
                                         ? "[Rename]\r\nNUL=C:\\A\r\nNUL=C:\\OURS.TXT\r\n[X]\r\n"
                                         : wininit + "\r\nNUL=C:\\OURS.TXT\r\n";
        EXPECT_EQ(machine.readFile("C:\\WINDOWS\\WININIT.INI"), expected);
        for (const char* dir : {"C:\\WINDOWS", "C:\\WINDOWS\\TEMP"})
            for (const auto& entry : std::filesystem::directory_iterator(machine.host(dir)))
                EXPECT_NE(entry.path().extension(), ".TMP") << entry.path();
    }
}

}  // namespace
