#pragma once

#include "support/path_object.h"

// A well-known directory of the running system, made from a numeric path code and then used
// as an ordinary path. A failed lookup leaves an empty or partial directory part; callers test
// the result themselves.
class SystemPath : public PathObject {
  public:
    enum PathCode : int {
        PROGRAM_GRANDPARENT_DIR = 0,
        COMMON_FILES_DIR = 1,
        CURRENT_DIR = 2,
        DESKTOP_DIR = 3,
        DRIVER_CAB_FILE = 4,
        DRIVER_CACHE_DIR = 5,
        DRIVER_CACHE_I386_DIR = 6,
        DRIVER_CACHE_AMD64_DIR = 7,
        DRIVER_CACHE_X64_DIR = 8,
        FONTS_DIR = 9,
        PROGRAM_DIR = 10,
        PRINTER_DRIVER_DIR = 11,
        PRINTER_DRIVER_VERSION_DIR = 12,
        PRINT_PROCESSOR_DIR = 13,
        PROGRAM_FILES_DIR = 14,
        SENDTO_DIR = 15,
        SPOOL_DIR = 16,
        SPOOL_DRIVERS_DIR = 17,
        PROGRAMS_DIR = 18,
        SYSTEM_DIR = 19,
        INF_DIR = 20,
        SYSTEM_DRIVE = 21,
        TEMP_DIR = 22,
        WINDOWS_DIR = 23,
        WIN9X_SHARED_DRIVER_DIR = 24,
        PRINTER_DRIVER_DIR_3 = 25,
        PRINTER_DRIVER_DIR_2 = 26,
        COMMON_APPDATA_DIR = 27,
    };

    // allUsers chooses the all-users desktop and programs folders (codes 3 and 18).
    explicit SystemPath(int code, bool allUsers = true);

    // Overwrites the directory part (and for codes 0, 4 and 10 the file-name part too).
    void resolve(int code, bool allUsers = true);

  private:
    void resolveProgramDir(int levelsUp);
    void resolveDriverCab();
    void resolveShellFolder(const char* userValue, const char* allUsersValue, bool allUsers);
    void resolveRegistryDir(const char* root, const char* key, const char* valueName);
    void resolveUnderWindows(const char* subDirectory);
    void resolveDriverVersionDir();
    void resolveSpoolerAncestor(int levelsUpOnNT);
    void resolveSystemDrive();
};
