#include "platform/sim/machine_template.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <system_error>
#include <vector>

namespace sim {

namespace fs = std::filesystem;

namespace {

struct OsVersion {
    const char* name;
    bool win9x;
    const char* version;  // VersionNumber (9x) or CurrentVersion (NT)
    const char* subVersion;
};

constexpr OsVersion kVersions[] = {
    {"95", true, "4.00.950", ""},       {"98", true, "4.10.1998", ""},
    {"98SE", true, "4.10.2222", " A "}, {"ME", true, "4.90.3000", ""},
    {"NT4", false, "4.0", ""},          {"2000", false, "5.0", ""},
    {"XP", false, "5.1", ""},           {"2003", false, "5.2", ""},
    {"Vista", false, "6.0", ""},
};

const OsVersion* findVersion(const std::string& name) {
    for (const OsVersion& v : kVersions)
        if (name == v.name) return &v;
    return nullptr;
}

// Registry content in the order it is written, one key after another.
class RegistryText {
  public:
    void text(const std::string& key, const std::string& name, const std::string& value) {
        add(key, quoted(name) + "=" + quoted(value));
    }
    void expandText(const std::string& key, const std::string& name, const std::string& value) {
        std::string hex = "hex(2):";
        for (unsigned char c : value + std::string(1, '\0')) hex += byteHex(c) + ",00,";
        hex.pop_back();
        add(key, quoted(name) + "=" + hex);
    }
    void key(const std::string& key) { add(key, ""); }

    std::string render() const {
        std::string out = "Windows Registry Editor Version 5.00\r\n";
        for (const std::string& k : order) {
            out += "\r\n[" + k + "]\r\n";
            for (const std::string& line : lines.at(k))
                if (!line.empty()) out += line + "\r\n";
        }
        return out;
    }

  private:
    static std::string quoted(const std::string& s) {
        std::string out = "\"";
        for (char c : s) {
            if (c == '\\' || c == '"') out += '\\';
            out += c;
        }
        return out + "\"";
    }
    static std::string byteHex(unsigned char c) {
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%02x", c);
        return buffer;
    }
    void add(const std::string& key, const std::string& line) {
        if (!lines.count(key)) order.push_back(key);
        lines[key].push_back(line);
    }
    std::vector<std::string> order;
    std::map<std::string, std::vector<std::string>> lines;
};

struct Layout {
    std::string windows;      // Windows directory
    std::string system;       // system directory
    std::string userProfile;  // NT only
    std::string allUsers;     // NT only
    std::string programFiles = "C:\\Program Files";
};

Layout layoutFor(const OsVersion& os) {
    Layout l;
    const bool vista = std::string(os.name) == "Vista";
    l.windows = "C:\\WINDOWS";
    l.system = l.windows + (os.win9x ? "\\SYSTEM" : "\\system32");
    if (!os.win9x) {
        l.userProfile =
            vista ? "C:\\Users\\Administrator" : "C:\\Documents and Settings\\Administrator";
        l.allUsers = vista ? "C:\\ProgramData" : "C:\\Documents and Settings\\All Users";
    }
    return l;
}

struct ShellFolders {
    std::string desktop, programs, startMenu, sendTo, appData;
};

ShellFolders userFolders(const OsVersion& os, const Layout& l) {
    if (os.win9x)
        return {l.windows + "\\Desktop", l.windows + "\\Start Menu\\Programs",
                l.windows + "\\Start Menu", l.windows + "\\SendTo",
                l.windows + "\\Application Data"};
    const bool vista = std::string(os.name) == "Vista";
    const std::string roaming =
        l.userProfile + (vista ? "\\AppData\\Roaming" : "\\Application Data");
    const std::string startMenu =
        vista ? roaming + "\\Microsoft\\Windows\\Start Menu" : l.userProfile + "\\Start Menu";
    return {l.userProfile + "\\Desktop", startMenu + "\\Programs", startMenu,
            vista ? roaming + "\\Microsoft\\Windows\\SendTo" : l.userProfile + "\\SendTo", roaming};
}

ShellFolders commonFolders(const OsVersion& os, const Layout& l) {
    if (os.win9x)
        return {l.windows + "\\Desktop", l.windows + "\\All Users\\Start Menu\\Programs",
                l.windows + "\\All Users\\Start Menu", "",
                l.windows + "\\All Users\\Application Data"};
    const bool vista = std::string(os.name) == "Vista";
    const std::string startMenu =
        vista ? l.allUsers + "\\Microsoft\\Windows\\Start Menu" : l.allUsers + "\\Start Menu";
    return {vista ? "C:\\Users\\Public\\Desktop" : l.allUsers + "\\Desktop",
            startMenu + "\\Programs", startMenu, "",
            vista ? l.allUsers : l.allUsers + "\\Application Data"};
}

const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void writeShellFolders(RegistryText& reg, const OsVersion& os, const Layout& l) {
    const ShellFolders user = userFolders(os, l);
    const std::string hkcu = std::string("HKEY_CURRENT_USER\\") + kShellFoldersKey;
    reg.text(hkcu, "Desktop", user.desktop);
    reg.text(hkcu, "Programs", user.programs);
    reg.text(hkcu, "Start Menu", user.startMenu);
    reg.text(hkcu, "SendTo", user.sendTo);
    reg.text(hkcu, "AppData", user.appData);
    const std::string defaultUser = std::string("HKEY_USERS\\.Default\\") + kShellFoldersKey;
    reg.text(defaultUser, "Desktop", user.desktop);
    reg.text(defaultUser, "Programs", user.programs);
    reg.text(defaultUser, "Start Menu", user.startMenu);
    const ShellFolders common = commonFolders(os, l);
    const std::string hklm = std::string(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
        "Folders");
    reg.text(hklm, "Common Desktop", common.desktop);
    reg.text(hklm, "Common Programs", common.programs);
    reg.text(hklm, "Common Start Menu", common.startMenu);
    reg.text(hklm, "Common AppData", common.appData);
}

void writeVersion(RegistryText& reg, const OsVersion& os, const MachineOptions& options,
                  const Layout& l) {
    const std::string win = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion";
    reg.text(win, "ProgramFilesDir", l.programFiles);
    reg.text(win, "CommonFilesDir", l.programFiles + "\\Common Files");
    if (os.win9x) {
        reg.text(win, "VersionNumber", os.version);
        reg.text(win, "SubVersionNumber", os.subVersion);
        reg.text(win, "SystemRoot", l.windows);
        return;
    }
    const std::string nt = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion";
    // XP's 64-bit edition is built on Server 2003's code and reports its version, 5.2.
    const bool xp64 = options.is64Bit && std::string(os.name) == "XP";
    reg.text(nt, "CurrentVersion", xp64 ? "5.2" : os.version);
    if (options.servicePack > 0)
        reg.text(nt, "CSDVersion", "Service Pack " + std::to_string(options.servicePack));
    reg.text(nt, "SystemRoot", l.windows);
    if (options.is64Bit) reg.key("HKEY_LOCAL_MACHINE\\Software\\Wow6432Node");
}

void writeSpooler(RegistryText& reg, const OsVersion& os) {
    const std::string print = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print";
    reg.key(print + "\\Printers");
    reg.text(print + "\\Monitors\\Local Port", "Driver", "localspl.dll");
    const std::string env =
        print + "\\Environments\\" + (os.win9x ? "Windows 4.0" : "Windows NT x86");
    reg.key(env + (os.win9x ? "\\Drivers\\Version-0" : "\\Drivers\\Version-3"));
    reg.text(env + "\\Print Processors\\WinPrint", "Driver", "WINPRINT.DLL");
}

std::string registryFor(const OsVersion& os, const MachineOptions& options, const Layout& l) {
    RegistryText reg;
    writeVersion(reg, os, options, l);
    reg.text("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
             "ComputerName", options.computerName);
    char locale[16];
    std::snprintf(locale, sizeof locale, "%08X", options.locale);
    reg.text("HKEY_CURRENT_USER\\Control Panel\\International", "Locale", locale);
    if (!os.win9x) {
        reg.text("HKEY_CURRENT_USER\\Volatile Environment", "USERPROFILE", l.userProfile);
        const bool vista = std::string(os.name) == "Vista";
        reg.expandText(
            "HKEY_CURRENT_USER\\Environment", "TEMP",
            vista ? "%USERPROFILE%\\AppData\\Local\\Temp" : "%USERPROFILE%\\Local Settings\\Temp");
        reg.key("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager");
    }
    writeShellFolders(reg, os, l);
    writeSpooler(reg, os);
    reg.key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    // HKEY_CLASSES_ROOT: every system has it, and a registry line for it needs it to be there.
    reg.key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes");
    return reg.render();
}

// "C:\A\B" as a host directory of the machine: drive_c/A/B.
fs::path hostDir(const fs::path& machine, const std::string& windowsPath) {
    fs::path out = machine / (std::string("drive_") + static_cast<char>(windowsPath[0] | 0x20));
    std::string part;
    for (char c : windowsPath.substr(2) + "\\") {
        if (c != '\\') {
            part += c;
        } else if (!part.empty()) {
            out /= part;
            part.clear();
        }
    }
    return out;
}

std::vector<std::string> directoriesFor(const OsVersion& os, const Layout& l) {
    std::vector<std::string> dirs = {l.windows + "\\TEMP", l.windows + "\\Fonts",
                                     l.windows + "\\Inf", l.programFiles + "\\Common Files"};
    if (os.win9x) {
        dirs.push_back(l.system);
    } else {
        for (const char* sub : {"\\spool\\drivers\\w32x86\\2", "\\spool\\drivers\\w32x86\\3",
                                "\\spool\\prtprocs\\w32x86"})
            dirs.push_back(l.system + sub);
        dirs.push_back(l.windows + "\\Driver Cache\\i386");
        const bool vista = std::string(os.name) == "Vista";
        dirs.push_back(l.userProfile +
                       (vista ? "\\AppData\\Local\\Temp" : "\\Local Settings\\Temp"));
    }
    for (const ShellFolders& f : {userFolders(os, l), commonFolders(os, l)})
        for (const std::string& d : {f.desktop, f.programs, f.sendTo, f.appData})
            if (!d.empty()) dirs.push_back(d);
    return dirs;
}

}  // namespace

bool createMachine(const fs::path& dir, const MachineOptions& options, std::string* error) {
    const OsVersion* os = findVersion(options.os);
    if (os == nullptr) {
        *error = "unknown Windows version \"" + options.os +
                 "\" (known: 95, 98, 98SE, ME, NT4, 2000, XP, 2003, Vista)";
        return false;
    }
    const Layout layout = layoutFor(*os);
    std::error_code ec;
    for (const std::string& windowsDir : directoriesFor(*os, layout)) {
        fs::create_directories(hostDir(dir, windowsDir), ec);
        if (ec) {
            *error = hostDir(dir, windowsDir).string() + ": " + ec.message();
            return false;
        }
    }
    std::ofstream out(dir / "registry.reg", std::ios::binary | std::ios::trunc);
    out << registryFor(*os, options, layout);
    out.close();
    std::ofstream(dir / "journal.log", std::ios::binary | std::ios::app).close();
    if (!out) {
        *error = (dir / "registry.reg").string() + ": cannot be written";
        return false;
    }
    return true;
}

}  // namespace sim
