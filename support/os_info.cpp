#include "support/os_info.h"

#include <optional>

#include "support/debug_log.h"
#include "support/registry_reads.h"

namespace {

constexpr const char* kWin9xKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kNtKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kWow64Key = "Software\\Wow6432Node";

// "4.10.2222" gives 4 and 10; a missing field gives 0, and each field reads like atoi.
void splitVersion(const CStdStr& version, int32_t& major, int32_t& minor) {
    const size_t dot = version.find('.');
    major = cstd::atoi(std::string_view(version).substr(0, dot));
    minor = dot == CStdStr::npos ? 0 : cstd::atoi(std::string_view(version).substr(dot + 1));
}

// The local computer's registry: the only one identified.
CStdStr readMachineString(const char* key, const char* valueName) {
    return registry_reads::readString(
        platform::predefinedKey(platform::PredefinedKey::LocalMachine), key, valueName);
}

// What current() found, until forget().
std::optional<OSInfo>& identified() {
    static std::optional<OSInfo> system;
    return system;
}

// "Service Pack 3, v.3311" gives 3: the number is the last word before any comma.
int32_t servicePackNumber(CStdStr text) {
    const size_t comma = text.find(',');
    if (comma != CStdStr::npos) text.erase(comma);
    const size_t blank = text.rfind(' ');
    const CStdStr lastWord = blank == CStdStr::npos ? text : CStdStr(text.substr(blank + 1));
    return lastWord.empty() ? 0 : cstd::atoi(lastWord);
}

}  // namespace

OSInfo::OSInfo() { initialize(); }

const OSInfo& OSInfo::current() {
    if (!identified()) identified().emplace();
    return *identified();
}

void OSInfo::forget() { identified().reset(); }

bool OSInfo::isDriverForThisOS(uint32_t version) const {
    if (isWin9x()) return true;
    if (isWin2000OrLater()) return version == 3;
    return kind == WinNT4 && version == 2;
}

bool OSInfo::isWin9x() const { return kind >= Win95 && kind <= WinME; }

bool OSInfo::isWinNT() const {
    return kind == WinNT4 || kind == Win2000 || kind == Win2003 || kind == WinXP || kind == Vista;
}

bool OSInfo::isWin2000OrLater() const {
    return kind == Win2000 || kind == Win2003 || kind == WinXP || kind == Vista;
}

void OSInfo::initialize() {
    int32_t major = 0;
    int32_t minor = 0;
    const CStdStr win9xVersion = readMachineString(kWin9xKey, "VersionNumber");
    if (!win9xVersion.empty()) {
        kind = identifyWin9x(win9xVersion, major, minor);
    } else {
        const CStdStr ntVersion = readMachineString(kNtKey, "CurrentVersion");
        if (ntVersion.empty())
            LogLine("OSInfo::initialize: could not locate version info in the registry!");
        else
            kind = identifyNT(ntVersion, major, minor);
    }
    majorVersion = major;
    minorVersion = minor;
}

int32_t OSInfo::identifyWin9x(const CStdStr& version, int32_t& major, int32_t& minor) {
    splitVersion(version, major, minor);
    if (major != 4) {
        LogLine("OSInfo::initialize: invalid 9X version (major: ", major, ", minor: ", minor, ")");
        return Unidentified;
    }
    if (minor >= 90) return WinME;
    if (minor < 10) return Win95;
    const CStdStr subVersion = readMachineString(kWin9xKey, "SubVersionNumber");
    return subVersion.Trimmed().EqualsNoCase("A") ? Win98SE : Win98;
}

int32_t OSInfo::identifyNT(const CStdStr& version, int32_t& major, int32_t& minor) {
    splitVersion(version, major, minor);
    int32_t identified = Unidentified;
    switch (major) {
        case 4:
            identified = WinNT4;
            break;
        case 5:
            if (minor == 0) identified = Win2000;
            if (minor == 1) identified = WinXP;
            if (minor == 2) identified = Win2003;
            // 64-bit editions of this generation are told apart by their 32-bit view.
            is64 = registry_reads::keyExists(
                platform::predefinedKey(platform::PredefinedKey::LocalMachine), kWow64Key);
            break;
        case 6:
            identified = Vista;
            break;
        default:
            LogLine("OSInfo::initialize: invalid NT version (major: ", major, ", minor ", minor,
                    ")");
            return Unidentified;
    }
    readServicePack();
    return identified;
}

void OSInfo::readServicePack() {
    const CStdStr csdVersion = readMachineString(kNtKey, "CSDVersion");
    if (!csdVersion.empty()) servicePack = servicePackNumber(csdVersion);
}
