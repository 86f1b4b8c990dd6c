#include "support/system_path.h"

#include "platform/files.h"
#include "platform/spooler.h"
#include "platform/system_info.h"
#include "support/debug_log.h"
#include "support/os_info.h"
#include "support/registry.h"

namespace {

constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kDefaultUserShellFolders =
    ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kCommonShellFolders =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

constexpr const char* kDriverCab = "driver.CAB";
constexpr const char* kDriverCab32 = "driver32.CAB";

CStdStr readRegistryText(const char* root, const char* key, const char* valueName) {
    return Registry().ReadString(root, key, valueName);
}

CStdStr ancestorOf(const CStdStr& directory, int levels) {
    PathObject ancestor;
    ancestor.SetDir(directory);
    for (int level = 0; level < levels; ++level) ancestor = ancestor.GetParent();
    return ancestor.GetDir();
}

}  // namespace

SystemPath::SystemPath(int code, bool allUsers) { resolve(code, allUsers); }

void SystemPath::resolve(int code, bool allUsers) {
    switch (code) {
        case PROGRAM_GRANDPARENT_DIR:
            return resolveProgramDir(2);
        case COMMON_FILES_DIR:
            return resolveRegistryDir("HKLM", kCurrentVersionKey, "CommonFilesDir");
        case CURRENT_DIR:
            return SetDir(platform::getCurrentDirectory());
        case DESKTOP_DIR:
            return resolveShellFolder("Desktop", "Common Desktop", allUsers);
        case DRIVER_CAB_FILE:
            return resolveDriverCab();
        case DRIVER_CACHE_DIR:
            return resolveUnderWindows(OSInfo::current().is64Bit() ? "Driver Cache\\x64"
                                                                   : "Driver Cache\\i386");
        case DRIVER_CACHE_I386_DIR:
            return resolveUnderWindows("Driver Cache\\i386");
        case DRIVER_CACHE_AMD64_DIR:
            return resolveUnderWindows("Driver Cache\\amd64");
        case DRIVER_CACHE_X64_DIR:
            return resolveUnderWindows("Driver Cache\\x64");
        case FONTS_DIR:
            return resolveUnderWindows("Fonts");
        case PROGRAM_DIR:
            return resolveProgramDir(0);
        case PRINTER_DRIVER_DIR:
            return SetDir(platform::getPrinterDriverDirectory());
        case PRINTER_DRIVER_VERSION_DIR:
            return resolveDriverVersionDir();
        case PRINT_PROCESSOR_DIR:
            return SetDir(platform::getPrintProcessorDirectory());
        case PROGRAM_FILES_DIR:
            return resolveRegistryDir("HKLM", kCurrentVersionKey, "ProgramFilesDir");
        case SENDTO_DIR:
            return resolveRegistryDir("HKCU", kUserShellFolders, "SendTo");
        case SPOOL_DIR:
            return resolveSpoolerAncestor(2);
        case SPOOL_DRIVERS_DIR:
            return resolveSpoolerAncestor(1);
        case PROGRAMS_DIR:
            return resolveShellFolder("Programs", "Common Programs", allUsers);
        case SYSTEM_DIR:
            return SetDir(platform::getSystemDirectory());
        case INF_DIR:
            return resolveUnderWindows("Inf");
        case SYSTEM_DRIVE:
            return resolveSystemDrive();
        case TEMP_DIR:
            return SetDir(platform::getTempPath());
        case WINDOWS_DIR:
            return SetDir(platform::getWindowsDirectory());
        case WIN9X_SHARED_DRIVER_DIR:
            SetDir(ancestorOf(platform::getPrinterDriverDirectory(), 1));
            AppendDir("Win40");
            return AppendDir("0");
        case PRINTER_DRIVER_DIR_3:
            SetDir(platform::getPrinterDriverDirectory());
            return AppendDir("3");
        case PRINTER_DRIVER_DIR_2:
            SetDir(platform::getPrinterDriverDirectory());
            return AppendDir("2");
        case COMMON_APPDATA_DIR:
            return resolveRegistryDir("HKLM", kCommonShellFolders, "Common AppData");
        default:
            LogLine("SystemPath::ctor: invalid path code ", code);
            return;
    }
}

// The program's own directory, or one of its ancestors; the result names a directory.
void SystemPath::resolveProgramDir(int levelsUp) {
    PathObject program;
    program.SetFullPath(platform::getModuleFileName());
    SetDir(ancestorOf(program.GetDir(), levelsUp));
    SetFileName("");
}

// The cabinet of the operating system's own drivers. 64-bit editions keep it in one of two
// directories, and fall back to the 32-bit cabinet, which is taken without looking.
void SystemPath::resolveDriverCab() {
    if (!OSInfo::current().is64Bit()) {
        resolve(DRIVER_CACHE_DIR);
        SetFileName(kDriverCab);
        return;
    }
    resolve(DRIVER_CACHE_X64_DIR);
    SetFileName(kDriverCab);
    if (Exists()) return;
    resolve(DRIVER_CACHE_AMD64_DIR);
    if (Exists()) return;
    resolve(DRIVER_CACHE_I386_DIR);
    SetFileName(kDriverCab32);
}

void SystemPath::resolveShellFolder(const char* userValue, const char* allUsersValue,
                                    bool allUsers) {
    if (!allUsers) return resolveRegistryDir("HKCU", kUserShellFolders, userValue);
    if (OSInfo::current().isWin9x())
        return resolveRegistryDir("HKU", kDefaultUserShellFolders, userValue);
    resolveRegistryDir("HKLM", kCommonShellFolders, allUsersValue);
}

void SystemPath::resolveRegistryDir(const char* root, const char* key, const char* valueName) {
    SetDir(readRegistryText(root, key, valueName));
}

void SystemPath::resolveUnderWindows(const char* subDirectory) {
    SetDir(platform::getWindowsDirectory());
    AppendDir(subDirectory);
}

// Drivers of each spooler version live in their own sub-directory on the NT family.
void SystemPath::resolveDriverVersionDir() {
    SetDir(platform::getPrinterDriverDirectory());
    const OSInfo& os = OSInfo::current();
    if (os.getKind() == OSInfo::WinNT4)
        AppendDir("2");
    else if (os.isWin2000OrLater())
        AppendDir("3");
}

// On the NT family the driver directory sits below the spooler's own directories; the 9x
// family keeps everything in one place.
void SystemPath::resolveSpoolerAncestor(int levelsUpOnNT) {
    const int levels = OSInfo::current().isWinNT() ? levelsUpOnNT : 0;
    SetDir(ancestorOf(platform::getPrinterDriverDirectory(), levels));
}

void SystemPath::resolveSystemDrive() {
    const CStdStr windows = platform::getWindowsDirectory();
    const bool hasDrive = windows.size() >= 2 && windows[1] == ':';
    SetDir(hasDrive ? CStdStr(windows.substr(0, 2)) : CStdStr());
}
