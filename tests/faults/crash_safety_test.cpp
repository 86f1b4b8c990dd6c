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
#include "tests/support/zip_files.h"

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
void runAndKill(const fs::path& machine, std::chrono::microseconds delay,
                const char* inf = "C:\\Drivers\\Demo\\long.inf") {
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        execl(WINSIM_BINARY, WINSIM_BINARY, "exec", machine.c_str(), "--cd", "C:\\Drivers\\Demo",
              "--", DADAZADO_BINARY, "-I", inf, "-N", "Demo Printer 100", "-P",
              "LPT1:", static_cast<char*>(nullptr));
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

// On the 9x family a run replaces a large file from an archive and adds its restart-time
// replacement to a WININIT.INI full of other installers' lines: killed at any point, the
// file is the old or the new one and WININIT.INI holds all of the old lines, with the run's
// line whole or not at all.
constexpr int k9xKillPoints = 30;
const std::string kHeld = "drive_c/WINDOWS/SYSTEM/LONG/HELD.DAT";
const std::string kBig = "drive_c/WINDOWS/SYSTEM/LONG/BIG.DAT";
const std::string kWininit = "drive_c/WINDOWS/WININIT.INI";

std::string bigContent(char fill) {
    std::string content(24 << 20, fill);
    for (size_t i = 0; i < content.size(); i += 4096) content[i] = static_cast<char>(i >> 12);
    return content;
}

std::string otherInstallersWininit() {
    std::string text = "[Rename]\r\n";
    for (int i = 0; i < 60000; ++i) text += "NUL=C:\\OTHERS\\F" + std::to_string(i) + ".TMP\r\n";
    return text;
}

void make9xMachine(const fs::path& machine) {
    runProgram(WINSIM_BINARY, {"new", machine.string(), "--os", "98se"});
    const fs::path package = machine / "drive_c/Drivers/Demo";
    fs::create_directories(package);
    fs::create_directories((machine / kHeld).parent_path());
    writeHostFile(package / "long9x.inf",
                  "[Version]\r\nSignature=\"$Chicago$\"\r\n[Manufacturer]\r\n\"Demo "
                  "Systems\"=Demo.Models\r\n[Demo.Models]\r\n\"Demo Printer 100\" = Long9x, "
                  "DemoPrinterId\r\n[Long9x]\r\nQenInstallFile=Long.Files\r\n"
                  "QenUnZipZipFile=Long.Archives\r\n[Long.Files]\r\n"
                  "x, 1, %11%\\LONG\\HELD.DAT, %1%\\HELD.DAT, %11%\\LONG\\HELD.TMP, 0, 0\r\n"
                  "[Long.Archives]\r\nx, 1, %1%\\BIG.ZIP, %11%\\LONG\r\n");
    writeHostFile(package / "HELD.DAT", "new held file");
    ASSERT_TRUE(writeZipArchive(package / "BIG.ZIP",
                                {{.name = "BIG.DAT", .content = bigContent('n'), .stored = true}}));
    writeHostFile(machine / kHeld, "old held file");
    fs::last_write_time(machine / kHeld, fs::file_time_type::clock::now() - std::chrono::hours(48));
    writeHostFile(machine / kBig, bigContent('o'));
    writeHostFile(machine / kWininit, otherInstallersWininit());
    runProgram(WINSIM_BINARY,
               {"hold", machine.string(), "C:\\WINDOWS\\SYSTEM\\LONG\\HELD.DAT", "33"});
    writeHostFile(machine / "fault.reg",
                  "Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\Faults]\r\n"
                  "\"MoveFile|*\\\\HELD.DAT\"=dword:00000005\r\n");
    runProgram(WINSIM_BINARY,
               {"reg", "import", machine.string(), (machine / "fault.reg").string()});
    fs::remove(machine / "fault.reg");
}

TEST(CrashSafety, KilledRunsOn9xKeepArchiveMembersAndWininitWhole) {
    const fs::path scratch = sim::makeScratchDirectory("dadazado-crash9x");
    ASSERT_FALSE(scratch.empty());
    const fs::path start = scratch / "start";
    make9xMachine(start);
    ASSERT_FALSE(HasFailure());
    const char* inf = "C:\\Drivers\\Demo\\long9x.inf";

    const fs::path whole = scratch / "whole";
    runProgram("/bin/cp", {"-a", start.string(), whole.string()});
    const auto began = std::chrono::steady_clock::now();
    runAndKill(whole, std::chrono::microseconds(-1), inf);
    const auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - began);
    const std::string oldWininit = otherInstallersWininit();
    const std::string newWininit = readHostFile(whole / kWininit);
    ASSERT_EQ(readHostFile(whole / kBig), bigContent('n'));
    ASSERT_GT(newWininit.size(), oldWininit.size());
    ASSERT_EQ(newWininit.substr(0, oldWininit.size()), oldWininit);

    int consistent = 0;
    for (int point = 1; point <= k9xKillPoints; ++point) {
        const fs::path machine = scratch / ("killed" + std::to_string(point));
        runProgram("/bin/cp", {"-a", start.string(), machine.string()});
        runAndKill(machine, duration * point / (k9xKillPoints + 1), inf);
        const std::string big = readHostFile(machine / kBig);
        const std::string wininit = readHostFile(machine / kWininit);
        const bool bigWhole = big == bigContent('o') || big == bigContent('n');
        const bool wininitWhole = wininit == oldWininit || wininit == newWininit;
        EXPECT_TRUE(bigWhole) << "kill point " << point << ": BIG.DAT has " << big.size()
                              << " bytes, neither the old nor the new file";
        EXPECT_TRUE(wininitWhole) << "kill point " << point << ": WININIT.INI has "
                                  << wininit.size() << " bytes";
        if (bigWhole && wininitWhole) ++consistent;
        fs::remove_all(machine);
    }
    std::printf("crash safety on 9x: %d kill points over a run of %lld ms, %d consistent\n",
                k9xKillPoints, static_cast<long long>(duration.count() / 1000), consistent);
    fs::remove_all(scratch);
}

}  // namespace
