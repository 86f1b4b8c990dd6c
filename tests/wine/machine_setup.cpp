// Sets up a real machine from the lines a scenario also feeds to winsim, with the calls a
// driver installation makes:
//   driver add NAME [--version N] [--environment ENV] [--driver-path F] [--data-file F]
//                   [--config-file F] [--help-file F] [--dependent F,...] [--monitor M]
//   monitor add NAME --driver DLL
//   processor add NAME --driver DLL [--environment ENV]
//   printer add NAME --driver DRIVER [--port PORT]
// Files are bare names; one missing from the driver directory is created there empty, as
// winsim does. Lines starting with "reg " and "#" are left to the caller. Every line that
// fails is reported on stderr with its error code; the exit code is the number of them.
//   machine_setup.exe SETUP-FILE
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tools/winsim/dump_lines.h"

namespace {

constexpr const char* kDefaultEnvironment = "Windows NT x86";

// Words of a line: blanks separate them, double quotes group them.
std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t' || c == '\r') && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

struct SetupLine {
    std::string group, action, name;
    std::map<std::string, std::string> options;

    std::string option(const std::string& key, const std::string& fallback = {}) const {
        const auto found = options.find(key);
        return found == options.end() ? fallback : found->second;
    }
};

bool parseLine(const std::vector<std::string>& words, SetupLine* line) {
    if (words.size() < 3) return false;
    line->group = words[0];
    line->action = words[1];
    line->name = words[2];
    for (size_t i = 3; i + 1 < words.size(); i += 2) line->options[words[i]] = words[i + 1];
    return true;
}

std::string driverDirectory(const std::string& environment) {
    char path[MAX_PATH] = {};
    DWORD needed = 0;
    std::string env = environment;
    if (!GetPrinterDriverDirectoryA(nullptr, env.data(), 1, reinterpret_cast<BYTE*>(path),
                                    sizeof path, &needed))
        return {};
    return path;
}

// The full path of a staged driver file, created empty when the package did not bring it.
std::string stagedFile(const std::string& directory, const std::string& name) {
    if (name.empty()) return {};
    const std::string path = directory + "\\" + name;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const HANDLE file =
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    return path;
}

char* textOrNull(std::string& text) { return text.empty() ? nullptr : text.data(); }

DWORD addDriverFor(const SetupLine& line, std::string environment) {
    const std::string directory = driverDirectory(environment);
    if (directory.empty()) return GetLastError();
    std::string name = line.name;
    std::string driverPath = stagedFile(directory, line.option("--driver-path"));
    std::string dataFile = stagedFile(directory, line.option("--data-file"));
    std::string configFile = stagedFile(directory, line.option("--config-file"));
    std::string helpFile = stagedFile(directory, line.option("--help-file"));
    std::string monitor = line.option("--monitor");
    std::string dependents;
    for (const std::string& file : dump::splitOn(line.option("--dependent"), ','))
        dependents += stagedFile(directory, file) + '\0';
    dependents += '\0';
    DRIVER_INFO_3A info = {};
    info.cVersion = static_cast<DWORD>(std::stoul(line.option("--version", "3")));
    info.pName = name.data();
    info.pEnvironment = environment.data();
    info.pDriverPath = textOrNull(driverPath);
    info.pDataFile = textOrNull(dataFile);
    info.pConfigFile = textOrNull(configFile);
    info.pHelpFile = textOrNull(helpFile);
    info.pDependentFiles = dependents.data();
    info.pMonitorName = textOrNull(monitor);
    return AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info)) ? 0 : GetLastError();
}

// A printer can only be added with a driver of the machine's own environment, so on a 64-bit
// machine the driver goes in twice: for the environment asked for, and for the machine's.
DWORD addDriver(const SetupLine& line) {
    const std::string environment = line.option("--environment", kDefaultEnvironment);
    const DWORD error = addDriverFor(line, environment);
    const std::string native = sizeof(void*) == 8 ? "Windows x64" : kDefaultEnvironment;
    if (error != 0 || environment == native) return error;
    return addDriverFor(line, native);
}

DWORD addMonitor(const SetupLine& line) {
    std::string name = line.name;
    std::string library = line.option("--driver");
    MONITOR_INFO_2A info = {name.data(), nullptr, library.data()};
    return AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&info)) ? 0 : GetLastError();
}

DWORD addProcessor(const SetupLine& line) {
    std::string environment = line.option("--environment", kDefaultEnvironment);
    std::string library = line.option("--driver");
    std::string name = line.name;
    return AddPrintProcessorA(nullptr, environment.data(), library.data(), name.data())
               ? 0
               : GetLastError();
}

DWORD addPrinter(const SetupLine& line) {
    std::string name = line.name;
    std::string driver = line.option("--driver");
    std::string port = line.option("--port", "LPT1:");
    std::string processor = "WinPrint";
    std::string datatype = "RAW";
    PRINTER_INFO_2A info = {};
    info.pPrinterName = name.data();
    info.pDriverName = driver.data();
    info.pPortName = port.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = datatype.data();
    const HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer == nullptr) return GetLastError();
    ClosePrinter(printer);
    return 0;
}

DWORD apply(const SetupLine& line) {
    if (line.action != "add") return ERROR_INVALID_PARAMETER;
    if (line.group == "driver") return addDriver(line);
    if (line.group == "monitor") return addMonitor(line);
    if (line.group == "processor") return addProcessor(line);
    if (line.group == "printer") return addPrinter(line);
    return ERROR_INVALID_PARAMETER;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: machine_setup.exe SETUP-FILE\n");
        return 255;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "machine_setup: cannot read %s\n", argv[1]);
        return 255;
    }
    int failures = 0;
    for (std::string text; std::getline(in, text);) {
        const std::vector<std::string> words = splitWords(text);
        if (words.empty() || words[0][0] == '#' || words[0] == "reg") continue;
        SetupLine line;
        const DWORD error = parseLine(words, &line) ? apply(line) : ERROR_INVALID_PARAMETER;
        std::printf("setup: %s: %lu\n", text.c_str(), static_cast<unsigned long>(error));
        if (error != 0) ++failures;
    }
    return failures;
}
