#pragma once

#include <cstdint>

#include "support/cstd_str.h"

// Which Windows this is, read from the registry (never from a version API). The run asks
// current(), which reads the registry once; a constructed object reads it again.
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

    // The system the run is on: identified at the first call after forget(), then kept.
    static const OSInfo& current();
    // The next current() identifies the system again: a new run, or another machine.
    static void forget();

    int getKind() const { return kind; }
    bool isWin9x() const;
    bool isWinNT() const;
    bool isWin2000OrLater() const;
    bool is64Bit() const { return is64; }
    int getServicePack() const { return servicePack; }
    int getMajorVersion() const { return majorVersion; }
    int getMinorVersion() const { return minorVersion; }
    // Whether a printer driver of this spooler version suits this system: any on the 9x
    // family, version 3 on Windows 2000 and later, version 2 on NT 4.0.
    bool isDriverForThisOS(uint32_t version) const;

    void initialize();

  private:
    // Both return the kind and fill major and minor; the NT one also reads the service pack.
    int32_t identifyWin9x(const CStdStr& version, int32_t& major, int32_t& minor);
    int32_t identifyNT(const CStdStr& version, int32_t& major, int32_t& minor);
    void readServicePack();

    int32_t kind = Unidentified;
    int32_t servicePack = 0;
    int32_t majorVersion = 0;
    int32_t minorVersion = 0;
    bool is64 = false;
};
