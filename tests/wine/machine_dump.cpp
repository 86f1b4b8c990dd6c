// Prints what a real machine holds in the dump format of `winsim dump`: the printer drivers of
// the environment the product looks in, the printers and their data, the monitors, the values
// of the registry keys and the files below the directories named on the command line.
//   machine_dump.exe [--keys "KEY;KEY"] [--dirs "C:\DIR;C:\DIR"] [--times "C:\DIR"]
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/winsim/dump_lines.h"

namespace {

constexpr const char* kDriverEnvironment = "Windows NT x86";

std::string textOf(const char* text) { return text == nullptr ? std::string() : text; }

// Calls fill(buffer, size, &needed, &count) until the buffer is large enough.
template <typename Fill>
bool enumerate(std::vector<BYTE>* buffer, DWORD* count, Fill fill) {
    DWORD needed = 0;
    buffer->assign(1, 0);
    if (fill(buffer->data(), 0, &needed, count)) return true;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    buffer->assign(needed, 0);
    return fill(buffer->data(), needed, &needed, count) != FALSE;
}

void addDrivers(std::vector<std::string>* lines) {
    std::vector<BYTE> buffer;
    DWORD count = 0;
    std::string environment = kDriverEnvironment;
    if (!enumerate(&buffer, &count, [&](BYTE* data, DWORD size, DWORD* needed, DWORD* n) {
            return EnumPrinterDriversA(nullptr, environment.data(), 3, data, size, needed, n);
        })) {
        lines->push_back("error|EnumPrinterDrivers|" + std::to_string(GetLastError()));
        return;
    }
    const auto* records = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        const DRIVER_INFO_3A& r = records[i];
        dump::DriverRecord d;
        d.environment = textOf(r.pEnvironment);
        d.name = textOf(r.pName);
        d.version = r.cVersion;
        d.driverPath = textOf(r.pDriverPath);
        d.dataFile = textOf(r.pDataFile);
        d.configFile = textOf(r.pConfigFile);
        d.helpFile = textOf(r.pHelpFile);
        d.monitor = textOf(r.pMonitorName);
        for (const char* file = r.pDependentFiles; file != nullptr && *file != '\0';
             file += std::char_traits<char>::length(file) + 1)
            d.dependentFiles.push_back(file);
        lines->push_back(dump::driverLine(d));
    }
}

void addPrinterData(const std::string& printer, std::vector<std::string>* lines) {
    HANDLE handle = nullptr;
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ACCESS_USE};
    std::string name = printer;
    if (!OpenPrinterA(name.data(), &handle, &defaults)) {
        lines->push_back("error|OpenPrinter|" + printer + "|" + std::to_string(GetLastError()));
        return;
    }
    // The keyed form: it reads the same values on Windows, and Wine's plain EnumPrinterData
    // does not list what SetPrinterData wrote.
    std::vector<BYTE> buffer(1);
    DWORD needed = 0, count = 0;
    DWORD result =
        EnumPrinterDataExA(handle, "PrinterDriverData", buffer.data(), 0, &needed, &count);
    if (result == ERROR_MORE_DATA) {
        buffer.assign(needed, 0);
        result =
            EnumPrinterDataExA(handle, "PrinterDriverData", buffer.data(), needed, &needed, &count);
    }
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
        lines->push_back("error|EnumPrinterDataEx|" + printer + "|" + std::to_string(result));
        count = 0;
    }
    if (result != ERROR_SUCCESS) count = 0;
    const auto* values = reinterpret_cast<const PRINTER_ENUM_VALUESA*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        lines->push_back(dump::printerDataLine(
            printer, textOf(values[i].pValueName), values[i].dwType,
            std::string(reinterpret_cast<const char*>(values[i].pData), values[i].cbData)));
    ClosePrinter(handle);
}

void addPrinters(std::vector<std::string>* lines) {
    std::vector<BYTE> buffer;
    DWORD count = 0;
    if (!enumerate(&buffer, &count, [](BYTE* data, DWORD size, DWORD* needed, DWORD* n) {
            return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, needed, n);
        })) {
        lines->push_back("error|EnumPrinters|" + std::to_string(GetLastError()));
        return;
    }
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        const std::string name = textOf(printers[i].pPrinterName);
        lines->push_back(dump::printerLine(name, textOf(printers[i].pDriverName),
                                           textOf(printers[i].pPortName)));
        addPrinterData(name, lines);
    }
}

void addMonitors(std::vector<std::string>* lines) {
    std::vector<BYTE> buffer;
    DWORD count = 0;
    if (!enumerate(&buffer, &count, [](BYTE* data, DWORD size, DWORD* needed, DWORD* n) {
            return EnumMonitorsA(nullptr, 1, data, size, needed, n);
        })) {
        lines->push_back("error|EnumMonitors|" + std::to_string(GetLastError()));
        return;
    }
    const auto* monitors = reinterpret_cast<const MONITOR_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) lines->push_back("monitor|" + textOf(monitors[i].pName));
}

HKEY rootOf(const std::string& key, std::string* subKey) {
    const size_t slash = key.find('\\');
    const std::string root = key.substr(0, slash);
    *subKey = slash == std::string::npos ? std::string() : key.substr(slash + 1);
    if (root == "HKLM" || root == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    if (root == "HKCU" || root == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (root == "HKU" || root == "HKEY_USERS") return HKEY_USERS;
    if (root == "HKCR" || root == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    return nullptr;
}

void addRegistryKey(const dump::KeyItem& item, std::vector<std::string>* lines) {
    const std::string& key = item.key;
    std::string subKey;
    const HKEY root = rootOf(key, &subKey);
    HKEY handle = nullptr;
    if (root == nullptr || RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &handle) != 0) {
        lines->push_back("reg|" + key + "|(no key)");
        return;
    }
    std::vector<char> name(16384);
    std::vector<BYTE> data(1 << 20);
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size()), type = 0;
        DWORD dataSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(handle, index, name.data(), &nameSize, nullptr, &type, data.data(),
                          &dataSize) != ERROR_SUCCESS)
            break;
        const std::string valueName(name.data(), nameSize);
        if (item.oneValue && lstrcmpiA(valueName.c_str(), item.value.c_str()) != 0) continue;
        lines->push_back(
            dump::registryLine(key, valueName, type,
                               std::string(reinterpret_cast<const char*>(data.data()), dataSize)));
    }
    RegCloseKey(handle);
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Calls take(path, find record) for every file below the directory.
template <typename Take>
void forEachFile(const std::string& directory, Take take) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = directory + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            forEachFile(path, take);
        else
            take(path, found);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void addFiles(const std::string& directory, std::vector<std::string>* lines) {
    forEachFile(directory, [&](const std::string& path, const WIN32_FIND_DATAA&) {
        lines->push_back(dump::fileLine(path, readWholeFile(path)));
    });
}

void addTimes(const std::string& directory, std::vector<std::string>* lines) {
    forEachFile(directory, [&](const std::string& path, const WIN32_FIND_DATAA& found) {
        const uint64_t ticks = (static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                               found.ftLastWriteTime.dwLowDateTime;
        lines->push_back(dump::timeLine(path, ticks));
    });
}

std::string optionValue(int argc, char** argv, const std::string& option) {
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == option) return argv[i + 1];
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> lines;
    addDrivers(&lines);
    addPrinters(&lines);
    addMonitors(&lines);
    for (const std::string& key : dump::splitOn(optionValue(argc, argv, "--keys"), ';'))
        addRegistryKey(dump::keyItem(key), &lines);
    for (const std::string& dir : dump::splitOn(optionValue(argc, argv, "--dirs"), ';'))
        addFiles(dir, &lines);
    for (const std::string& dir : dump::splitOn(optionValue(argc, argv, "--times"), ';'))
        addTimes(dir, &lines);
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    return 0;
}
