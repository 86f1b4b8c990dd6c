#include "support/launcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/files.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "tests/support/registry_data.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;

class LauncherTest : public ::testing::Test {
  protected:
    explicit LauncherTest(const sim::MachineOptions& options = {}) : machine(options) {
        installHelper("C:\\tools\\exit_with.exe");
        platform::setCurrentDirectory("C:\\");
    }

    void installHelper(const std::string& windowsPath) const {
        fs::create_directories(machine.host(windowsPath).parent_path());
        fs::copy_file(fs::path(DADAZADO_TEST_HELPER_DIR) / "exit_with", machine.host(windowsPath),
                      fs::copy_options::overwrite_existing);
    }

    std::vector<std::string> journal() const {
        return splitLines(readHostFile(machine.dir() / "journal.log"));
    }
    std::string lastJournalLine() const {
        const auto lines = journal();
        return lines.empty() ? std::string() : lines.back();
    }

    // What the helper in this directory recorded; waits for it when it was not waited for.
    std::vector<std::string> record(const std::string& windowsDir) const {
        const fs::path file = machine.host(windowsDir + "\\exit_with.out");
        for (int i = 0; i < 500 && !fs::exists(file); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return splitLines(readHostFile(file));
    }

    void fault(const std::string& name, uint32_t error) const {
        sim::registry::writeValue(sim::kFaultsKey, name, kRegDword, dword(error));
    }

    TestMachine machine;
    LogCapture log;
    uint32_t exitCode = 99;
};

TEST_F(LauncherTest, EmptyCommandLineIsRefusedWithoutStartingAnything) {
    EXPECT_EQ(launchAndWait("", false, exitCode, true, nullptr, 0, 0, false), 87u);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(launchNoWait(nullptr, true, nullptr, 0, 0), 87u);
    EXPECT_TRUE(journal().empty());
}

TEST_F(LauncherTest, BlankCommandLineFailsAtCreationWithoutChangingDirectory) {
    EXPECT_EQ(launchAndWait("   ", false, exitCode, true, nullptr, 0, 0, false), 2u);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(platform::getCurrentDirectory(), "C:\\");
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(lastJournalLine(),
              "CreateProcess \"   \" dir \"C:\\\" show 8 flags 0x00000000 failed with error 2");
}

TEST_F(LauncherTest, WaitedProgramGetsWindowsArgumentsItsDirectoryAndExitCode) {
    const char* line = "C:\\tools\\exit_with.exe 7 \"two words\" a\\\"b c:\\dir\\";
    EXPECT_EQ(launchAndWait(line, false, exitCode, true, nullptr, 0, 0x28, false), 0u);
    EXPECT_EQ(exitCode, 7u);
    EXPECT_EQ(record("C:\\tools"),
              (std::vector<std::string>{"cwd=" + machine.host("C:\\tools").string(),
                                        "machine=" + machine.dir().string(), "arg=7",
                                        "arg=two words", "arg=a\"b", "arg=c:\\dir\\"}));
    EXPECT_EQ(lastJournalLine(), std::string("CreateProcess \"") + line +
                                     "\" dir \"C:\\tools\" show 8 flags 0x00000028 waited yes "
                                     "exit 7");
    EXPECT_EQ(platform::getCurrentDirectory(), "C:\\");
}

TEST_F(LauncherTest, QuotedProgramWithBlanksNamesItsDirectory) {
    installHelper("C:\\Program Files\\My Tool\\exit_with.exe");
    EXPECT_EQ(launchAndWait("\"C:\\Program Files\\My Tool\\exit_with.exe\" 3", false, exitCode,
                            true, nullptr, 5, 0, false),
              0u);
    EXPECT_EQ(exitCode, 3u);
    EXPECT_EQ(record("C:\\Program Files\\My Tool")[0],
              "cwd=" + machine.host("C:\\Program Files\\My Tool").string());
    EXPECT_NE(lastJournalLine().find("dir \"C:\\Program Files\\My Tool\" show 5 "),
              std::string::npos);
}

TEST_F(LauncherTest, WithoutChangeDirTheProgramRunsInTheCurrentDirectory) {
    ASSERT_TRUE(platform::setCurrentDirectory("C:\\WINDOWS"));
    EXPECT_EQ(launchAndWait("C:\\tools\\exit_with 0", false, exitCode, false, nullptr, 0, 0, false),
              0u);
    EXPECT_EQ(record("C:\\tools")[0], "cwd=" + machine.host("C:\\WINDOWS").string());
    EXPECT_EQ(platform::getCurrentDirectory(), "C:\\WINDOWS");
}

TEST_F(LauncherTest, ProgramsThatCannotStartReportTheCreationError) {
    EXPECT_EQ(launchAndWait("C:\\tools\\absent.exe", false, exitCode, true, nullptr, 0, 0, false),
              2u);
    machine.writeFile("C:\\tools\\data.exe", "not a program");
    EXPECT_EQ(launchAndWait("C:\\tools\\data.exe", false, exitCode, true, nullptr, 0, 0, false),
              193u);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(launchNoWait("C:\\nodir\\x.exe", true, nullptr, 0, 0), 2u);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"Launch:LaunchProgram: could not change dirs to C:\\nodir",
                                        "\tError code 2"}));
    EXPECT_EQ(platform::getCurrentDirectory(), "C:\\");
}

// 32,767 characters with the terminating null is the most the system takes.
TEST_F(LauncherTest, CommandLineLongerThanTheSystemTakesIsRefused) {
    const std::string program = "C:\\tools\\exit_with.exe 3 ";
    const std::string longest = program + std::string(32766 - program.size(), 'x');
    EXPECT_EQ(launchAndWait(longest.c_str(), false, exitCode, false, nullptr, 0, 0, false), 0u);
    EXPECT_EQ(exitCode, 3u);
    EXPECT_EQ(launchAndWait((longest + "x").c_str(), false, exitCode, false, nullptr, 0, 0, false),
              206u);
}

TEST_F(LauncherTest, NoWaitReturnsWhileTheProgramStillRuns) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(launchNoWait("C:\\tools\\exit_with.exe 4 --sleep-ms=1500", true, nullptr, 0, 0), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
    EXPECT_EQ(lastJournalLine(),
              "CreateProcess \"C:\\tools\\exit_with.exe 4 --sleep-ms=1500\" dir \"C:\\tools\" "
              "show 8 flags 0x00000000 waited no");
    EXPECT_EQ(record("C:\\tools").back(), "arg=--sleep-ms=1500");
}

class TickCounter : public Launcher {
  public:
    void onWaitTick() override { ++ticks; }
    int ticks = 0;
};

TEST_F(LauncherTest, PumpingWaitTicksOncePerSecondUntilTheEnd) {
    TickCounter launcher;
    uint32_t errorCode = 99;
    launcher.LaunchProgram("C:\\tools\\exit_with.exe 9 --sleep-ms=1300", true, true, true, nullptr,
                           0, 0, errorCode, exitCode, true);
    EXPECT_EQ(errorCode, 0u);
    EXPECT_EQ(exitCode, 9u);
    EXPECT_EQ(launcher.ticks, 1);
}

TEST_F(LauncherTest, InjectedFaultsAreReported) {
    fault("CreateProcess|*exit_with*", 5);
    EXPECT_EQ(
        launchAndWait("C:\\tools\\exit_with.exe 1", false, exitCode, true, nullptr, 0, 0, false),
        5u);
    sim::registry::deleteValue(sim::kFaultsKey, "CreateProcess|*exit_with*");
    // A wait that fails leaves the program's end unknown: no exit code, the wait's error.
    fault("WaitForSingleObject", 6);
    EXPECT_EQ(
        launchAndWait("C:\\tools\\exit_with.exe 1", false, exitCode, true, nullptr, 0, 0, false),
        6u);
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(LauncherTest, TokenStartsTheProgramAsThatUser) {
    int tokenStorage = 0;
    EXPECT_EQ(launchAndWait("C:\\tools\\exit_with.exe 2", false, exitCode, true, &tokenStorage, 0,
                            0, false),
              0u);
    EXPECT_EQ(exitCode, 2u);
    EXPECT_EQ(lastJournalLine().rfind("CreateProcessAsUser \"C:\\tools\\exit_with.exe 2\"", 0), 0u);
}

TEST_F(LauncherTest, BatchFileRunsThroughCmdWithTheLineQuoted) {
    machine.writeFile("C:\\pkg\\setup.bat", "@echo off\r\n");
    EXPECT_EQ(
        launchAndWait("C:\\pkg\\setup.bat /q", false, exitCode, true, nullptr, 0, 0x28, false), 0u);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(journal(), (std::vector<std::string>{
                             "batch file \"C:\\pkg\\setup.bat\" arguments \"/q\" not "
                             "interpreted, exit 0",
                             "system \"C:\\WINDOWS\\system32\\cmd.exe /C \"C:\\pkg\\setup.bat "
                             "/q\"\" exit 0"}));
}

TEST_F(LauncherTest, CommandInterpreterRunsAProgramAndReturnsItsExitCode) {
    EXPECT_EQ(platform::runSystemCommand("cmd.exe /C \"C:\\tools\\exit_with.exe 5\""), 5);
    EXPECT_EQ(platform::runSystemCommand("C:\\pkg\\missing.bat"), 1);
    EXPECT_EQ(journal().back(), "system \"C:\\pkg\\missing.bat\" exit 1");
}

class Win9xLauncherTest : public LauncherTest {
  protected:
    static sim::MachineOptions win98() {
        sim::MachineOptions options;
        options.os = "98";
        return options;
    }
    Win9xLauncherTest() : LauncherTest(win98()) {}
};

TEST_F(Win9xLauncherTest, BatchFileRunsThroughCommandComUnquoted) {
    machine.writeFile("C:\\pkg\\SETUP.BAT", "@echo off\r\n");
    EXPECT_EQ(launchAndWait("C:\\pkg\\SETUP.BAT /q", false, exitCode, true, nullptr, 0, 0, false),
              0u);
    EXPECT_EQ(journal().back(),
              "system \"C:\\WINDOWS\\Command.com /C C:\\pkg\\SETUP.BAT /q\" exit 0");
}

}  // namespace
