#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/files_in_use.h"
#include "platform/sim/registry_store.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace reg = sim::registry;
namespace fs = std::filesystem;
using namespace platform;

namespace {

const char* kSessionManager = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// The strings of PendingFileRenameOperations, empty ones included; a value that does not end
// in the list's closing NUL gives a marker that fails any comparison.
std::vector<std::string> pendingRenames() {
    uint32_t type = 0;
    std::string data;
    if (!reg::readValue(kSessionManager, "PendingFileRenameOperations", &type, &data)) return {};
    if (type != kRegMultiSz || data.size() < 2 ||
        data.substr(data.size() - 2) != std::string(2, '\0'))
        return {"<not a closed REG_MULTI_SZ>"};
    std::vector<std::string> strings;
    std::string current;
    for (size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] != '\0') {
            current += data[i];
            continue;
        }
        strings.push_back(current);
        current.clear();
    }
    return strings;
}

bool failsWith(bool result, uint32_t code) { return !result && getLastError() == code; }

}  // namespace

TEST(SimCopyFile, CopiesContentTimeAndReadOnlyAndRefusesAsWindowsDoes) {
    TestMachine machine;
    machine.writeFile("C:\\src\\a.dll", "new");
    FileTimes old{0, 0, 130000000000000000ull};  // 2012
    ASSERT_TRUE(setFileTimes("C:\\src\\a.dll", old));
    ASSERT_TRUE(setFileAttributes("C:\\src\\a.dll", kFileAttributeReadOnly));

    ASSERT_TRUE(copyFile("c:\\SRC\\A.DLL", "C:\\src\\copy.dll", true));
    EXPECT_EQ(machine.readFile("C:\\src\\copy.dll"), "new");
    FileTimes copied;
    ASSERT_TRUE(getFileTimes("C:\\src\\copy.dll", &copied));
    EXPECT_EQ(copied.lastWrite, old.lastWrite);
    EXPECT_EQ(getFileAttributes("C:\\src\\copy.dll") & kFileAttributeReadOnly,
              kFileAttributeReadOnly);

    EXPECT_TRUE(failsWith(copyFile("C:\\src\\a.dll", "C:\\src\\copy.dll", false),
                          error::kAccessDenied));  // the read-only copy
    EXPECT_TRUE(
        failsWith(copyFile("C:\\src\\a.dll", "C:\\src\\copy.dll", true), error::kFileExists));
    EXPECT_TRUE(failsWith(copyFile("C:\\src\\none", "C:\\x", false), error::kFileNotFound));
    EXPECT_TRUE(failsWith(copyFile("C:\\none\\a", "C:\\x", false), error::kPathNotFound));
    EXPECT_TRUE(failsWith(copyFile("C:\\src", "C:\\x", false), error::kAccessDenied));
    EXPECT_TRUE(
        failsWith(copyFile("C:\\src\\a.dll", "C:\\none\\a.dll", false), error::kPathNotFound));
    EXPECT_TRUE(failsWith(copyFile("C:\\src\\a.dll", "C:\\src", false), error::kAccessDenied));
    EXPECT_TRUE(failsWith(copyFile("C:\\src\\a.dll", "", false), error::kPathNotFound));
}

TEST(SimCopyFile, ReplacesAWritableTargetButNeverItselfOrAHeldOne) {
    TestMachine machine;
    machine.writeFile("C:\\d\\new.dll", "new");
    machine.writeFile("C:\\d\\old.dll", "old");
    machine.writeFile("C:\\d\\held.dll", "held");
    setFileInUse("c:\\D\\HELD.DLL", error::kLockViolation);
    EXPECT_TRUE(copyFile("C:\\d\\new.dll", "C:\\d\\old.dll", false));
    EXPECT_EQ(machine.readFile("C:\\d\\old.dll"), "new");
    EXPECT_TRUE(
        failsWith(copyFile("C:\\d\\new.dll", "c:\\d\\NEW.dll", false), error::kSharingViolation));
    EXPECT_EQ(machine.readFile("C:\\d\\new.dll"), "new");
    EXPECT_TRUE(
        failsWith(copyFile("C:\\d\\new.dll", "C:\\d\\held.dll", false), error::kLockViolation));
    EXPECT_EQ(machine.readFile("C:\\d\\held.dll"), "held");
    // A held file can still be read.
    EXPECT_TRUE(copyFile("C:\\d\\held.dll", "C:\\d\\held_copy.dll", true));
}

TEST(SimMoveFile, RenamesFilesAndDirectoriesAndCarriesTheInUseEntry) {
    TestMachine machine;
    machine.writeFile("C:\\d\\lib.dll", "lib");
    machine.writeFile("C:\\d\\other.dll", "other");
    machine.writeFile("C:\\tree\\sub\\f.txt", "f");
    setFileInUse("C:\\d\\lib.dll", error::kSharingViolation);

    ASSERT_TRUE(moveFile("C:\\d\\lib.dll", "C:\\d\\lib.old"));
    EXPECT_EQ(machine.readFile("C:\\d\\lib.old"), "lib");
    EXPECT_EQ(sim::heldFileRefusal("C:\\d\\lib.dll", sim::FileAccess::Write), 0u);
    EXPECT_EQ(sim::heldFileRefusal("c:\\d\\LIB.OLD", sim::FileAccess::Write),
              error::kSharingViolation);

    EXPECT_TRUE(failsWith(moveFile("C:\\d\\other.dll", "C:\\d\\lib.old"), error::kAlreadyExists));
    EXPECT_TRUE(failsWith(moveFile("C:\\d\\gone", "C:\\d\\x"), error::kFileNotFound));
    EXPECT_TRUE(failsWith(moveFile("C:\\gone\\x", "C:\\d\\x"), error::kPathNotFound));
    EXPECT_TRUE(failsWith(moveFile("C:\\", "C:\\root"), error::kAccessDenied));

    ASSERT_TRUE(moveFile("C:\\tree", "C:\\moved"));
    EXPECT_EQ(machine.readFile("C:\\moved\\sub\\f.txt"), "f");
    // A change of case only is a rename, not a clash with the file itself.
    ASSERT_TRUE(moveFile("C:\\d\\other.dll", "C:\\d\\OTHER.DLL"));
    EXPECT_TRUE(fs::exists(machine.dir() / "drive_c" / "d" / "OTHER.DLL"));
    EXPECT_FALSE(fs::exists(machine.dir() / "drive_c" / "d" / "other.dll"));
}

TEST(SimMoveFileEx, ReplacesOnlyWhatMayBeReplaced) {
    TestMachine machine;
    machine.writeFile("C:\\d\\new.dll", "new");
    machine.writeFile("C:\\d\\old.dll", "old");
    machine.writeFile("C:\\d\\held.dll", "held");
    machine.writeFile("C:\\d\\ro.dll", "ro");
    fs::create_directories(machine.dir() / "drive_c" / "d" / "sub");
    setFileInUse("C:\\d\\held.dll", error::kSharingViolation);
    ASSERT_TRUE(setFileAttributes("C:\\d\\ro.dll", kFileAttributeReadOnly));
    const std::string held = "C:\\d\\held.dll", ro = "C:\\d\\ro.dll", sub = "C:\\d\\sub",
                      old = "C:\\d\\old.dll";

    EXPECT_TRUE(failsWith(moveFileEx("C:\\d\\new.dll", &old, 0), error::kAlreadyExists));
    EXPECT_TRUE(failsWith(moveFileEx("C:\\d\\new.dll", &held, kMoveFileReplaceExisting),
                          error::kSharingViolation));
    EXPECT_TRUE(failsWith(moveFileEx("C:\\d\\new.dll", &ro, kMoveFileReplaceExisting),
                          error::kAccessDenied));
    EXPECT_TRUE(failsWith(moveFileEx("C:\\d\\new.dll", &sub, kMoveFileReplaceExisting),
                          error::kAccessDenied));
    EXPECT_TRUE(failsWith(moveFileEx("C:\\d\\new.dll", nullptr, 0), error::kInvalidParameter));
    EXPECT_EQ(machine.readFile(held), "held");
    ASSERT_TRUE(moveFileEx("C:\\d\\new.dll", &old, kMoveFileReplaceExisting));
    EXPECT_EQ(machine.readFile(old), "new");
    EXPECT_FALSE(fs::exists(machine.host("C:\\d\\new.dll")));
}

TEST(SimMoveFileEx, OtherDrivesNeedCopyAllowedAndNeverTakeADirectory) {
    TestMachine machine;
    fs::create_directories(machine.dir() / "drive_d");
    machine.writeFile("C:\\d\\f.txt", "f");
    fs::create_directories(machine.dir() / "drive_c" / "dir");
    const std::string target = "D:\\f.txt";
    EXPECT_TRUE(failsWith(moveFileEx("C:\\d\\f.txt", &target, 0), 17u));
    EXPECT_TRUE(failsWith(moveFile("C:\\dir", "D:\\dir"), 17u));
    ASSERT_TRUE(moveFileEx("C:\\d\\f.txt", &target, kMoveFileCopyAllowed));
    EXPECT_EQ(machine.readFile(target), "f");
}

TEST(SimMoveFileEx, DelayedMovesAreAppendedToThePendingList) {
    TestMachine machine;
    machine.writeFile("C:\\WINDOWS\\Work\\new.dll", "new");
    ASSERT_TRUE(setCurrentDirectory("C:\\WINDOWS"));
    reg::writeValue(kSessionManager, "PendingFileRenameOperations", kRegMultiSz,
                    std::string("\\??\\C:\\kept\0\0", 13) + '\0');
    const std::string target = "system32\\x.dll";
    ASSERT_TRUE(
        moveFileEx("WORK\\new.dll", &target, kMoveFileDelayUntilReboot | kMoveFileReplaceExisting));
    ASSERT_TRUE(moveFileEx("C:\\missing\\old.dll", nullptr, kMoveFileDelayUntilReboot));
    const std::string plain = "C:\\b";
    ASSERT_TRUE(moveFileEx("C:\\a", &plain, kMoveFileDelayUntilReboot));
    ASSERT_TRUE(moveFileEx("C:\\old dir\\", nullptr, kMoveFileDelayUntilReboot));
    const std::vector<std::string> expected = {"\\??\\C:\\kept",
                                               "",
                                               "\\??\\C:\\WINDOWS\\Work\\new.dll",
                                               "!\\??\\C:\\WINDOWS\\system32\\x.dll",
                                               "\\??\\C:\\missing\\old.dll",
                                               "",
                                               "\\??\\C:\\a",
                                               "\\??\\C:\\b",
                                               "\\??\\C:\\old dir\\",
                                               ""};
    EXPECT_EQ(pendingRenames(), expected);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\Work\\new.dll"), "new");  // nothing moved yet
}

TEST(SimMoveFileEx, RefusedOnTheNineXFamily) {
    TestMachine machine(sim::MachineOptions{.os = "98"});
    machine.writeFile("C:\\a.txt", "a");
    const std::string target = "C:\\b.txt";
    EXPECT_TRUE(failsWith(moveFileEx("C:\\a.txt", &target, 0), error::kCallNotImplemented));
    EXPECT_TRUE(failsWith(moveFileEx("C:\\a.txt", &target, kMoveFileDelayUntilReboot),
                          error::kCallNotImplemented));
    EXPECT_TRUE(pendingRenames().empty());
    EXPECT_TRUE(moveFile("C:\\a.txt", "C:\\b.txt"));
}

TEST(SimDeleteFile, DeletesPlainFilesOnly) {
    TestMachine machine;
    machine.writeFile("C:\\d\\plain.txt", "p");
    machine.writeFile("C:\\d\\ro.txt", "r");
    machine.writeFile("C:\\d\\held.txt", "h");
    setFileInUse("C:\\d\\held.txt", error::kLockViolation);
    ASSERT_TRUE(setFileAttributes("C:\\d\\ro.txt", kFileAttributeReadOnly));
    EXPECT_TRUE(deleteFile("C:\\D\\PLAIN.TXT"));
    EXPECT_FALSE(fs::exists(machine.host("C:\\d\\plain.txt")));
    EXPECT_TRUE(failsWith(deleteFile("C:\\d\\plain.txt"), error::kFileNotFound));
    EXPECT_TRUE(failsWith(deleteFile("C:\\x\\plain.txt"), error::kPathNotFound));
    EXPECT_TRUE(failsWith(deleteFile("C:\\d"), error::kAccessDenied));
    EXPECT_TRUE(failsWith(deleteFile("C:\\d\\ro.txt"), error::kAccessDenied));
    EXPECT_TRUE(failsWith(deleteFile("C:\\d\\held.txt"), error::kLockViolation));
    ASSERT_TRUE(setFileAttributes("C:\\d\\ro.txt", kFileAttributeNormal));
    EXPECT_TRUE(deleteFile("C:\\d\\ro.txt"));
}

TEST(SimDirectories, CreateAndRemoveWithWindowsErrors) {
    TestMachine machine;
    EXPECT_TRUE(createDirectory("C:\\New Dir"));
    EXPECT_TRUE(fs::is_directory(machine.dir() / "drive_c" / "New Dir"));
    EXPECT_TRUE(failsWith(createDirectory("c:\\new dir"), error::kAlreadyExists));
    EXPECT_TRUE(failsWith(createDirectory("C:\\a\\b"), error::kPathNotFound));
    machine.writeFile("C:\\New Dir\\f.txt", "f");
    EXPECT_TRUE(failsWith(removeDirectory("C:\\New Dir"), error::kDirNotEmpty));
    EXPECT_TRUE(failsWith(removeDirectory("C:\\New Dir\\f.txt"), 267u));
    EXPECT_TRUE(failsWith(removeDirectory("C:\\New Dir\\none"), error::kFileNotFound));
    EXPECT_TRUE(failsWith(removeDirectory("C:\\none\\none"), error::kPathNotFound));
    EXPECT_TRUE(failsWith(removeDirectory("C:\\"), error::kAccessDenied));
    EXPECT_TRUE(failsWith(removeDirectory(""), error::kPathNotFound));
    ASSERT_TRUE(deleteFile("C:\\New Dir\\f.txt"));
    ASSERT_TRUE(setCurrentDirectory("C:\\New Dir"));
    EXPECT_TRUE(failsWith(removeDirectory("C:\\New Dir"), error::kSharingViolation));
    ASSERT_TRUE(setCurrentDirectory("C:\\"));
    EXPECT_TRUE(removeDirectory("C:\\New Dir"));
    EXPECT_FALSE(fs::exists(machine.dir() / "drive_c" / "New Dir"));
}

// A resolved directory is remembered, so each of these would find the old place if it were
// not forgotten when the directory moves or goes away.
TEST(SimDirectories, ResolutionFollowsDirectoriesThatMoveOrGoAway) {
    TestMachine machine;
    machine.writeFile("C:\\Tree\\Sub\\f.txt", "old");
    ASSERT_NE(getFileAttributes("c:\\tree\\sub\\F.TXT"), kInvalidFileAttributes);

    ASSERT_TRUE(moveFile("C:\\Tree", "C:\\Moved"));
    EXPECT_EQ(getFileAttributes("C:\\tree\\sub\\f.txt"), kInvalidFileAttributes);
    EXPECT_EQ(getLastError(), error::kPathNotFound);
    EXPECT_EQ(machine.readFile("c:\\moved\\SUB\\f.txt"), "old");

    ASSERT_TRUE(createDirectory("C:\\TREE"));
    ASSERT_TRUE(createDirectory("C:\\TREE\\SUB"));
    machine.writeFile("C:\\tree\\sub\\f.txt", "new");
    EXPECT_EQ(machine.readFile("C:\\Tree\\Sub\\f.txt"), "new");
    EXPECT_TRUE(fs::exists(machine.dir() / "drive_c" / "TREE" / "SUB" / "f.txt"));

    ASSERT_TRUE(deleteFile("C:\\Moved\\Sub\\f.txt"));
    ASSERT_TRUE(removeDirectory("C:\\Moved\\Sub"));
    EXPECT_EQ(getFileAttributes("C:\\Moved\\Sub\\f.txt"), kInvalidFileAttributes);
    EXPECT_EQ(getLastError(), error::kPathNotFound);
    EXPECT_TRUE(createDirectory("C:\\Moved\\sub"));
    EXPECT_TRUE(fs::is_directory(machine.dir() / "drive_c" / "Moved" / "sub"));
}

TEST(SimFileTimes, ReadAndSetAsFileTimeTicks) {
    TestMachine machine;
    machine.writeFile("C:\\t.txt", "t");
    // 2020-01-01 00:00:00.1234567 UTC.
    const uint64_t lastWrite = 132223104001234567ull;
    ASSERT_TRUE(setFileTimes("C:\\t.txt", FileTimes{0, 0, lastWrite}));
    FileTimes times;
    ASSERT_TRUE(getFileTimes("C:\\t.txt", &times));
    EXPECT_EQ(times.lastWrite, lastWrite);
    // The host keeps it as 1577836800.1234567 seconds after the Unix epoch.
    const auto onHost =
        std::chrono::file_clock::to_sys(fs::last_write_time(machine.host("C:\\t.txt")));
    EXPECT_EQ(
        std::chrono::duration_cast<std::chrono::nanoseconds>(onHost.time_since_epoch()).count(),
        1577836800'123456700ll);
    const uint64_t lastAccess = lastWrite + 10'000'000;
    ASSERT_TRUE(setFileTimes("C:\\t.txt", FileTimes{0, lastAccess, 0}));
    ASSERT_TRUE(getFileTimes("C:\\t.txt", &times));
    EXPECT_EQ(times.lastWrite, lastWrite);  // a zero field is left as it was
    EXPECT_EQ(times.lastAccess, lastAccess);
    EXPECT_NE(times.creation, 0u);
    ASSERT_TRUE(getFileTimes("C:\\", &times));  // directories too
    EXPECT_NE(times.lastWrite, 0u);

    EXPECT_TRUE(failsWith(getFileTimes("C:\\none", &times), error::kFileNotFound));
    EXPECT_TRUE(
        failsWith(setFileTimes("C:\\x\\none", FileTimes{0, 0, lastWrite}), error::kPathNotFound));
    setFileInUse("C:\\t.txt", error::kSharingViolation);
    EXPECT_TRUE(failsWith(setFileTimes("C:\\t.txt", FileTimes{0, 0, 1}), error::kSharingViolation));
    EXPECT_TRUE(getFileTimes("C:\\t.txt", &times));
}

TEST(SimFilesInUse, WritesFailAndReadsWork) {
    TestMachine machine;
    machine.writeFile("C:\\WINDOWS\\held.dll", "held");
    setFileInUse("C:\\windows\\HELD.dll", error::kSharingViolation);
    setFileInUse("C:\\WINDOWS\\released.dll", 0);
    EXPECT_EQ(sim::heldFileRefusal("C:\\WINDOWS\\released.dll", sim::FileAccess::Write), 0u);
    EXPECT_EQ(openFile("C:\\WINDOWS\\held.dll", "ab"), nullptr);
    EXPECT_EQ(getLastError(), error::kSharingViolation);
    EXPECT_EQ(openFile("C:\\WINDOWS\\held.dll", "rb+"), nullptr);
    std::FILE* reading = openFile("C:\\WINDOWS\\held.dll", "rb");
    ASSERT_NE(reading, nullptr);
    std::fclose(reading);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\held.dll"), "held");
}

// What each kind of holder lets another program do with its file, as Windows answers: by the
// sharing the holder granted, a loaded library by its own rules, and never a replacing move.
struct HoldCase {
    const char* how;
    uint32_t read, write, rename, remove, replace;
};

class SimFileHolders : public ::testing::TestWithParam<const char*> {};

TEST_P(SimFileHolders, EachHolderRefusesWhatItDoesNotShare) {
    TestMachine machine(sim::MachineOptions{.os = GetParam()});
    const bool win9x = std::string(GetParam()) == "98SE";
    constexpr uint32_t kShare = error::kSharingViolation, kDenied = error::kAccessDenied;
    const HoldCase cases[] = {
        {"share=none", kShare, kShare, kShare, kShare, kDenied},
        {"share=read", 0, kShare, kShare, kShare, kDenied},
        {"share=read,delete", 0, kShare, 0, 0, kDenied},
        {"share=read,write,delete", 0, 0, 0, 0, kDenied},
        {"image", 0, kShare, 0, kDenied, kDenied},
    };
    auto result = [](bool succeeded) { return succeeded ? 0u : getLastError(); };
    for (const HoldCase& c : cases) {
        SCOPED_TRACE(c.how);
        machine.writeFile("C:\\d\\new.dll", "new");
        for (const char* name : {"held.dll", "moved.dll", "gone.dll", "over.dll"}) {
            machine.writeFile(std::string("C:\\d\\") + name, "held");
            setFileHeld(std::string("C:\\d\\") + name, c.how);
        }
        std::FILE* file = openFile("C:\\d\\held.dll", "rb");
        EXPECT_EQ(result(file != nullptr), c.read);
        if (file != nullptr) std::fclose(file);
        EXPECT_EQ(result(copyFile("C:\\d\\held.dll", "C:\\d\\copy.dll", false)), c.read);
        EXPECT_EQ(result(copyFile("C:\\d\\new.dll", "C:\\d\\held.dll", false)), c.write);
        EXPECT_EQ(result(setFileTimes("C:\\d\\held.dll", FileTimes{0, 0, 1})), c.write);
        FileTimes times;
        EXPECT_TRUE(getFileTimes("C:\\d\\held.dll", &times));  // attributes only
        EXPECT_EQ(result(moveFile("C:\\d\\moved.dll", "C:\\d\\moved.old")), c.rename);
        if (c.rename == 0) {
            EXPECT_NE(sim::heldFileRefusal("C:\\d\\moved.old", sim::FileAccess::ReplaceByMove), 0u);
        }
        EXPECT_EQ(result(deleteFile("C:\\d\\gone.dll")), c.remove);
        // A deleted file and its entry go together; the name is free again.
        EXPECT_EQ(fs::exists(machine.host("C:\\d\\gone.dll")), c.remove != 0);
        if (c.remove == 0) {
            EXPECT_EQ(sim::heldFileRefusal("C:\\d\\gone.dll", sim::FileAccess::Write), 0u);
        }
        const std::string over = "C:\\d\\over.dll";
        EXPECT_EQ(result(moveFileEx("C:\\d\\new.dll", &over, kMoveFileReplaceExisting)),
                  win9x ? error::kCallNotImplemented : c.replace);
        EXPECT_EQ(machine.readFile(over), "held");
        reg::deleteValue(sim::kFilesInUseKey, "C:\\d\\moved.old");
        for (const auto& entry : fs::directory_iterator(machine.host("C:\\d"))) fs::remove(entry);
    }
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, SimFileHolders, ::testing::Values("XP", "98SE"));
