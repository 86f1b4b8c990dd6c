// The start of every run, seen from outside: the built dadazado on a simulated machine.
#include <gtest/gtest.h>

#include <regex>

#include "platform/sim/registry_store.h"
#include "tests/support/program_run.h"
#include "tests/support/test_machine.h"

namespace {

constexpr const char* kSettingsKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel";

void setDebugLog(const std::string& windowsPath) {
    sim::registry::writeValue(kSettingsKey, "DadazadoDebug", 1 /* REG_SZ */,
                              windowsPath + std::string(1, '\0'));
}

class RunStart : public ::testing::Test {
  protected:
    void SetUp() override { machine.writeFile("C:\\Drivers\\oem.inf", "[Version]\r\n"); }

    std::vector<std::string> logLines() const {
        return splitLines(machine.readFile("C:\\flight.log"));
    }

    TestMachine machine;
};

TEST_F(RunStart, WritesHeaderTimeEmptyLineAndCommandLineAsReceived) {
    setDebugLog("C:\\flight.log");
    const ProgramResult result =
        runDadazado(machine.dir(), {"-N", "Office Laser", "-I", "C:\\Drivers\\oem.inf"});
    EXPECT_EQ(result.exitCode, 3) << result.standardError;  // the INF lists no manufacturer
    const std::vector<std::string> lines = logLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "---- Post install utility Flight Recorder ----");
    EXPECT_TRUE(std::regex_match(
        lines[1], std::regex(R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] \d\d:\d\d:\d\d \d{4})")))
        << lines[1];
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "Command line: -N \"Office Laser\" -I C:\\Drivers\\oem.inf");
    // Text mode on disk: every line ends in carriage return and line feed.
    EXPECT_NE(machine.readFile("C:\\flight.log").find("Flight Recorder ----\r\n"),
              std::string::npos);
}

TEST_F(RunStart, SilentOptionSwallowsTheNextWordSoNoPrinterIsNamed) {
    setDebugLog("C:\\flight.log");
    machine.writeFile("C:\\x.inf", "[Version]\r\n");
    const ProgramResult result = runDadazado(machine.dir(), {"-S", "-N", "Printer", "-I", "x.inf"});
    EXPECT_EQ(result.exitCode, 1);
    const std::vector<std::string> lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "parseCommandLine: no printer name specified.");
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("could not load INF"), std::string::npos);
}

TEST_F(RunStart, MissingInfFileEndsWithExitCodeOne) {
    setDebugLog("C:\\flight.log");
    const ProgramResult result =
        runDadazado(machine.dir(), {"-N", "Printer", "-I", "C:\\Drivers\\missing.inf"});
    EXPECT_EQ(result.exitCode, 1);
    const std::vector<std::string> lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "parseCommandLine: could not load INF: C:\\Drivers\\missing.inf");
}

TEST_F(RunStart, BothMessagesWhenNothingUsableIsGiven) {
    setDebugLog("C:\\flight.log");
    EXPECT_EQ(runDadazado(machine.dir(), {"/I", "x.inf"}).exitCode, 1);
    const std::vector<std::string> lines = logLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "parseCommandLine: could not load INF: ");
    EXPECT_EQ(lines.back(), "parseCommandLine: no printer name specified.");
}

TEST_F(RunStart, TwoRunsAppendTheirRecords) {
    setDebugLog("C:\\flight.log");
    runDadazado(machine.dir(), {"-N", "P"});
    runDadazado(machine.dir(), {"-N", "P"});
    int headers = 0;
    for (const std::string& line : logLines())
        headers += line == "---- Post install utility Flight Recorder ----";
    EXPECT_EQ(headers, 2);
}

TEST_F(RunStart, NoLogFileWithoutTheSettingOrInAMissingDirectory) {
    EXPECT_EQ(runDadazado(machine.dir(), {"-N", "P", "-I", "C:\\Drivers\\oem.inf"}).exitCode, 3);
    setDebugLog("C:\\NoSuchDir\\flight.log");
    EXPECT_EQ(runDadazado(machine.dir(), {"-N", "P", "-I", "C:\\Drivers\\oem.inf"}).exitCode, 3);
    EXPECT_FALSE(std::filesystem::exists(machine.host("C:\\flight.log")));
    EXPECT_FALSE(std::filesystem::exists(machine.host("C:\\NoSuchDir")));
}

TEST_F(RunStart, ALastLineWithoutLineFeedStillLandsAtExit) {
    const std::string helper = std::string(DADAZADO_TEST_HELPER_DIR) + "/log_tail_writer";
    const ProgramResult result =
        runProgram(helper, {machine.dir().string(), "C:\\tail.log", "no line feed here"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(machine.readFile("C:\\tail.log"), "no line feed here");
}

TEST(MachineRefusal, MalformedRegistryStopsTheRunAndLeavesTheFileAlone) {
    TestMachine machine;
    const std::filesystem::path registry = machine.dir() / "registry.reg";
    const std::string broken =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\r\n";
    writeHostFile(registry, broken);
    const ProgramResult result = runDadazado(machine.dir(), {"-N", "P"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.standardError.find("registry.reg:3"), std::string::npos)
        << result.standardError;
    EXPECT_EQ(readHostFile(registry), broken);
}

TEST(MachineRefusal, ADirectoryThatIsNoMachineIsNotTouched) {
    TestMachine scratch;
    const std::filesystem::path dir = scratch.dir() / "drive_c";
    const ProgramResult result = runDadazado(dir, {"-N", "P"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.standardError.find("no registry.reg"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "registry.reg"));
}

TEST(MachineRefusal, AMissingDirectoryBecomesAFreshMachine) {
    TestMachine scratch;
    const std::filesystem::path dir = scratch.dir() / "new-machine";
    EXPECT_EQ(runDadazado(dir, {"-N", "P"}).exitCode, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "registry.reg"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "drive_c" / "WINDOWS" / "system32"));
}

}  // namespace
