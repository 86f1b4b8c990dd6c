#include "tools/winsim/trial_machine.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/lz.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_files.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_data.h"
#include "platform/sim/registry_store.h"
#include "platform/spooler.h"
#include "platform/system_info.h"
#include "tools/driver_package/driver_package.h"
#include "tools/winsim/archive_members.h"
#include "tools/winsim/args.h"
#include "tools/winsim/commands.h"
#include "tools/winsim/driver_layout.h"
#include "tools/winsim/inf_registry_lines.h"
#include "tools/winsim/package_driver.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSettingsKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel";
// Where the uninstaller archive carries the install engine the utility loads.
constexpr const char* kEngineMember = "Install/x86/Engine.dll";

// The driver installation copies the driver's files to the spooler's driver directory,
// expanding those the package ships compressed, before it adds the driver.
void stageDriverFiles(const driver_package::WindowsModel& model, const std::string& packageDir,
                      const std::string& driverDir) {
    for (const driver_package::CopiedFile& file : model.files) {
        const int32_t in =
            platform::lzOpenFile(packageDir + "\\" + file.source, platform::kLzOpenRead);
        if (in < 0) continue;  // not shipped: the driver is added with an empty file
        const int32_t out =
            platform::lzOpenFile(driverDir + "\\" + file.name, platform::kLzOpenCreate);
        if (out >= 0) platform::lzCopy(in, out);
        platform::lzClose(in);
        if (out >= 0) platform::lzClose(out);
    }
}

std::string printerName(const Trial& trial, const driver_package::WindowsModel& model) {
    return trial.printer.empty() ? model.driverName : trial.printer;
}

std::string installDriverAndPrinter(const Trial& trial, const TrialVersion& version,
                                    const driver_package::WindowsModel& model,
                                    const fs::path& dir) {
    std::string problem = unusableCopyFilesName(model);
    if (!problem.empty()) return problem;
    const std::string environment = version.target.x64 ? "Windows x64" : nativeEnvironment();
    stageDriverFiles(model, packageDirectory(trial),
                     driverFileDirectory(environment, nativeDriverVersion()));
    std::string dependents;
    for (const driver_package::CopiedFile& file : model.files)
        dependents += (dependents.empty() ? "" : ",") + file.name;
    std::vector<std::string> words = {
        dir.string(),     model.driverName, "--environment", environment,     "--driver-path",
        model.driverFile, "--data-file",    model.dataFile,  "--config-file", model.configFile};
    if (!model.helpFile.empty()) words.insert(words.end(), {"--help-file", model.helpFile});
    if (!dependents.empty()) words.insert(words.end(), {"--dependent", dependents});
    // The spooler records the language monitor by its name, the text before the comma.
    const std::string monitor = model.languageMonitor.substr(0, model.languageMonitor.find(','));
    if (!monitor.empty()) words.insert(words.end(), {"--monitor", monitor});
    sim::registry::flush();
    if (runDriverAdd(words) != kExitSuccess) return "the driver could not be added";
    if (runPrinterAdd({dir.string(), printerName(trial, model), "--driver", model.driverName,
                       "--port", trial.port}) != kExitSuccess)
        return "the printer could not be added";
    problem = sim::openMachine(dir);
    if (!problem.empty()) return problem;
    const std::vector<std::string> failed = applyRegistryLines(model.delReg, model.addReg);
    return failed.empty() ? std::string()
                          : "the INF's registry line " + failed.front() + " could not be applied";
}

// The logging library in the system directory, and the install engine where the utility
// finds it: inside each uninstaller archive of the package.
void putSubstitutes(const Trial& trial) {
    std::error_code ec;
    const fs::path logging = sim::resolvePath(platform::getSystemDirectory() + "\\ZUVERU.DLL").host;
    fs::copy_file(trial.loggingLibrary, logging, fs::copy_options::overwrite_existing, ec);
    const fs::path package = sim::resolvePath(packageDirectory(trial)).host;
    const std::string engine = sim::readHostFile(trial.installEngine).value_or("");
    for (fs::recursive_directory_iterator it(package, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (sim::endsWithIgnoringCase(it->path().filename().string(), ".zip") &&
            archiveHasMember(it->path(), kEngineMember))
            replaceArchiveMember(it->path(), kEngineMember, engine);
    }
}

void writeSettings(const Trial& trial) {
    sim::writeText(kSettingsKey, "DadazadoDebug", kTrialFlightRecorder);
    if (trial.updateAll) sim::writeText(kSettingsKey, "DadazadoUpdateAllPrinters", "1");
    if (!trial.language.empty()) sim::writeText(kSettingsKey, "InstallLanguageISO", trial.language);
}

}  // namespace

std::string packageDirectory(const Trial& trial) {
    return driver_package::directoryOnMachine(trial.package);
}

std::string prepareTrialMachine(const Trial& trial, const TrialVersion& version,
                                const driver_package::WindowsModel& model, const fs::path& dir) {
    std::vector<std::string> words = {dir.string(), "--os", version.os};
    if (version.target.x64) words.push_back("--64bit");
    if (runNew(words) != kExitSuccess) return "the machine could not be made";
    std::string problem = sim::openMachine(dir);
    if (!problem.empty()) return problem;
    fs::path failed;
    // Names Windows reserves for devices (NUL.ZIP, CON.TXT) cannot be files on any drive.
    if (!sim::copyTreeOntoMachine(trial.package, packageDirectory(trial), &failed) &&
        failed.empty())
        return "the package directory " + packageDirectory(trial) +
               " cannot be made on the machine: Windows cannot create a directory of that name";
    if (!failed.empty())
        return "the package file " + failed.lexically_relative(trial.package).string() +
               " cannot be copied onto the machine: Windows cannot create a file of that name";
    if (!trial.filesDir.empty() && !sim::copyTreeOntoMachine(trial.filesDir, "C:", &failed))
        return "the file " + failed.string() +
               " cannot be copied onto the machine: Windows cannot create a file of that name";
    if (!trial.regFile.empty()) {
        problem = sim::registry::importFile(trial.regFile);
        if (!problem.empty()) return problem;
    }
    writeSettings(trial);
    putSubstitutes(trial);
    return installDriverAndPrinter(trial, version, model, dir);
}

int runUtility(const Trial& trial, const TrialVersion& version,
               const driver_package::WindowsModel& model, const fs::path& dir) {
    sim::registry::flush();
    const fs::path start = sim::resolvePath(packageDirectory(trial)).host;
    // On the 9x family the driver installation names the driver, not the printer.
    const std::vector<std::string> words = {
        trial.dadazado.string(),
        "-I",
        packageDirectory(trial) + "\\" + trial.inf,
        "-N",
        version.target.win9x ? model.driverName : printerName(trial, model),
        "-P",
        trial.port};
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        if (chdir(start.c_str()) == 0 && setenv("WINSIM_MACHINE", dir.c_str(), 1) == 0)
            execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    if (!sim::openMachine(dir).empty()) return -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) return -1;
    return WEXITSTATUS(status);
}

}  // namespace winsim
