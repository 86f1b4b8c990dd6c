// The host dadazado killed (SIGKILL) at many points of a long run: the machine must stay
// readable and every change whole. registry.reg parses and each value holds its state before
// or after the run, every complete flight-recorder line is one the run writes, and no
// installed file is a truncated copy of its source.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/sim/scratch_directory.h"
#include "tests/faults/fault_scenario.h"
#include "tests/support/program_run.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;

constexpr int kValues = 300;
constexpr int kFiles = 60;
constexpr int kKillPoints = 60;
// registry.reg is written once, as the run ends: more kill points go into the run's last
// tenth, where that save and the last log lines happen.
constexpr int kClosingKillPoints = 20;

std::string longInf() {
    std::string inf =
        "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n\"Demo "
        "Systems\"=Demo.Models\r\n[Demo.Models]\r\n\"Demo Printer 100\" = LongInstall, "
        "DemoPrinterId\r\n[LongInstall]\r\nQenInstallFile=Long.Files\r\nAddReg=Long.AddReg\r\n"
        "[Long.Files]\r\n";
    for (int i = 0; i < kFiles; ++i) {
        const std::string n = std::to_string(i);
        inf += "x, 1, %11%\\LONG\\FILE" + n + ".DAT, %1%\\FILE" + n + ".DAT, %11%\\LONG\\FILE" + n +
               ".TMP, 0, 0\r\n";
    }
    inf += "[Long.AddReg]\r\n";
    for (int i = 0; i < kValues; ++i)
        inf += "HKLM, SOFTWARE\\Long Run, Value" + std::to_string(i) + ", 0, \"new " +
               std::to_string(i) + "\"\r\n";
    return inf;
}

std::string fileContent(int i) {
    std::string content;
    while (content.size() < 200000) content += "file " + std::to_string(i) + " line\r\n";
    return content;
}

// The machine the long run starts from: the prepared one with the long package and an old
// value for every value the run writes.
void makeLongMachine(const fs::path& machine) {
    runProgram("/bin/cp", {"-a", faults::preparedMachine().string(), machine.string()});
    const fs::path package = machine / "drive_c/Drivers/Demo";
    writeHostFile(package / "long.inf", longInf());
    for (int i = 0; i < kFiles; ++i)
        writeHostFile(package / ("FILE" + std::to_string(i) + ".DAT"), fileContent(i));
    std::string reg =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Long Run]\r\n";
    for (int i = 0; i < kValues; ++i)
        reg += "\"Value" + std::to_string(i) + "\"=\"old " + std::to_string(i) + "\"\r\n";
    writeHostFile(machine / "old.reg", reg);
    runProgram(WINSIM_BINARY, {"reg", "import", machine.string(), (machine / "old.reg").string()});
    fs::remove(machine / "old.reg");
}

// Starts the run in its own process group and kills the whole group after delay (or lets it
// finish when delay is negative).
void runAndKill(const fs::path& machine, std::chrono::microseconds delay) {
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        execl(WINSIM_BINARY, WINSIM_BINARY, "exec", machine.c_str(), "--cd", "C:\\Drivers\\Demo",
              "--", DADAZADO_BINARY, "-I", "C:\\Drivers\\Demo\\long.inf", "-N", "Demo Printer 100",
              "-P", "LPT1:", static_cast<char*>(nullptr));
        _exit(127);
    }
    setpgid(pid, pid);
    if (delay.count() >= 0) {
        std::this_thread::sleep_for(delay);
        kill(-pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
}

// A log line without what differs between runs: the start time and elapsed times.
std::string normalised(const std::string& line) {
    static const std::regex elapsed(R"(\(Elapsed time: [0-9.]+ seconds\.\))");
    static const std::regex started(R"(^\w{3} \w{3} +\d+ \d\d:\d\d:\d\d \d{4}$)");
    if (std::regex_match(line, started)) return "<start time>";
    return std::regex_replace(line, elapsed, "(Elapsed time)");
}

std::set<std::string> completeLines(const std::string& log) {
    std::set<std::string> lines;
    for (size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.insert(normalised(log.substr(start, end - start)));
    return lines;
}

std::vector<std::string> inconsistencies(const fs::path& machine,
                                         const std::set<std::string>& runLines) {
    std::vector<std::string> found;
    const ProgramResult exported = runProgram(
        "/bin/sh",
        {"-c", "exec \"$0\" reg export \"$1\" >/dev/null", WINSIM_BINARY, machine.string()});
    if (exported.exitCode != 0)
        found.push_back("registry.reg does not parse: " + exported.standardError);
    const faults::MachineSnapshot now = faults::takeSnapshot(machine);
    // Keys keep the spelling they were made with.
    std::set<std::string> registry;
    for (std::string value : now.registry) {
        for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        registry.insert(value);
    }
    for (int i = 0; i < kValues; ++i) {
        const std::string prefix =
            "[hkey_local_machine\\software\\long run]\t\"value" + std::to_string(i) + "\"=";
        const std::string n = std::to_string(i);
        if (registry.contains(prefix + "\"old " + n + "\"") ||
            registry.contains(prefix + "\"new " + n + "\""))
            continue;
        found.push_back("Value" + n + " is neither before nor after the change");
    }
    for (int i = 0; i < kFiles; ++i) {
        const auto it =
            now.files.find("drive_c/WINDOWS/system32/LONG/FILE" + std::to_string(i) + ".DAT");
        if (it != now.files.end() && it->second != fileContent(i))
            found.push_back("FILE" + std::to_string(i) + ".DAT is truncated or damaged (" +
                            std::to_string(it->second.size()) + " bytes)");
    }
    const fs::path log = machine / "drive_c/flight.log";
    if (fs::exists(log))
        for (const std::string& line : completeLines(readHostFile(log)))
            if (!runLines.contains(line)) found.push_back("foreign log line: " + line);
    return found;
}

TEST(CrashSafety, KilledRunsLeaveEveryChangeWhole) {
    const fs::path scratch = sim::makeScratchDirectory("dadazado-crash");
    ASSERT_FALSE(scratch.empty());
    const fs::path start = scratch / "start";
    makeLongMachine(start);

    const fs::path whole = scratch / "whole";
    runProgram("/bin/cp", {"-a", start.string(), whole.string()});
    const auto began = std::chrono::steady_clock::now();
    runAndKill(whole, std::chrono::microseconds(-1));
    const auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - began);
    const std::set<std::string> runLines =
        completeLines(readHostFile(whole / "drive_c/flight.log"));
    ASSERT_GT(runLines.size(), 10u);
    for (const std::string& what : inconsistencies(whole, runLines))
        ADD_FAILURE() << "the whole run: " << what;
    ASSERT_FALSE(HasFailure());
    ASSERT_NE(readHostFile(whole / "registry.reg").find("\"Value299\"=\"new 299\""),
              std::string::npos);

    std::vector<std::chrono::microseconds> delays;
    for (int point = 1; point <= kKillPoints; ++point)
        delays.push_back(duration * point / (kKillPoints + 1));
    for (int point = 0; point < kClosingKillPoints; ++point)
        delays.push_back(duration * 9 / 10 + duration * point / (10 * kClosingKillPoints));
    int consistent = 0;
    for (size_t index = 0; index < delays.size(); ++index) {
        const int point = static_cast<int>(index) + 1;
        const fs::path machine = scratch / ("killed" + std::to_string(point));
        runProgram("/bin/cp", {"-a", start.string(), machine.string()});
        runAndKill(machine, delays[index]);
        const std::vector<std::string> found = inconsistencies(machine, runLines);
        for (const std::string& what : found)
            ADD_FAILURE() << "kill point " << point << ": " << what;
        if (found.empty()) ++consistent;
        fs::remove_all(machine);
    }
    std::printf("crash safety: %zu kill points over a run of %lld ms, %d consistent\n",
                delays.size(), static_cast<long long>(duration.count() / 1000), consistent);
    fs::remove_all(scratch);
}

}  // namespace
