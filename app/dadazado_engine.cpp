#include "app/dadazado_engine.h"

#include <ctime>

#include "commands/delete_file_info.h"
#include "commands/generic_info.h"
#include "commands/inst_file_info.h"
#include "commands/run_exe_info.h"
#include "commands/start_menu_info.h"
#include "commands/uninstall_info.h"
#include "commands/unzip_file_info.h"
#include "commands/update_ini_info.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/os_info.h"
#include "support/registry.h"

namespace {

constexpr const char* kSettingsRoot = "HKLM";
constexpr const char* kSettingsKey = "SOFTWARE\\Qentrel";

}  // namespace

void DadazadoEngine::readDebugSettings() {
    Registry registry;
    GetDebugLog().SetFileName(registry.ReadString(kSettingsRoot, kSettingsKey, "DadazadoDebug"));
    updateMode = cstd::atoi(registry.ReadString(kSettingsRoot, kSettingsKey,
                                                "DadazadoUpdateAllPrinters")) > 0;
    customInstall = cstd::atoi(registry.ReadString(kSettingsRoot, kSettingsKey, "Running")) > 0;
}

void DadazadoEngine::logHeader(const CStdStr& commandLine) {
    LogLine("---- Post install utility Flight Recorder ----");
    const std::time_t now = std::time(nullptr);
    // asctime's text carries its own line feed; the second one leaves an empty line.
    LogLine(std::asctime(std::localtime(&now)));
    LogLine("Command line: " + commandLine);
}

void DadazadoEngine::logRunSettings() const {
    const auto yesNo = [](bool flag) { return flag ? "yes" : "no"; };
    LogLine("Driver name:       ", driverName);
    LogLine("Print Object Name: ", printerName);
    LogLine("Point and Print:   ", yesNo(pointAndPrint));
    LogLine("Install section:   ", installSection);
    LogLine("Update Mode:       ", yesNo(updateMode));
    LogLine("Custom install:    ", yesNo(customInstall));
    LogLine("Network level:\t\t", networkLevel);
}

void DadazadoEngine::readNetworkLevel() {
    CStdStr value;
    if (getInfValue(installSection, kNetworkLevelKey, value))
        networkLevel = static_cast<uint32_t>(cstd::atoi(value));
}

int DadazadoEngine::run(const CStdStr& commandLine) {
    // The system is identified once a run, at its first question.
    OSInfo::forget();
    readDebugSettings();
    logHeader(commandLine);
    if (!parseCommandLine(commandLine)) return 1;
    if (!getManufacturers()) return 3;
    if (!getPrinterInfo()) return 2;
    installSection = getInstallSection(driverName);
    if (installSection.empty()) return 4;
    readNetworkLevel();
    readUninstallInfo();
    getStrings();
    logRunSettings();
    std::vector<std::unique_ptr<GenericInfo>> handlers = buildHandlers();
    for (const std::unique_ptr<GenericInfo>& handler : handlers) handler->Process();
    handlers.clear();
    // Replacements the system would not schedule itself must reach it before the run ends.
    FileOp::writePendingRenames();
    return 0;
}

std::vector<std::unique_ptr<GenericInfo>> DadazadoEngine::buildHandlers() {
    // The fixed order of the run. The uninstaller comes last because it hands the operations
    // that the handlers before it recorded to the logging library.
    std::vector<std::unique_ptr<GenericInfo>> handlers;
    handlers.push_back(std::make_unique<UnzipFileInfo>(this));
    handlers.push_back(std::make_unique<RunExeInfo>(this, 0));
    handlers.push_back(std::make_unique<InstFileInfo>(this));
    SetupMultipleDrivers(handlers);
    addPrinterHandlers(handlers);
    handlers.push_back(std::make_unique<UpdateIniInfo>(this));
    handlers.push_back(std::make_unique<StartMenuInfo>(this));
    handlers.push_back(std::make_unique<RunExeInfo>(this, 1));
    handlers.push_back(std::make_unique<DeleteFileInfo>(this));
    handlers.push_back(std::make_unique<UninstallInfo>(this));
    return handlers;
}

void DadazadoEngine::logOperation(int32_t type, const CStdStr& owner, const CStdStr& item,
                                  bool useArgument) {
    auto op = std::make_unique<LogOp>();
    op->type = type;
    op->owner = owner;
    op->item = item;
    op->useArgument = useArgument;
    logOps.push_back(std::move(op));
}
