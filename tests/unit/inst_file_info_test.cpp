#include "commands/inst_file_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/dadazado_engine.h"
#include "commands/delete_file_info.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "support/file_op.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/registry_data.h"
#include "tests/support/szdd_files.h"
#include "tests/support/test_machine.h"

namespace {

constexpr uint64_t kEarlier = 130000000000000000ull;
constexpr uint64_t kLater = 130000000100000000ull;
const std::string kDriverText(5000, 'D');

using Args = std::vector<CStdStr>;

class InstFileInfoTest : public ::testing::Test {
  protected:
    explicit InstFileInfoTest(const sim::MachineOptions& options = {}) : machine(options) {
        FileOp::pendingRenames().clear();
    }
    ~InstFileInfoTest() override { FileOp::pendingRenames().clear(); }

    // An SZDD file made by the format's own compressor from text.
    void writeCompressed(const std::string& windowsPath, const std::string& text) {
        const std::filesystem::path plain = machine.dir() / "plain.bin";
        writeHostFile(plain, text);
        std::filesystem::create_directories(machine.host(windowsPath).parent_path());
        ASSERT_TRUE(makeSzdd(plain, machine.host(windowsPath)));
    }

    // A newer source for an installed file that another program holds open.
    void olderDestinationInUse(uint32_t code) {
        machine.writeFile("C:\\pkg\\a.dll", "new");
        machine.writeFile("C:\\out\\a.dll", "old");
        setLastWriteTime("C:\\pkg\\a.dll", kLater);
        setLastWriteTime("C:\\out\\a.dll", kEarlier);
        setFileInUse("C:\\out\\a.dll", code);
    }

    bool install(const Args& arguments) { return handler.HandleCommand(arguments); }
    bool exists(const std::string& windowsPath) const {
        return std::filesystem::exists(machine.host(windowsPath));
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    InstFileInfo handler{&engine};
};

TEST_F(InstFileInfoTest, CompressedSourceIsExpandedAndRecorded) {
    writeCompressed("C:\\pkg\\drv.dl_", kDriverText);
    EXPECT_TRUE(
        install({"C:\\out\\sub\\drv.dll", "C:\\pkg\\drv.dl_", "C:\\scratch\\drv.tmp", "0", "1"}));
    EXPECT_EQ(machine.readFile("C:\\out\\sub\\drv.dll"), kDriverText);
    EXPECT_TRUE(exists("C:\\scratch"));
    EXPECT_TRUE(tempFilesIn("C:\\out\\sub").empty());
    ASSERT_EQ(engine.getLogOps().size(), 1u);
    EXPECT_EQ(engine.getLogOps()[0]->owner, "Uninstaller");
    EXPECT_EQ(engine.getLogOps()[0]->item, "C:\\out\\sub\\drv.dll");
    EXPECT_TRUE(engine.getLogOps()[0]->useArgument);
    EXPECT_TRUE(
        log.contains("InstFileInfo::HandleCommand: wrote file C:\\out\\sub\\drv.dll log "
                     "section Uninstaller\r\n"));
}

TEST_F(InstFileInfoTest, PlainSourceIsCopiedAndCanBeDeletedAfterwards) {
    machine.writeFile("C:\\pkg\\readme.txt", "plain text");
    EXPECT_TRUE(
        install({"C:\\out\\readme.txt", "C:\\pkg\\readme.txt", "C:\\out\\r.tmp", "1", "x"}));
    EXPECT_EQ(machine.readFile("C:\\out\\readme.txt"), "plain text");
    EXPECT_FALSE(exists("C:\\pkg\\readme.txt"));
    EXPECT_TRUE(engine.getLogOps().empty());
}

TEST_F(InstFileInfoTest, ArgumentAndDirectoryChecksFailTheCommand) {
    EXPECT_FALSE(install({"C:\\out\\a.dll", "C:\\pkg\\a.dll"}));
    EXPECT_TRUE(log.contains("InstFileInfo::HandleCommand: not enough arguments!\r\n"));
    EXPECT_FALSE(install({"C:\\out\\a.dll", "C:\\pkg\\a.dll", "C:\\t\\a.tmp"}));
    EXPECT_TRUE(
        log.contains("InstFileInfo::HandleCommand: file C:\\pkg\\a.dll does not exist!\r\n"));
    machine.writeFile("C:\\pkg\\a.dll", "a");
    EXPECT_FALSE(install({"C:\\bad,dir\\a.dll", "C:\\pkg\\a.dll", "C:\\t\\a.tmp"}));
    EXPECT_TRUE(
        log.contains("InstFileInfo::HandleCommand: dest dir C:\\bad,dir does not exist "
                     "and cannot be created\r\n"));
    EXPECT_FALSE(install({"C:\\out\\a.dll", "C:\\pkg\\a.dll", "Q:\\t\\a.tmp"}));
    EXPECT_TRUE(log.contains(
        "InstFileInfo::HandleCommand: temp dir Q:\\t does not exist and cannot be created\r\n"));
    EXPECT_FALSE(exists("C:\\out\\a.dll"));
}

TEST_F(InstFileInfoTest, EmptySourceIsNeverInstalled) {
    machine.writeFile("C:\\pkg\\empty.dll", "");
    EXPECT_FALSE(install({"C:\\out\\empty.dll", "C:\\pkg\\empty.dll", "C:\\out\\e.tmp", "1", "2"}));
    EXPECT_FALSE(exists("C:\\out\\empty.dll"));
    EXPECT_TRUE(tempFilesIn("C:\\out").empty());
    EXPECT_TRUE(log.contains("InstFileInfo::ourLZCopy: LZCopy failed:  unknown code 0\r\n"));
    // Nothing was installed: nothing is recorded, and the source is kept.
    EXPECT_TRUE(
        log.contains("InstFileInfo::HandleCommand: could not install file C:\\out\\empty.dll\r\n"));
    EXPECT_TRUE(engine.getLogOps().empty());
    EXPECT_TRUE(exists("C:\\pkg\\empty.dll"));
}

TEST_F(InstFileInfoTest, SourceThatCannotBeOpenedIsNotRecordedAsWritten) {
    machine.writeFile("C:\\pkg\\a.dll", "driver");
    sim::registry::writeValue(sim::kFaultsKey, "LZOpenFile|*\\pkg\\a.dll", kRegDword, dword(5));
    EXPECT_FALSE(install({"C:\\out\\a.dll", "C:\\pkg\\a.dll", "C:\\out\\a.tmp", "1", "2"}));
    EXPECT_FALSE(exists("C:\\out\\a.dll"));
    EXPECT_TRUE(exists("C:\\pkg\\a.dll"));
    EXPECT_TRUE(engine.getLogOps().empty());
    EXPECT_FALSE(log.contains("wrote file"));
}

TEST_F(InstFileInfoTest, CutOffOrCorruptSourceLeavesTheDestinationAsItWas) {
    writeCompressed("C:\\pkg\\full.dl_", kDriverText);
    std::string compressed = machine.readFile("C:\\pkg\\full.dl_");
    machine.writeFile("C:\\pkg\\cut.dl_", compressed.substr(0, compressed.size() / 2));
    compressed[8] = 'B';  // an expansion method the format does not have
    machine.writeFile("C:\\pkg\\odd.dl_", compressed);
    machine.writeFile("C:\\out\\drv.dll", "installed before");
    setLastWriteTime("C:\\out\\drv.dll", kEarlier);

    EXPECT_TRUE(install({"C:\\out\\drv.dll", "C:\\pkg\\cut.dl_", "C:\\out\\drv.tmp"}));
    EXPECT_TRUE(
        log.contains("InstFileInfo::ourLZCopy: LZCopy failed:  source file format "
                     "invalid\r\n"));
    EXPECT_TRUE(install({"C:\\out\\drv.dll", "C:\\pkg\\odd.dl_", "C:\\out\\drv.tmp"}));
    EXPECT_EQ(machine.readFile("C:\\out\\drv.dll"), "installed before");
    EXPECT_TRUE(tempFilesIn("C:\\out").empty());
    // The NT fallback put the old file back each time.
    EXPECT_FALSE(exists("C:\\out\\drv.tmp"));
    EXPECT_TRUE(pendingFileRenames().empty());
}

TEST_F(InstFileInfoTest, DestinationThatIsNotOlderIsKeptButStillRecorded) {
    machine.writeFile("C:\\pkg\\a.dll", "new");
    machine.writeFile("C:\\out\\a.dll", "current");
    setLastWriteTime("C:\\pkg\\a.dll", kEarlier);
    setLastWriteTime("C:\\out\\a.dll", kLater);
    EXPECT_TRUE(install({"C:\\out\\a.dll", "C:\\pkg\\a.dll", "C:\\out\\a.tmp", "1", "2"}));
    EXPECT_EQ(machine.readFile("C:\\out\\a.dll"), "current");
    EXPECT_FALSE(exists("C:\\pkg\\a.dll"));
    ASSERT_EQ(engine.getLogOps().size(), 1u);
    EXPECT_EQ(engine.getLogOps()[0]->owner, "Driver ");
    EXPECT_FALSE(engine.getLogOps()[0]->useArgument);
}

TEST_F(InstFileInfoTest, DestinationInUseIsMovedAsideAndDeletedAtRestart) {
    olderDestinationInUse(32);
    EXPECT_TRUE(install({"C:\\out\\a.dll", "C:\\pkg\\a.dll", "C:\\out\\a.old"}));
    EXPECT_EQ(machine.readFile("C:\\out\\a.dll"), "new");
    EXPECT_EQ(machine.readFile("C:\\out\\a.old"), "old");
    EXPECT_EQ(pendingFileRenames(), (std::vector<std::string>{"\\??\\C:\\out\\a.old", ""}));
    EXPECT_TRUE(tempFilesIn("C:\\out").empty());
}

TEST_F(InstFileInfoTest, SourceIsDeletedOnlyWhenTheNewFileIsInPlaceOrScheduled) {
    olderDestinationInUse(32);
    EXPECT_TRUE(install({"C:\\out\\a.dll", "C:\\pkg\\a.dll", "C:\\out\\a.old", "1"}));
    EXPECT_FALSE(exists("C:\\pkg\\a.dll"));
    // A holder that shares nothing: the old file can be neither replaced nor moved aside.
    machine.writeFile("C:\\pkg\\b.dll", "new");
    machine.writeFile("C:\\out\\b.dll", "old");
    setLastWriteTime("C:\\pkg\\b.dll", kLater);
    setLastWriteTime("C:\\out\\b.dll", kEarlier);
    setFileHeld("C:\\out\\b.dll", "share=none");
    EXPECT_TRUE(install({"C:\\out\\b.dll", "C:\\pkg\\b.dll", "C:\\out\\b.old", "1", "2"}));
    EXPECT_EQ(machine.readFile("C:\\out\\b.dll"), "old");
    EXPECT_EQ(machine.readFile("C:\\pkg\\b.dll"), "new");
    EXPECT_FALSE(exists("C:\\out\\b.old"));
    EXPECT_EQ(pendingFileRenames(), (std::vector<std::string>{"\\??\\C:\\out\\a.old", ""}));
}

TEST_F(InstFileInfoTest, AwkwardPathsAndLyingHeadersAreHandledSafely) {
    machine.writeFile("C:\\pkg\\a.txt", "a");
    const std::string longDir = "C:\\out\\" + std::string(241, 'd');
    EXPECT_FALSE(install({longDir + "\\a.txt", "C:\\pkg\\a.txt", "C:\\out\\a.tmp"}));
    EXPECT_TRUE(log.contains("InstFileInfo::HandleCommand: dest dir " + longDir +
                             " does not exist and cannot be created\r\n"));
    const std::string longName = "C:\\out\\" + std::string(250, 'n') + ".txt";
    EXPECT_FALSE(install({longName, "C:\\pkg\\a.txt", "C:\\out\\a.tmp"}));
    EXPECT_TRUE(
        log.contains("InstFileInfo::ourLZCopy: could not put the expanded file in place "
                     "as " +
                     longName + " (Error code: 206)\r\n"));
    EXPECT_TRUE(install({"C:/out/slash.txt", "C:\\pkg\\a.txt", "C:\\out\\a.tmp"}));
    EXPECT_EQ(machine.readFile("C:\\out\\slash.txt"), "a");
    EXPECT_TRUE(install({"C:\\out\\dots.txt. .", "C:\\pkg\\a.txt", "C:\\out\\a.tmp"}));
    EXPECT_EQ(machine.readFile("C:\\out\\dots.txt"), "a");
    EXPECT_FALSE(install({"C:\\out\\CON", "C:\\pkg\\a.txt", "C:\\out\\a.tmp"}));
    EXPECT_FALSE(install({"C:\\out\\nul.dll", "C:\\pkg\\a.txt", "C:\\out\\a.tmp"}));

    // A header that promises more than the stream holds.
    writeCompressed("C:\\pkg\\big.dl_", kDriverText);
    std::string compressed = machine.readFile("C:\\pkg\\big.dl_");
    compressed[11] = static_cast<char>(compressed[11] + 1);
    machine.writeFile("C:\\pkg\\big.dl_", compressed);
    EXPECT_FALSE(install({"C:\\out\\big.dll", "C:\\pkg\\big.dl_", "C:\\out\\a.tmp"}));
    EXPECT_FALSE(exists("C:\\out\\big.dll"));

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(machine.host("C:\\out")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dots.txt", "slash.txt"}));
}

class InstFileInfo9xTest : public InstFileInfoTest {
  protected:
    InstFileInfo9xTest() : InstFileInfoTest(sim::MachineOptions{.os = "98"}) {}
};

TEST_F(InstFileInfo9xTest, LockedDestinationIsReplacedThroughTheTemporaryCopy) {
    olderDestinationInUse(33);
    EXPECT_TRUE(install({"C:\\out\\a.dll", "C:\\pkg\\a.dll", "C:\\out\\a.tmp"}));
    EXPECT_EQ(machine.readFile("C:\\out\\a.dll"), "new");
    EXPECT_EQ(machine.readFile("C:\\out\\a.tmp"), "new");  // stays where it is
    const std::vector<std::string> aside = tempFilesIn("C:\\out");
    ASSERT_EQ(aside.size(), 1u) << log.text();
    ASSERT_EQ(FileOp::pendingRenames().size(), 1u);
    EXPECT_TRUE(FileOp::pendingRenames()[0].EqualsNoCase("NUL=C:\\out\\" + aside[0]));
    FileOp::writePendingRenames();
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\WININIT.INI"),
              "[Rename]\r\nNUL=C:\\out\\" + aside[0] + "\r\n");
}

TEST_F(InstFileInfo9xTest, ReadOnlyDestinationKeepsTheSource) {
    olderDestinationInUse(0);
    platform::setFileAttributes("C:\\out\\a.dll", platform::kFileAttributeReadOnly);
    EXPECT_TRUE(install({"C:\\out\\a.dll", "C:\\pkg\\a.dll", "C:\\out\\a.tmp", "1"}));
    EXPECT_EQ(machine.readFile("C:\\out\\a.dll"), "old");
    EXPECT_TRUE(exists("C:\\pkg\\a.dll"));
    EXPECT_TRUE(log.contains("FileOp::Copy: CopyFile failed with code 5\r\n"));
    EXPECT_TRUE(FileOp::pendingRenames().empty());
}

class DeleteFileInfoTest : public InstFileInfoTest {
  protected:
    bool remove(const Args& arguments) { return deleter.HandleCommand(arguments); }
    DeleteFileInfo deleter{&engine};
};

TEST_F(DeleteFileInfoTest, ModesDecideBetweenNowAndRestart) {
    for (const char* name : {"m0", "m1", "m2", "bad", "text", "busy0", "busy1"})
        machine.writeFile(std::string("C:\\d\\") + name, "x");
    setFileInUse("C:\\d\\busy0", 32);
    setFileInUse("C:\\d\\busy1", 32);
    EXPECT_TRUE(remove({"C:\\d\\m0", "0"}));
    EXPECT_TRUE(remove({"C:\\d\\m1"}));
    EXPECT_TRUE(remove({"C:\\d\\m2", "2"}));
    EXPECT_TRUE(remove({"C:\\d\\bad", "7"}));
    EXPECT_TRUE(remove({"C:\\d\\text", "abc"}));
    EXPECT_FALSE(remove({"C:\\d\\busy0", "0"}));
    EXPECT_TRUE(remove({"C:\\d\\busy1", "1"}));
    EXPECT_FALSE(remove({"C:\\d\\missing", "1"}));
    EXPECT_TRUE(remove({"C:\\d\\missing", "2"}));
    EXPECT_FALSE(remove({}));
    EXPECT_TRUE(log.contains("DeleteFilesInfo::HandleCommand: invalid flag: 7\r\n"));
    EXPECT_TRUE(log.contains("DeleteFileInfo::HandleCommand: not enough arguments!\r\n"));
    for (const char* gone : {"m0", "m1", "bad", "text"})
        EXPECT_FALSE(exists(std::string("C:\\d\\") + gone)) << gone;
    EXPECT_TRUE(exists("C:\\d\\m2"));
    EXPECT_EQ(pendingFileRenames(),
              (std::vector<std::string>{"\\??\\C:\\d\\m2", "", "\\??\\C:\\d\\busy1", "",
                                        "\\??\\C:\\d\\missing", ""}));
}

TEST_F(DeleteFileInfoTest, DirectoryNeedsItsFinalBackslash) {
    machine.writeFile("C:\\d\\sub\\keep.txt", "x");
    std::filesystem::create_directories(machine.host("C:\\d\\empty"));
    EXPECT_TRUE(remove({"C:\\d\\empty\\", "0"}));
    EXPECT_FALSE(exists("C:\\d\\empty"));
    // Without it the directory is taken as a file, which cannot be deleted now.
    EXPECT_TRUE(remove({"C:\\d\\sub", "1"}));
    EXPECT_TRUE(exists("C:\\d\\sub\\keep.txt"));
    EXPECT_EQ(pendingFileRenames(), (std::vector<std::string>{"\\??\\C:\\d\\sub", ""}));
}

}  // namespace
