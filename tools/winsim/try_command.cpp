#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <system_error>

#include "platform/sim/machine.h"
#include "platform/sim/machine_files.h"
#include "platform/sim/scratch_directory.h"
#include "support/os_info.h"
#include "tools/driver_package/driver_package.h"
#include "tools/driver_package/windows_inf.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"
#include "tools/winsim/machine_changes.h"
#include "tools/winsim/package_driver.h"
#include "tools/winsim/trial_machine.h"
#include "tools/winsim/trial_report.h"
#include "tools/winsim/trial_versions.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

const CommandInfo kTry = {
    "try",
    "usage: winsim try PACKAGE_DIR --model MODEL [--inf FILE] [--os LIST|all]\n"
    "                  [--printer NAME] [--port PORT] [--update-all] [--language ISO]\n"
    "                  [--reg FILE.reg] [--files DIR] [--json FILE] [--keep DIR]\n"
    "  Dry-runs a driver package on fresh machines, one a Windows version: the model's driver\n"
    "  and a printer installed as Windows installs them from the INF, the package in\n"
    "  C:\\Drivers\\<package directory name>, the flight recorder on, and dadazado run as the\n"
    "  driver installation starts it. Prints the exit code, the flight-recorder lines that\n"
    "  report a failure and what the run changed, a version at a time, then a table.\n"
    "  --model       the model as Windows shows it (its name in the models section, strings\n"
    "                resolved; case ignored)\n"
    "  --inf         the INF file in PACKAGE_DIR (default: the only one there)\n"
    "  --os          versions, comma-separated (default 98se,2000,xp,vista; all: every one);\n"
    "                the 64-bit editions are xp-x64, 2003-x64 and vista-x64\n"
    "  --printer     printer name (default: the driver's name); --port (default LPT1:)\n"
    "  --update-all  update mode (DadazadoUpdateAllPrinters)\n"
    "  --language    install language, an ISO code such as de_DE (InstallLanguageISO)\n"
    "  --reg         a .reg file imported before the run (files in use, earlier versions)\n"
    "  --files       a directory copied onto drive C: before the run\n"
    "  --json        also write the results as JSON to FILE\n"
    "  --keep        keep each machine in DIR/<version> instead of removing it\n"
    "  Each version reads the models section its INF rules choose ([Manufacturer]\n"
    "  decorations such as NTx86.5.1 or NTamd64 from XP on, the undecorated section before,\n"
    "  $Chicago$ INFs only on the 9x family). Versions on which Windows would not install\n"
    "  the model are listed, not run. The driver's files are DriverFile, DataFile, ConfigFile\n"
    "  and HelpFile of the install section or its DataSection (also the standard ones of the\n"
    "  system's printer INF), its dependent files every CopyFiles line names; the install\n"
    "  section's DelReg and AddReg lines are applied before the run. The exit status is 1\n"
    "  when any run's exit code is not 0, 2 when the package, the INF or the options cannot\n"
    "  be used or no version of Windows would install the model from the INF.\n",
    {{"--model", true},
     {"--inf", true},
     {"--os", true},
     {"--printer", true},
     {"--port", true},
     {"--update-all", false},
     {"--language", true},
     {"--reg", true},
     {"--files", true},
     {"--json", true},
     {"--keep", true}},
    1,
    1};

const char* const kDefaultVersions[] = {"98se", "2000", "xp", "vista"};

// Beside winsim in the build: the utility and the two substitute libraries.
std::string findPrograms(Trial* trial) {
    std::error_code ec;
    const fs::path tools = fs::read_symlink("/proc/self/exe", ec).parent_path();
    const char* overridden = std::getenv("DADAZADO_BINARY");
    trial->dadazado =
        overridden != nullptr ? fs::path(overridden) : tools / ".." / "app" / "dadazado";
    trial->loggingLibrary = tools / "ZUVERU.dll";
    trial->installEngine = tools / "Engine.dll";
    for (const fs::path& needed : {trial->dadazado, trial->loggingLibrary, trial->installEngine})
        if (!fs::is_regular_file(needed, ec)) return "missing " + needed.string() + " (build it)";
    return {};
}

std::string describeTrial(const ParsedArgs& args, Trial* trial) {
    std::error_code ec;
    trial->package = args.positional[0];
    if (!fs::is_directory(trial->package, ec)) return "no package directory " + args.positional[0];
    if (!args.has("--model") || args.value("--model").empty()) return "--model is required";
    trial->model = args.value("--model");
    trial->printer = args.value("--printer");
    trial->port = args.value("--port", "LPT1:");
    trial->language = args.value("--language");
    trial->updateAll = args.has("--update-all");
    if (args.has("--inf")) {
        trial->inf = args.value("--inf");
        if (!fs::is_regular_file(trial->package / trial->inf, ec))
            return "no INF file " + trial->inf + " in " + args.positional[0];
    } else {
        std::string problem;
        const std::optional<fs::path> inf = driver_package::onlyInf(trial->package, &problem);
        if (!inf) return problem;
        trial->inf = inf->filename().string();
    }
    if (args.has("--reg")) {
        trial->regFile = fs::absolute(args.value("--reg"), ec);
        if (!fs::is_regular_file(trial->regFile, ec)) return "no file " + args.value("--reg");
    }
    if (args.has("--files")) {
        trial->filesDir = args.value("--files");
        if (!fs::is_directory(trial->filesDir, ec)) return "no directory " + args.value("--files");
    }
    return findPrograms(trial);
}

std::string knownVersionList() {
    std::string known = "all";
    for (const TrialVersion& version : trialVersions()) known += ", " + version.name;
    return known;
}

std::string chooseVersions(const ParsedArgs& args, std::vector<const TrialVersion*>* versions) {
    const std::string list = args.value("--os");
    std::vector<std::string> names(std::begin(kDefaultVersions), std::end(kDefaultVersions));
    if (list == "all") {
        names.clear();
        for (const TrialVersion& version : trialVersions()) names.push_back(version.name);
    } else if (!list.empty()) {
        names = splitList(list);
    }
    for (const std::string& name : names) {
        const TrialVersion* version = findTrialVersion(name);
        if (version == nullptr)
            return "unknown Windows version \"" + name + "\" (known: " + knownVersionList() + ")";
        versions->push_back(version);
    }
    return versions->empty() ? "no Windows version in --os" : std::string();
}

// Exit status 2 belongs to a model that no version of Windows installs from the INF at all.
std::string installedAnywhere(const driver_package::WindowsInf& inf, const Trial& trial) {
    if (inf.empty()) return "cannot read the INF " + trial.inf;
    std::string reasons;
    for (const TrialVersion& version : trialVersions()) {
        const driver_package::WindowsModel model =
            driver_package::windowsModel(inf, version.target, trial.model);
        if (model.installs) return {};
        if (reasons.find(model.why) == std::string::npos)
            reasons += (reasons.empty() ? "" : "; ") + model.why;
    }
    return "no version of Windows would install the model \"" + trial.model + "\" from " +
           trial.inf + ": " + reasons;
}

// The machine of one version: kept below keepDir, or in a directory removed afterwards.
fs::path machineDirectory(const ParsedArgs& args, const std::string& version) {
    if (args.has("--keep")) return fs::absolute(fs::path(args.value("--keep")) / version);
    return sim::makeScratchDirectory("winsim-try");
}

TrialResult runTrial(const Trial& trial, const driver_package::WindowsInf& inf,
                     const TrialVersion& version, const fs::path& dir) {
    TrialResult result;
    result.version = version.name;
    result.architecture = version.target.x64 ? "x64" : "x86";
    const driver_package::WindowsModel model =
        driver_package::windowsModel(inf, version.target, trial.model);
    result.windowsInstalls = model.installs;
    result.driverName = model.driverName;
    if (!model.installs) {
        result.notInstalled = model.why;
        return result;
    }
    result.problem = prepareTrialMachine(trial, version, model, dir);
    if (!result.problem.empty()) return result;
    OSInfo::forget();
    const MachineSnapshot before = readMachine(dir, kTrialFlightRecorder);
    result.exitCode = runUtility(trial, version, model, dir);
    if (result.exitCode < 0) {
        result.problem = "dadazado could not be started";
        return result;
    }
    if (result.exitCode == 4) result.explanation = whyUtilityMissesModel(inf, model.driverName);
    result.failures =
        failureLines(sim::readHostFile(sim::resolvePath(kTrialFlightRecorder).host).value_or(""));
    result.changes = compareMachines(before, readMachine(dir, kTrialFlightRecorder));
    return result;
}

}  // namespace

int runTry(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kTry, words, &args, &exitCode)) return exitCode;
    Trial trial;
    std::vector<const TrialVersion*> versions;
    std::string problem = describeTrial(args, &trial);
    if (problem.empty()) problem = chooseVersions(args, &versions);
    if (!problem.empty()) return usageError(kTry, problem);
    const driver_package::WindowsInf inf(trial.package / trial.inf);
    problem = installedAnywhere(inf, trial);
    if (!problem.empty()) {
        std::fprintf(stderr, "winsim try: %s\n", problem.c_str());
        return kExitUsage;
    }
    const bool progress = isatty(STDERR_FILENO) != 0;
    std::vector<TrialResult> results;
    bool setUpOnce = false;
    for (const TrialVersion* version : versions) {
        const fs::path dir = machineDirectory(args, version->name);
        const auto start = std::chrono::steady_clock::now();
        if (progress) std::fprintf(stderr, "try: %s ...", version->name.c_str());
        results.push_back(runTrial(trial, inf, *version, dir));
        const TrialResult& last = results.back();
        if (progress)
            std::fprintf(
                stderr, " %s (%.1f s)\n",
                !last.windowsInstalls  ? "not installed by Windows"
                : last.problem.empty() ? ("exit " + std::to_string(last.exitCode)).c_str()
                                       : "not run",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::error_code ec;
        if (!args.has("--keep")) fs::remove_all(dir, ec);
        if (!last.windowsInstalls) continue;
        // A package that cannot be set up on the first machine cannot be tried at all.
        if (!setUpOnce && !last.problem.empty()) {
            std::fprintf(stderr, "winsim try: %s\n", last.problem.c_str());
            return kExitUsage;
        }
        setUpOnce = true;
    }
    for (const TrialResult& result : results) std::printf("%s\n", describeResult(result).c_str());
    std::printf("== all versions\n%s", resultTable(results).c_str());
    if (args.has("--json")) {
        std::ofstream out(args.value("--json"), std::ios::binary | std::ios::trunc);
        out << resultJson(trial.package.string(), trial.model, results);
        if (!out) return failure(kTry, "cannot write " + args.value("--json"));
    }
    for (const TrialResult& result : results)
        if (result.windowsInstalls && result.exitCode != 0) return kExitFailure;
    return kExitSuccess;
}

}  // namespace winsim
