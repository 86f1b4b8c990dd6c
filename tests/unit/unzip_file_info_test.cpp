#include "commands/unzip_file_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/dadazado_engine.h"
#include "platform/files.h"
#include "tests/support/test_machine.h"
#include "tests/support/zip_files.h"

namespace {

using Args = std::vector<CStdStr>;

class UnzipFileInfoTest : public ::testing::Test {
  protected:
    explicit UnzipFileInfoTest(const sim::MachineOptions& options = {}) : machine(options) {
        EXPECT_TRUE(writeZipArchive(machine.host("C:\\pkg\\drv.zip"),
                                    {{.name = "drv.dll", .content = "driver"},
                                     {.name = "help/drv.hlp", .content = "help"}}));
    }

    bool unzip(const Args& arguments) { return handler.HandleCommand(arguments); }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    UnzipFileInfo handler{&engine};
};

TEST_F(UnzipFileInfoTest, ArchiveAloneIsExtractedNextToItself) {
    EXPECT_EQ(handler.getCommandKey(), "QenUnZipZipFile");
    EXPECT_TRUE(unzip({"C:\\pkg\\drv.zip"}));
    EXPECT_EQ(machine.readFile("C:\\pkg\\drv.dll"), "driver");
    EXPECT_EQ(machine.readFile("C:\\pkg\\help\\drv.hlp"), "help");
}

TEST_F(UnzipFileInfoTest, MissingTargetDirectoryIsCreated) {
    EXPECT_TRUE(unzip({"C:\\pkg\\drv.zip", "C:\\new\\dir\\"}));
    EXPECT_EQ(machine.readFile("C:\\new\\dir\\drv.dll"), "driver");
    EXPECT_EQ(machine.readFile("C:\\new\\dir\\help\\drv.hlp"), "help");
}

TEST_F(UnzipFileInfoTest, EmptyTargetFieldMeansTheCurrentDirectory) {
    std::filesystem::create_directories(machine.host("C:\\work"));
    ASSERT_TRUE(platform::setCurrentDirectory("C:\\work"));
    EXPECT_TRUE(unzip({"C:\\pkg\\drv.zip", " "}));
    EXPECT_EQ(machine.readFile("C:\\work\\help\\drv.hlp"), "help");
    EXPECT_TRUE(unzip({"C:\\pkg\\drv.zip", "%nosuchmacro%"}));
    EXPECT_EQ(machine.readFile("C:\\work\\drv.dll"), "driver");
    EXPECT_FALSE(std::filesystem::exists(machine.host("C:\\pkg\\drv.dll")));
}

class UnzipFileInfo9xTest : public UnzipFileInfoTest {
  protected:
    UnzipFileInfo9xTest() : UnzipFileInfoTest(sim::MachineOptions{.os = "98"}) {}
};

TEST_F(UnzipFileInfo9xTest, EmptyTargetFieldMeansTheCurrentDirectory) {
    std::filesystem::create_directories(machine.host("C:\\work"));
    ASSERT_TRUE(platform::setCurrentDirectory("C:\\work"));
    EXPECT_TRUE(unzip({"C:\\pkg\\drv.zip", ""}));
    EXPECT_EQ(machine.readFile("C:\\work\\drv.dll"), "driver");
    EXPECT_FALSE(std::filesystem::exists(machine.host("C:\\pkg\\drv.dll")));
}

TEST_F(UnzipFileInfoTest, NoArgumentsOrMissingArchiveFail) {
    EXPECT_FALSE(unzip({}));
    EXPECT_TRUE(log.contains("UnZipInfo::HandleCommand: not enough arguments!\r\n"));
    EXPECT_FALSE(unzip({"C:\\pkg\\none.zip", "C:\\out"}));
    EXPECT_TRUE(log.contains("ZipListContents: could not open zip file C:\\pkg\\none.zip\r\n"));
    EXPECT_FALSE(std::filesystem::exists(machine.host("C:\\out")));
}

}  // namespace
