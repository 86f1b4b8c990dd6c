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
#include "tools/winsim/package_driver.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSettingsKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel";
// Where the uninstaller archive carries the install engine the utility loads.
constexpr const char* kEngineMember = "Install/x86/Engine.dll";

// The driver installation copies the driver's files to the spooler's driver directory,
// expanding those the package ships compressed, before it adds the driver.
void stageDriverFiles(const PackageDriver& driver, const std::string& packageDir) {
    const std::string driverDir = platform::getPrinterDriverDirectory();
    for (size_t i = 0; i < driver.files.size(); ++i) {
        const std::string source = packageDir + "\\" + driver.sources[i];
        const std::string target = driverDir + "\\" + driver.files[i];
        const int32_t in = platform::lzOpenFile(source, platform::kLzOpenRead);
        if (in < 0) continue;  // not shipped: the driver is added with an empty file
        const int32_t out = platform::lzOpenFile(target, platform::kLzOpenCreate);
        if (out >= 0) platform::lzCopy(in, out);
        platform::lzClose(in);
        if (out >= 0) platform::lzClose(out);
    }
}

std::string installDriverAndPrinter(const Trial& trial, const fs::path& dir) {
    PackageDriver driver;
    std::string problem;
    const std::string inf = packageDirectory(trial) + "\\" + trial.inf;
    if (!readPackageDriver(inf, trial.model, &driver, &problem)) return problem;
    stageDriverFiles(driver, packageDirectory(trial));
    std::string dependents;
    for (const std::string& file : driver.files)
        dependents += (dependents.empty() ? "" : ",") + file;
    std::vector<std::string> words = {dir.string(),      trial.model,      "--driver-path",
                                      driver.driverFile, "--data-file",    driver.dataFile,
                                      "--config-file",   driver.configFile};
    if (!driver.helpFile.empty()) words.insert(words.end(), {"--help-file", driver.helpFile});
    if (!dependents.empty()) words.insert(words.end(), {"--dependent", dependents});
    sim::registry::flush();
    if (runDriverAdd(words) != kExitSuccess) return "the driver could not be added";
    if (runPrinterAdd({dir.string(), trial.printer, "--driver", trial.model, "--port",
                       trial.port}) != kExitSuccess)
        return "the printer could not be added";
    return sim::openMachine(dir);
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

std::string prepareTrialMachine(const Trial& trial, const std::string& os, const fs::path& dir) {
    if (runNew({dir.string(), "--os", os}) != kExitSuccess) return "the machine could not be made";
    std::string problem = sim::openMachine(dir);
    if (!problem.empty()) return problem;
    if (!sim::copyTreeOntoMachine(trial.package, packageDirectory(trial)))
        return "the package could not be copied onto the machine";
    if (!trial.filesDir.empty() && !sim::copyTreeOntoMachine(trial.filesDir, "C:"))
        return trial.filesDir.string() + " could not be copied onto the machine";
    if (!trial.regFile.empty()) {
        problem = sim::registry::importFile(trial.regFile);
        if (!problem.empty()) return problem;
    }
    writeSettings(trial);
    putSubstitutes(trial);
    return installDriverAndPrinter(trial, dir);
}

int runUtility(const Trial& trial, bool win9x, const fs::path& dir) {
    sim::registry::flush();
    const fs::path start = sim::resolvePath(packageDirectory(trial)).host;
    // On the 9x family the driver installation names the driver, not the printer.
    const std::vector<std::string> words = {trial.dadazado.string(),
                                            "-I",
                                            packageDirectory(trial) + "\\" + trial.inf,
                                            "-N",
                                            win9x ? trial.model : trial.printer,
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
