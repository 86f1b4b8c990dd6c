// The simulated machine saves its registry at defined points only, and keeps the directory
// listings it resolves names against: both must never show a stale machine.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

namespace reg = sim::registry;
namespace fs = std::filesystem;

namespace {

constexpr const char* kKey = "HKLM\\SOFTWARE\\Deferred";

std::string registryText(const TestMachine& machine) {
    return readHostFile(machine.dir() / "registry.reg");
}

void writeText(const std::string& name, const std::string& text) {
    reg::writeValue(kKey, name, platform::kRegSz, text + '\0');
}

// Writes a value while the statics of a (forked) test process are torn down, after the
// registry's own end-of-process save has run: it was constructed before any registry loaded.
struct TeardownWriter {
    bool armed = false;
    ~TeardownWriter() {
        if (armed) writeText("Teardown", "late");
    }
} teardownWriter;

// Runs body in a forked copy of this process and returns its exit status.
template <typename Body>
int inChild(Body body) {
    std::fflush(nullptr);  // or the child would print the parent's pending output again
    const pid_t pid = fork();
    if (pid == 0) body();  // body ends the process
    int status = -1;
    waitpid(pid, &status, 0);
    return status;
}

// A host script the machine runs as a program: it runs command in the machine directory.
void installScript(const TestMachine& machine, const std::string& windowsPath,
                   const std::string& command) {
    machine.writeFile(windowsPath, "#!/bin/sh\ncd \"$WINSIM_MACHINE\" && " + command + "\n");
    fs::permissions(machine.host(windowsPath), fs::perms::owner_all, fs::perm_options::add);
}

uint32_t runAndWait(const std::string& commandLine) {
    platform::ProcessHandle child = nullptr;
    EXPECT_TRUE(platform::createProcess(commandLine, 0, platform::StartupInfo{}, &child));
    if (child == nullptr) return 999;
    EXPECT_EQ(platform::waitForProcess(child, platform::kInfinite), platform::kWaitObject0);
    uint32_t exitCode = 999;
    platform::getExitCodeProcess(child, &exitCode);
    platform::closeProcess(child);
    return exitCode;
}

bool exists(const std::string& windowsPath) {
    return platform::getFileAttributes(windowsPath) != platform::kInvalidFileAttributes;
}

bool createFile(const std::string& windowsPath) {
    std::FILE* file = platform::openFile(windowsPath, "wb");
    if (file == nullptr) return false;
    return std::fclose(file) == 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Registry saves

TEST(SimDeferredSave, ChangesReachTheFileAtFlushWholeAndOnlyThen) {
    TestMachine machine;
    const std::string before = registryText(machine);
    writeText("One", "first");
    reg::createKey("HKCU\\Deferred\\New");
    EXPECT_EQ(registryText(machine), before);
    reg::flush();
    const std::string saved = registryText(machine);
    EXPECT_NE(saved.find("\"One\"=\"first\""), std::string::npos);
    EXPECT_NE(saved.find("[HKEY_CURRENT_USER\\Deferred\\New]"), std::string::npos);
    EXPECT_FALSE(fs::exists(machine.dir() / "registry.reg.tmp"));
    reg::deleteValue(kKey, "One");
    reg::flush();
    EXPECT_EQ(registryText(machine).find("\"One\""), std::string::npos);
    // Loading the file again keeps what was not yet saved.
    writeText("Unsaved", "x");
    machine.reload();
    EXPECT_EQ(reg::readString(kKey, "Unsaved"), "x");
}

TEST(SimDeferredSave, OpeningAnotherMachineSavesThePreviousOne) {
    TestMachine first;
    writeText("Kept", "yes");
    const fs::path firstFile = first.dir() / "registry.reg";
    TestMachine second;
    EXPECT_NE(readHostFile(firstFile).find("\"Kept\"=\"yes\""), std::string::npos);
    EXPECT_EQ(reg::readString(kKey, "Kept"), "");
}

TEST(SimDeferredSave, TheProcessEndSavesEvenChangesMadeWhileStaticsAreTornDown) {
    TestMachine machine;
    const int returned = inChild([] {
        writeText("AtExit", "saved");
        teardownWriter.armed = true;
        std::exit(0);
    });
    ASSERT_TRUE(WIFEXITED(returned));
    const std::string saved = registryText(machine);
    EXPECT_NE(saved.find("\"AtExit\"=\"saved\""), std::string::npos);
    EXPECT_NE(saved.find("\"Teardown\"=\"late\""), std::string::npos);
}

TEST(SimDeferredSave, AKilledProcessLeavesTheLastFlushWhole) {
    TestMachine machine;
    const int status = inChild([] {
        writeText("Flushed", "a");
        reg::flush();
        writeText("Lost", "b");
        writeText("Flushed", "changed");
        _exit(0);  // as a kill: nothing runs at the end
    });
    ASSERT_TRUE(WIFEXITED(status));
    const std::string saved = registryText(machine);
    EXPECT_NE(saved.find("\"Flushed\"=\"a\""), std::string::npos);
    EXPECT_EQ(saved.find("\"Lost\""), std::string::npos);
    ASSERT_EQ(reg::load(machine.dir() / "registry.reg"), "");
}

TEST(SimDeferredSave, AProgramTheMachineStartsSeesTheChangesMadeBeforeIt) {
    TestMachine machine;
    installScript(machine, "C:\\tools\\copyreg.exe", "cp registry.reg seen.reg");
    writeText("ForTheChild", "visible");
    EXPECT_EQ(runAndWait("C:\\tools\\copyreg.exe"), 0u);
    EXPECT_NE(readHostFile(machine.dir() / "seen.reg").find("\"ForTheChild\"=\"visible\""),
              std::string::npos);
    writeText("ForTheCommand", "visible too");
    EXPECT_EQ(platform::runSystemCommand("cmd.exe /C C:\\tools\\copyreg.exe"), 0);
    EXPECT_NE(readHostFile(machine.dir() / "seen.reg").find("\"ForTheCommand\"=\"visible too\""),
              std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Directory listings

TEST(SimDirectoryListing, EntriesTheMachineMakesAreFoundInAnySpellingAtOnce) {
    TestMachine machine;
    ASSERT_TRUE(platform::createDirectory("C:\\Box"));
    EXPECT_FALSE(exists("C:\\box\\new.txt"));  // lists the directory
    ASSERT_TRUE(createFile("C:\\BOX\\New.Txt"));
    EXPECT_TRUE(exists("c:\\box\\NEW.TXT"));
    ASSERT_TRUE(platform::copyFile("C:\\box\\new.txt", "C:\\Box\\Copy.DAT", false));
    EXPECT_TRUE(exists("C:\\BOX\\copy.dat"));
    ASSERT_TRUE(platform::moveFile("C:\\box\\COPY.dat", "C:\\box\\Moved.Bin"));
    EXPECT_FALSE(exists("C:\\box\\copy.dat"));
    EXPECT_FALSE(exists("C:\\box\\COPY.DAT"));
    EXPECT_TRUE(exists("C:\\box\\moved.bin"));
    ASSERT_TRUE(platform::deleteFile("C:\\box\\MOVED.BIN"));
    EXPECT_FALSE(exists("C:\\box\\moved.bin"));
    ASSERT_TRUE(platform::createDirectory("C:\\box\\Inner"));
    EXPECT_TRUE(exists("C:\\BOX\\INNER"));
    std::string tempName;
    ASSERT_NE(platform::getTempFileName("C:\\box\\inner", "Tmp", 0, &tempName), 0u);
    EXPECT_TRUE(exists("C:\\BOX\\INNER\\" + tempName.substr(tempName.rfind('\\') + 1)));
}

TEST(SimDirectoryListing, AMovedOrRemovedDirectoryTakesItsListingsAlong) {
    TestMachine machine;
    ASSERT_TRUE(platform::createDirectory("C:\\Old"));
    ASSERT_TRUE(createFile("C:\\Old\\Inside.txt"));
    EXPECT_TRUE(exists("C:\\OLD\\inside.TXT"));
    ASSERT_TRUE(platform::moveFile("C:\\old", "C:\\New"));
    EXPECT_FALSE(exists("C:\\old\\inside.txt"));
    EXPECT_TRUE(exists("C:\\new\\INSIDE.txt"));
    ASSERT_TRUE(platform::deleteFile("C:\\new\\inside.txt"));
    ASSERT_TRUE(platform::removeDirectory("C:\\NEW"));
    ASSERT_TRUE(platform::createDirectory("C:\\Old"));
    EXPECT_FALSE(exists("C:\\old\\inside.txt"));
    ASSERT_TRUE(createFile("C:\\OLD\\Other.txt"));
    EXPECT_TRUE(exists("C:\\old\\other.TXT"));
}

TEST(SimDirectoryListing, ChangesMadeBehindTheMachinesBackAreSeen) {
    TestMachine machine;
    ASSERT_TRUE(platform::createDirectory("C:\\Shared"));
    EXPECT_FALSE(exists("C:\\shared\\made.txt"));
    installScript(machine, "C:\\tools\\make.exe",
                  "touch drive_c/Shared/Made.TXT && rm -f drive_c/Shared/Gone.txt");
    ASSERT_TRUE(createFile("C:\\Shared\\Gone.txt"));
    EXPECT_TRUE(exists("C:\\SHARED\\GONE.TXT"));
    EXPECT_EQ(runAndWait("C:\\tools\\make.exe"), 0u);
    EXPECT_TRUE(exists("C:\\shared\\MADE.txt"));
    EXPECT_FALSE(exists("C:\\shared\\gone.txt"));
    // The host writes directly, as a test or another program would.
    writeHostFile(machine.dir() / "drive_c" / "Shared" / "Host.Txt", "h");
    EXPECT_TRUE(exists("C:\\SHARED\\host.txt"));
    fs::remove(machine.dir() / "drive_c" / "Shared" / "Host.Txt");
    EXPECT_FALSE(exists("C:\\SHARED\\host.txt"));
}

TEST(SimDirectoryListing, NamesThatDifferOnlyInCaseOnTheHostStayResolvable) {
    TestMachine machine;
    ASSERT_TRUE(platform::createDirectory("C:\\Twins"));
    const fs::path dir = machine.dir() / "drive_c" / "Twins";
    writeHostFile(dir / "Twin.txt", "1");
    writeHostFile(dir / "TWIN.TXT", "2");
    EXPECT_TRUE(exists("C:\\twins\\twin.TXT"));
    ASSERT_TRUE(platform::deleteFile("C:\\twins\\Twin.txt"));
    EXPECT_TRUE(exists("C:\\twins\\twin.TXT"));
    ASSERT_TRUE(platform::deleteFile("C:\\twins\\TWIN.TXT"));
    EXPECT_FALSE(exists("C:\\twins\\twin.TXT"));
}
