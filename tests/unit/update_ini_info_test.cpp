#include "commands/update_ini_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/dadazado_engine.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "tests/support/test_machine.h"

namespace {

constexpr const char* kIni = "C:\\WINDOWS\\app.ini";

using Args = std::vector<CStdStr>;

class UpdateIniInfoTest : public ::testing::Test {
  protected:
    std::string ini() const { return machine.readFile(kIni); }
    bool exists(const std::string& windowsPath) const {
        return std::filesystem::exists(machine.host(windowsPath));
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    UpdateIniInfo handler{&engine};
};

TEST_F(UpdateIniInfoTest, WriteIntoAMissingFileCreatesItAndCutsTheValueAtASecondEquals) {
    EXPECT_TRUE(handler.HandleCommand({"%10%\\app.ini", "Ports", "", "COM9: = 9600=n"}));
    EXPECT_EQ(ini(), "[Ports]\r\nCOM9:=9600\r\n");
    // A field without '=' is a key with an empty value.
    EXPECT_TRUE(handler.HandleCommand({kIni, "Ports", "", "LPT3:", "unused"}));
    EXPECT_EQ(ini(), "[Ports]\r\nCOM9:=9600\r\nLPT3:=\r\n");
}

TEST_F(UpdateIniInfoTest, DeleteAndWriteOfTheSameKeyMovesItToTheEndOfTheSection) {
    machine.writeFile(kIni, "[S]\r\nk=1\r\nj=2\r\n\r\n[T]\r\nk=1\r\n");
    EXPECT_TRUE(handler.HandleCommand({kIni, "S", "k", "k=3"}));
    EXPECT_EQ(ini(), "[S]\r\nj=2\r\n\r\nk=3\r\n[T]\r\nk=1\r\n");
    // A value restricts the delete to a matching entry.
    EXPECT_TRUE(handler.HandleCommand({kIni, "S", "j = 5"}));
    EXPECT_TRUE(handler.HandleCommand({kIni, "T", "K=1"}));
    EXPECT_EQ(ini(), "[S]\r\nj=2\r\n\r\nk=3\r\n[T]\r\n");
}

TEST_F(UpdateIniInfoTest, NothingToDoOrTooFewFieldsReturnsFalse) {
    EXPECT_FALSE(handler.HandleCommand({kIni, "S", ""}));
    EXPECT_TRUE(log.lines().empty());
    EXPECT_FALSE(exists(kIni));
    EXPECT_FALSE(handler.HandleCommand({kIni, "S"}));
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"UpdateIniInfo::HandleCommand: not enough arguments!"});
}

TEST_F(UpdateIniInfoTest, FailedEditsAreReportedAndLogged) {
    // Deleting from a file that is not there fails and creates nothing.
    EXPECT_FALSE(handler.HandleCommand({"C:\\none.ini", "S", "k"}));
    EXPECT_FALSE(exists("C:\\none.ini"));

    machine.writeFile(kIni, "[S]\r\nk=1\r\n");
    ASSERT_TRUE(platform::setFileAttributes(kIni, platform::kFileAttributeReadOnly));
    EXPECT_FALSE(handler.HandleCommand({kIni, "S", "", "k = 2"}));
    const std::vector<std::string> lines = log.lines();
    const auto failed = std::find(lines.begin(), lines.end(),
                                  "UpdateIniInfo::HandleCommand: QuickWriteIniString failed.");
    ASSERT_EQ(std::distance(failed, lines.end()), 5);
    EXPECT_EQ(std::vector<std::string>(failed + 1, lines.end()),
              (std::vector<std::string>{"\tFile = C:\\WINDOWS\\app.ini", "\tSection = S",
                                        "\tKey Name = k", "\tValue = 2"}));
    EXPECT_EQ(ini(), "[S]\r\nk=1\r\n");
}

TEST_F(UpdateIniInfoTest, LinesOfTheInfAreSplitWithoutInstallKindAndNeverFailTheFramework) {
    machine.writeFile("C:\\drv\\x.inf",
                      "[Install]\r\n"
                      "UpdateInis = Inis.Main, Inis.Missing\r\n"
                      "[Inis.Main]\r\n"
                      "%10%\\app.ini, \"Sec, one\", , \"Key=a,b\"\r\n"
                      "%10%\\app.ini, Sec\r\n");
    ASSERT_TRUE(engine.parseCommandLine("-I C:\\drv\\x.inf -N Name -P LPT1:"));
    EXPECT_TRUE(handler.ReadINF("Install"));
    EXPECT_EQ(ini(), "[Sec, one]\r\nKey=a,b\r\n");
    EXPECT_TRUE(log.contains("UpdateIniInfo::HandleCommand: not enough arguments!\r\n"));
    EXPECT_FALSE(log.contains("Error parsing command"));
}

}  // namespace
