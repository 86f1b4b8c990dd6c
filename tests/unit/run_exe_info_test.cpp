#include "commands/run_exe_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/dadazado_engine.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<CStdStr>;

const std::string kPrinterKey =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Office Laser";
const std::string kHelper = "C:\\tools\\exit_with.exe";

class RunExeInfoTest : public ::testing::Test {
  protected:
    explicit RunExeInfoTest(const sim::MachineOptions& options = {}) : machine(options) {
        fs::create_directories(machine.host(kHelper).parent_path());
        fs::copy_file(fs::path(DADAZADO_TEST_HELPER_DIR) / "exit_with", machine.host(kHelper));
        machine.writeFile("C:\\pkg\\oem.inf", "[Manufacturer]\r\n");
        platform::setCurrentDirectory("C:\\");
    }

    void startEngine(const std::string& extraOptions = "") {
        ASSERT_TRUE(
            engine.parseCommandLine("-I C:\\pkg\\oem.inf -N \"Office Laser\" " + extraOptions));
    }
    void addPrinter() const {
        for (const char* name : {"Name", "Printer Driver", "Port"})
            sim::registry::writeValue(
                kPrinterKey, name, platform::kRegSz,
                std::string(name[0] == 'P' && name[1] == 'o' ? "LPT1:" : "Office Laser") + '\0');
    }

    std::vector<std::string> journal() const {
        return splitLines(readHostFile(machine.dir() / "journal.log"));
    }

    TestMachine machine;
    LogCapture log;
    DadazadoEngine engine;
    RunExeInfo handler{&engine, 1};
};

TEST_F(RunExeInfoTest, TypeChoosesTheInfKey) {
    EXPECT_EQ(RunExeInfo(&engine, 0).getCommandKey(), "QenUnZipEXEFile");
    EXPECT_EQ(handler.getCommandKey(), "QenRunApps");
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(RunExeInfo(&engine, 2).getCommandKey(), "");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"RunAppInfo::ctor: invalid type: 2"});
}

TEST_F(RunExeInfoTest, EmptyCommandFails) {
    EXPECT_FALSE(handler.HandleCommand({}));
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"RunAppInfo::HandleCommand: Not enough arguments!"});
}

TEST_F(RunExeInfoTest, ProgramAloneRunsWithATrailingBlankAndIsWaitedFor) {
    startEngine();
    EXPECT_TRUE(handler.HandleCommand({"%11%\\..\\..\\tools\\exit_with.exe"}));
    const std::string line = "C:\\WINDOWS\\system32\\..\\..\\tools\\exit_with.exe ";
    EXPECT_TRUE(log.contains("RunProgramInfo: " + line + " returned 0 (error code 0)\r\n"));
    EXPECT_EQ(journal().back(),
              "CreateProcess \"" + line +
                  "\" dir \"C:\\tools\" show 8 flags 0x00000000 waited yes exit 0");
    EXPECT_EQ(platform::getCurrentDirectory(), "C:\\");
}

TEST_F(RunExeInfoTest, ParametersShowStateAndProgramKindReachTheProcess) {
    startEngine();
    EXPECT_TRUE(handler.HandleCommand({kHelper, "4 %11%", "3", "1", "win16"}));
    EXPECT_TRUE(log.contains("RunProgramInfo: " + kHelper + " 4 %11% returned 4 (error code 0)"));
    EXPECT_EQ(journal().back(), "CreateProcess \"" + kHelper +
                                    " 4 %11%\" dir \"C:\\tools\" show 3 flags 0x00000800 waited "
                                    "yes exit 4");
    EXPECT_TRUE(handler.HandleCommand({kHelper, "0", "0", "1", "OS2"}));
    EXPECT_NE(journal().back().find(" flags 0x00000028 "), std::string::npos);
    EXPECT_TRUE(handler.HandleCommand({kHelper, "0", "0", "1", "Dos"}));
    EXPECT_NE(journal().back().find(" flags 0x00000800 "), std::string::npos);
}

TEST_F(RunExeInfoTest, AnyWaitOtherThanOneStartsAndContinues) {
    startEngine();
    for (const char* wait : {"0", "2", "x"}) {
        EXPECT_TRUE(handler.HandleCommand({kHelper, "6", "0", wait}));
        EXPECT_TRUE(log.contains("RunProgramInfo: " + kHelper + " 6 ran.  (Error code 0)\r\n"));
        EXPECT_EQ(journal().back(), "CreateProcess \"" + kHelper +
                                        " 6\" dir \"C:\\tools\" show 8 flags 0x00000000 waited "
                                        "no");
    }
}

TEST_F(RunExeInfoTest, ProgramThatCannotStartIsNoFailureOfTheCommand) {
    startEngine();
    EXPECT_TRUE(handler.HandleCommand({"C:\\tools\\absent.exe", "", "0", "1"}));
    EXPECT_TRUE(log.contains("RunProgramInfo: C:\\tools\\absent.exe  returned 0 (error code 2)"));
    // Keywords are case-sensitive: this one is an ordinary (missing) program.
    EXPECT_TRUE(handler.HandleCommand({"driver_doc_prop"}));
    EXPECT_TRUE(log.contains("RunProgramInfo: driver_doc_prop  returned 0 (error code 2)"));
}

TEST_F(RunExeInfoTest, SilentModeSkipsOnlyCommandsNotMeantForIt) {
    startEngine("-S 1");
    EXPECT_TRUE(handler.HandleCommand({kHelper, "0", "0", "1", "WIN32", "0"}));
    EXPECT_TRUE(handler.HandleCommand({kHelper, "0", "0", "1", "WIN32", "2"}));
    EXPECT_TRUE(log.lines().empty());
    EXPECT_TRUE(journal().empty());
    EXPECT_TRUE(handler.HandleCommand({kHelper, "5"}));
    EXPECT_TRUE(handler.HandleCommand({kHelper, "5", "0", "1", "WIN32", "1"}));
    EXPECT_EQ(journal().size(), 2u);
}

TEST_F(RunExeInfoTest, DriverKeywordsOpenTheDriversDialogs) {
    addPrinter();
    startEngine();
    for (const char* keyword : {"DRIVER_DOC_PROP", "DRIVER_ADV_DOC_PROP", "DRIVER_PTR_PROP"})
        EXPECT_TRUE(handler.HandleCommand({keyword, "ignored"}));
    EXPECT_EQ(journal(),
              (std::vector<std::string>{"DocumentProperties \"Office Laser\" mode 4 shown",
                                        "AdvancedDocumentProperties \"Office Laser\" shown",
                                        "PrinterProperties \"Office Laser\" shown"}));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(RunExeInfoTest, DriverKeywordForAMissingPrinterLogsTheOpenFailure) {
    startEngine();
    EXPECT_TRUE(handler.HandleCommand({"DRIVER_PTR_PROP"}));
    EXPECT_EQ(log.lines(), std::vector<std::string>{
                               "RunAppInfo::runDriver: OpenPrinter of Office Laser failed with "
                               "code 1801"});
    EXPECT_TRUE(journal().empty());
}

class Win9xRunExeInfoTest : public RunExeInfoTest {
  protected:
    static sim::MachineOptions win98() {
        sim::MachineOptions options;
        options.os = "98";
        return options;
    }
    Win9xRunExeInfoTest() : RunExeInfoTest(win98()) {}
};

TEST_F(Win9xRunExeInfoTest, DriverKeywordsDoNothing) {
    addPrinter();
    startEngine();
    EXPECT_TRUE(handler.HandleCommand({"DRIVER_DOC_PROP"}));
    EXPECT_TRUE(log.lines().empty());
    EXPECT_TRUE(journal().empty());
}

}  // namespace
