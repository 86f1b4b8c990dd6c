#include "support/system_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/os_keys.h"
#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

namespace {

constexpr const char* kHklmShellFolders =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kHkcuShellFolders =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kDefaultUserShellFolders =
    "HKEY_USERS\\.Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void setText(const std::string& key, const char* name, const std::string& text) {
    sim::registry::writeValue(key, name, platform::kRegSz, text + std::string(1, '\0'));
}

std::string dirOf(int code, bool allUsers = true) { return SystemPath(code, allUsers).GetDir(); }

TEST(SystemPath, EveryCodeOnXP) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    LogCapture log;
    setText(sim::kWinSimKey, "ModuleFileName", "C:\\A\\B\\C\\dadazado.exe");
    ASSERT_TRUE(platform::setCurrentDirectory("C:\\WINDOWS\\Fonts"));
    const std::pair<int, const char*> cases[] = {
        {SystemPath::PROGRAM_GRANDPARENT_DIR, "C:\\A"},
        {SystemPath::COMMON_FILES_DIR, "C:\\Program Files\\Common Files"},
        {SystemPath::CURRENT_DIR, "C:\\WINDOWS\\Fonts"},
        {SystemPath::DESKTOP_DIR, "C:\\Documents and Settings\\All Users\\Desktop"},
        {SystemPath::DRIVER_CAB_FILE, "C:\\WINDOWS\\Driver Cache\\i386"},
        {SystemPath::DRIVER_CACHE_DIR, "C:\\WINDOWS\\Driver Cache\\i386"},
        {SystemPath::DRIVER_CACHE_I386_DIR, "C:\\WINDOWS\\Driver Cache\\i386"},
        {SystemPath::DRIVER_CACHE_AMD64_DIR, "C:\\WINDOWS\\Driver Cache\\amd64"},
        {SystemPath::DRIVER_CACHE_X64_DIR, "C:\\WINDOWS\\Driver Cache\\x64"},
        {SystemPath::FONTS_DIR, "C:\\WINDOWS\\Fonts"},
        {SystemPath::PROGRAM_DIR, "C:\\A\\B\\C"},
        {SystemPath::PRINTER_DRIVER_DIR, "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86"},
        {SystemPath::PRINTER_DRIVER_VERSION_DIR,
         "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3"},
        {SystemPath::PRINT_PROCESSOR_DIR, "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86"},
        {SystemPath::PROGRAM_FILES_DIR, "C:\\Program Files"},
        {SystemPath::SENDTO_DIR, "C:\\Documents and Settings\\Administrator\\SendTo"},
        {SystemPath::SPOOL_DIR, "C:\\WINDOWS\\system32\\spool"},
        {SystemPath::SPOOL_DRIVERS_DIR, "C:\\WINDOWS\\system32\\spool\\drivers"},
        {SystemPath::PROGRAMS_DIR, "C:\\Documents and Settings\\All Users\\Start Menu\\Programs"},
        {SystemPath::SYSTEM_DIR, "C:\\WINDOWS\\system32"},
        {SystemPath::INF_DIR, "C:\\WINDOWS\\Inf"},
        {SystemPath::SYSTEM_DRIVE, "C:"},
        {SystemPath::TEMP_DIR, "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp"},
        {SystemPath::WINDOWS_DIR, "C:\\WINDOWS"},
        {SystemPath::WIN9X_SHARED_DRIVER_DIR, "C:\\WINDOWS\\system32\\spool\\drivers\\Win40\\0"},
        {SystemPath::PRINTER_DRIVER_DIR_3, "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3"},
        {SystemPath::PRINTER_DRIVER_DIR_2, "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\2"},
        {SystemPath::COMMON_APPDATA_DIR, "C:\\Documents and Settings\\All Users\\Application Data"},
    };
    for (const auto& [code, expected] : cases) {
        SCOPED_TRACE(code);
        const SystemPath path(code);
        EXPECT_EQ(path.GetDir(), expected);
        EXPECT_EQ(path.GetFileName(), code == SystemPath::DRIVER_CAB_FILE ? "driver.CAB" : "");
    }
    EXPECT_EQ(log.text(), "");
}

TEST(SystemPath, DriverDirectoriesFollowTheOsFamily) {
    struct Case {
        const char* os;
        const char* versionDir;
        const char* spoolDir;
        const char* spoolDriversDir;
    };
    const Case cases[] = {
        {"NT4", "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\2", "C:\\WINDOWS\\system32\\spool",
         "C:\\WINDOWS\\system32\\spool\\drivers"},
        {"2000", "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3", "C:\\WINDOWS\\system32\\spool",
         "C:\\WINDOWS\\system32\\spool\\drivers"},
        {"Vista", "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3",
         "C:\\WINDOWS\\system32\\spool", "C:\\WINDOWS\\system32\\spool\\drivers"},
        {"98", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\SYSTEM"},
        {"ME", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\SYSTEM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.os);
        TestMachine machine(sim::MachineOptions{.os = c.os});
        EXPECT_EQ(dirOf(SystemPath::PRINTER_DRIVER_VERSION_DIR), c.versionDir);
        EXPECT_EQ(dirOf(SystemPath::SPOOL_DIR), c.spoolDir);
        EXPECT_EQ(dirOf(SystemPath::SPOOL_DRIVERS_DIR), c.spoolDriversDir);
    }
}

TEST(SystemPath, DriverCabinetOn64BitSystems) {
    TestMachine machine(sim::MachineOptions{.os = "2003", .is64Bit = true});
    EXPECT_EQ(dirOf(SystemPath::DRIVER_CACHE_DIR), "C:\\WINDOWS\\Driver Cache\\x64");

    // Neither 64-bit cabinet exists: the 32-bit one is taken without looking.
    SystemPath fallback(SystemPath::DRIVER_CAB_FILE);
    EXPECT_EQ(fallback.GetFullPath(), "C:\\WINDOWS\\Driver Cache\\i386\\driver32.CAB");
    EXPECT_FALSE(fallback.Exists());

    machine.writeFile("C:\\WINDOWS\\Driver Cache\\amd64\\driver.cab", "cab");
    EXPECT_EQ(SystemPath(SystemPath::DRIVER_CAB_FILE).GetFullPath(),
              "C:\\WINDOWS\\Driver Cache\\amd64\\driver.CAB");

    machine.writeFile("C:\\WINDOWS\\Driver Cache\\x64\\driver.cab", "cab");
    EXPECT_EQ(SystemPath(SystemPath::DRIVER_CAB_FILE).GetFullPath(),
              "C:\\WINDOWS\\Driver Cache\\x64\\driver.CAB");
}

TEST(SystemPath, DriverCabinetOn32BitSystemsIsNotLookedFor) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    machine.writeFile("C:\\WINDOWS\\Driver Cache\\x64\\driver.cab", "cab");
    EXPECT_EQ(SystemPath(SystemPath::DRIVER_CAB_FILE).GetFullPath(),
              "C:\\WINDOWS\\Driver Cache\\i386\\driver.CAB");
}

TEST(SystemPath, SystemDriveIsTheWindowsDrive) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    EXPECT_EQ(SystemPath(SystemPath::SYSTEM_DRIVE).GetFullPath(), "C:");
    setText(sim::kNtVersionKey, "SystemRoot", "D:\\WINNT");
    EXPECT_EQ(SystemPath(SystemPath::SYSTEM_DRIVE).GetFullPath(), "D:");
    EXPECT_EQ(dirOf(SystemPath::WINDOWS_DIR), "D:\\WINNT");
}

TEST(SystemPath, ShellFoldersForTheUserOrEveryone) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    setText(kHkcuShellFolders, "Desktop", "C:\\Mine\\Desktop");
    setText(kHkcuShellFolders, "Programs", "C:\\Mine\\Programs");
    setText(kHklmShellFolders, "Common Desktop", "C:\\Ours\\Desktop");
    setText(kHklmShellFolders, "Common Programs", "C:\\Ours\\Programs");
    EXPECT_EQ(dirOf(SystemPath::DESKTOP_DIR, false), "C:\\Mine\\Desktop");
    EXPECT_EQ(dirOf(SystemPath::PROGRAMS_DIR, false), "C:\\Mine\\Programs");
    EXPECT_EQ(dirOf(SystemPath::DESKTOP_DIR, true), "C:\\Ours\\Desktop");
    EXPECT_EQ(dirOf(SystemPath::PROGRAMS_DIR, true), "C:\\Ours\\Programs");

    // Neither 9x nor NT: everyone's folders are those of the NT family.
    sim::registry::deleteValue(sim::kNtVersionKey, "CurrentVersion");
    EXPECT_EQ(dirOf(SystemPath::DESKTOP_DIR, true), "C:\\Ours\\Desktop");
}

TEST(SystemPath, ShellFoldersForEveryoneOnWin9xAreTheDefaultUsers) {
    TestMachine machine(sim::MachineOptions{.os = "98"});
    setText(kHkcuShellFolders, "Desktop", "C:\\Mine\\Desktop");
    setText(kDefaultUserShellFolders, "Desktop", "C:\\Default\\Desktop");
    setText(kDefaultUserShellFolders, "Programs", "C:\\Default\\Programs");
    EXPECT_EQ(dirOf(SystemPath::DESKTOP_DIR, true), "C:\\Default\\Desktop");
    EXPECT_EQ(dirOf(SystemPath::PROGRAMS_DIR, true), "C:\\Default\\Programs");
    EXPECT_EQ(dirOf(SystemPath::DESKTOP_DIR, false), "C:\\Mine\\Desktop");
}

TEST(SystemPath, MissingValueGivesAnEmptyDirectory) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    LogCapture log;
    sim::registry::deleteValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                               "ProgramFilesDir");
    EXPECT_EQ(SystemPath(SystemPath::PROGRAM_FILES_DIR).GetFullPath(), "");
    EXPECT_EQ(log.text(), "");
}

TEST(SystemPath, InvalidCodesAreLogged) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    LogCapture log;
    EXPECT_EQ(SystemPath(28).GetFullPath(), "");
    EXPECT_EQ(SystemPath(-1).GetFullPath(), "");
    SystemPath kept(SystemPath::WINDOWS_DIR);
    kept.resolve(1000);
    EXPECT_EQ(kept.GetDir(), "C:\\WINDOWS");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"SystemPath::ctor: invalid path code 28",
                                                     "SystemPath::ctor: invalid path code -1",
                                                     "SystemPath::ctor: invalid path code 1000"}));
}

TEST(SystemPath, ResolveKeepsTheFileNameExceptForProgramPaths) {
    TestMachine machine(sim::MachineOptions{.os = "XP"});
    setText(sim::kWinSimKey, "ModuleFileName", "C:\\Tools\\dadazado.exe");
    SystemPath path(SystemPath::WINDOWS_DIR);
    path.SetFileName("win.ini");
    path.resolve(SystemPath::FONTS_DIR);
    EXPECT_EQ(path.GetFullPath(), "C:\\WINDOWS\\Fonts\\win.ini");
    path.resolve(SystemPath::PROGRAM_DIR);
    EXPECT_EQ(path.GetFullPath(), "C:\\Tools");
    path.SetFileName("x.dll");
    path.resolve(SystemPath::PROGRAM_GRANDPARENT_DIR);  // no higher than the drive root
    EXPECT_EQ(path.GetFullPath(), "C:");
    path.SetFileName("x.dll");
    path.resolve(SystemPath::DRIVER_CAB_FILE);
    EXPECT_EQ(path.GetFullPath(), "C:\\WINDOWS\\Driver Cache\\i386\\driver.CAB");
}

}  // namespace
