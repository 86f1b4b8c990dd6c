#include "platform/system_info.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/locale_table.h"
#include "platform/sim/machine.h"
#include "platform/sim/names.h"
#include "platform/sim/os_keys.h"
#include "platform/sim/registry_store.h"

namespace sim {

bool isWin9xMachine() { return !registry::readString(kWin9xVersionKey, "VersionNumber").empty(); }

namespace {

std::string environmentValue(const std::string& name) {
    if (equalsIgnoringCase(name, "SystemRoot") || equalsIgnoringCase(name, "windir"))
        return platform::getWindowsDirectory();
    if (equalsIgnoringCase(name, "SystemDrive"))
        return platform::getWindowsDirectory().substr(0, 2);
    for (const char* key :
         {"HKEY_CURRENT_USER\\Volatile Environment", "HKEY_CURRENT_USER\\Environment",
          "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment"}) {
        const std::string value = registry::readString(key, name);
        if (!value.empty()) return value;
    }
    return {};
}

}  // namespace

std::string expandEnvironment(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find('%', i);
        const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) break;
        const std::string name = text.substr(open + 1, close - open - 1);
        const std::string value = name.empty() ? std::string() : environmentValue(name);
        out += text.substr(i, open - i);
        if (value.empty()) {
            out += text.substr(open, close - open);  // keep "%name" and retry from the second %
            i = close;
            continue;
        }
        out += value;
        i = close + 1;
    }
    return out + text.substr(i);
}

}  // namespace sim

namespace platform {

namespace {

std::string withTrailingBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

}  // namespace

std::string getWindowsDirectory() {
    for (const char* key : {sim::kNtVersionKey, sim::kWin9xVersionKey}) {
        std::string root = sim::registry::readString(key, "SystemRoot");
        while (root.size() > 3 && root.back() == '\\') root.pop_back();
        if (!root.empty()) return root;
    }
    return "C:\\WINDOWS";
}

std::string getSystemDirectory() {
    return getWindowsDirectory() + (sim::isWin9xMachine() ? "\\SYSTEM" : "\\system32");
}

std::string getTempPath() {
    const std::string temp =
        sim::expandEnvironment(sim::registry::readString("HKEY_CURRENT_USER\\Environment", "TEMP"));
    return withTrailingBackslash(temp.empty() ? getWindowsDirectory() + "\\TEMP" : temp);
}

std::string getModuleFileName() {
    std::error_code ec;
    const std::string mapped =
        sim::windowsPathOf(std::filesystem::read_symlink("/proc/self/exe", ec));
    if (!ec && !mapped.empty()) return mapped;
    const std::string configured = sim::registry::readString(sim::kWinSimKey, "ModuleFileName");
    if (!configured.empty()) return configured;
    return getSystemDirectory() + "\\dadazado.exe";
}

std::string getComputerName() {
    const std::string name = sim::registry::readString(
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
        "ComputerName");
    return name.empty() ? "WINSIM" : name;
}

uint16_t getUserDefaultLangId() {
    const std::string locale =
        sim::registry::readString("HKEY_CURRENT_USER\\Control Panel\\International", "Locale");
    const unsigned long lcid = std::strtoul(locale.c_str(), nullptr, 16);
    return lcid == 0 ? 0x0409 : static_cast<uint16_t>(lcid & 0xFFFF);
}

bool getLocaleInfo(uint32_t lcid, uint32_t item, int bufferSize, std::string* value) {
    if (uint32_t fault = sim::injectedFault("GetLocaleInfo", std::to_string(lcid))) {
        setLastError(fault);
        return false;
    }
    // LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT stand for the user's language here.
    if (lcid == 0x0400 || lcid == 0x0800) lcid = getUserDefaultLangId();
    const sim::LocaleNames* names = sim::localeNames(lcid & 0xFFFF);
    if (names == nullptr || (item != kLocaleSIso639LangName && item != kLocaleSIso3166CtryName)) {
        setLastError(error::kInvalidParameter);
        return false;
    }
    const std::string text = item == kLocaleSIso639LangName ? names->language : names->country;
    if (bufferSize <= static_cast<int>(text.size())) {
        setLastError(error::kInsufficientBuffer);
        return false;
    }
    *value = text;
    return true;
}

long processClockMillis() {
    static const auto start = std::chrono::steady_clock::now();
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

}  // namespace platform

namespace {
// Starts the clock with the process, not with its first reading.
const long clockStartedAtLoad = platform::processClockMillis();
}  // namespace
