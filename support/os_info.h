#pragma once

#include <cstdint>

#include "support/cstd_str.h"

class Registry;

// Which Windows this is, read from the registry (never from a version API). Callers construct
// one where they need it; every construction reads the registry again.
class OSInfo {
  public:
    // The numbers are the stored values.
    enum OsKind : int32_t {
        Unidentified = -1,
        Win95 = 0,
        Win98 = 1,
        Win98SE = 2,
        WinME = 3,
        WinNT4 = 4,
        Win2000 = 5,
        Win2003 = 6,
        WinXP = 7,
        Vista = 9,
    };

    OSInfo();

    int getKind() const { return kind; }
    bool isWin9x() const;
    bool isWinNT() const;
    bool isWin2000OrLater() const;
    bool is64Bit() const { return is64; }
    int getServicePack() const { return servicePack; }
    int getMajorVersion() const { return majorVersion; }
    int getMinorVersion() const { return minorVersion; }

    void initialize();

  private:
    // Both return the kind and fill major and minor; the NT one also reads the service pack.
    int32_t identifyWin9x(Registry& registry, const CStdStr& version, int32_t& major,
                          int32_t& minor);
    int32_t identifyNT(Registry& registry, const CStdStr& version, int32_t& major, int32_t& minor);
    void readServicePack(Registry& registry);

    int32_t kind = Unidentified;
    int32_t servicePack = 0;
    CStdStr machine;
    int32_t majorVersion = 0;
    int32_t minorVersion = 0;
    bool is64 = false;
};
