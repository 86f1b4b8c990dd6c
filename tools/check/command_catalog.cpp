#include "tools/check/command_catalog.h"

#include <memory>

#include "app/dadazado_engine.h"
#include "commands/delete_file_info.h"
#include "commands/inst_file_info.h"
#include "commands/monitor_info.h"
#include "commands/processor_info.h"
#include "commands/prt_drv_data_info.h"
#include "commands/reg_info.h"
#include "commands/run_exe_info.h"
#include "commands/start_menu_info.h"
#include "commands/uninstall_info.h"
#include "commands/unzip_file_info.h"
#include "commands/update_dep_files_info.h"
#include "commands/update_ini_info.h"
#include "tools/check/command_layouts.h"
#include "tools/check/edit_distance.h"
#include "tools/check/key_probe.h"

namespace check {

namespace {

// Directives of a printer's install section that Windows itself reads and the utility leaves
// to it. Only a slip close to one of them is worth a word, so the list holds those printer
// INFs use, not every directive there is.
constexpr const char* kStandardDirectives[] = {
    "CopyFiles", "DataSection",     "DataFile",    "DriverFile", "ConfigFile",
    "HelpFile",  "LanguageMonitor", "VendorSetup", "Include",    "Needs",
    "AddReg",    "DelReg",          "UpdateInis",  "DelFiles",   "RenFiles",
};

// A handler that reads command lines, with the layout of its lines.
struct CommandHandler {
    std::unique_ptr<GenericInfo> handler;
    LineLayout layout;
};

std::vector<CommandHandler> commandHandlers(RunContext* probe) {
    std::vector<CommandHandler> list;
    const platform::PrinterInfo2 noPrinter;
    list.push_back({std::make_unique<UnzipFileInfo>(probe), unzipLayout()});
    list.push_back({std::make_unique<RunExeInfo>(probe, 0), runProgramLayout()});
    list.push_back({std::make_unique<InstFileInfo>(probe), installFileLayout()});
    list.push_back({std::make_unique<DeleteRegInfo>(probe, CStdStr()), deleteRegLayout()});
    list.push_back({std::make_unique<AddRegInfo>(probe, CStdStr()), addRegLayout()});
    list.push_back({std::make_unique<PrtDrvDataInfo>(probe, noPrinter), printerDataLayout()});
    list.push_back({std::make_unique<MonitorInfo>(probe, nullptr, nullptr, 3), monitorLayout()});
    list.push_back({std::make_unique<UpdateIniInfo>(probe), updateIniLayout()});
    list.push_back({std::make_unique<StartMenuInfo>(probe), startMenuLayout()});
    list.push_back({std::make_unique<RunExeInfo>(probe, 1), runProgramLayout()});
    list.push_back({std::make_unique<DeleteFileInfo>(probe), deleteFileLayout()});
    return list;
}

// The handlers that read no command lines: their keys are known, but name no sections.
std::vector<CStdStr> otherHandlerKeys(RunContext* probe) {
    return {UpdateDepFilesInfo(probe, nullptr, 3).getCommandKey(),
            ProcessorInfo(probe, nullptr).getCommandKey()};
}

// The keys the print-processor handler reads in the driver's data section.
std::vector<CStdStr> dataSectionKeys(KeyProbe& probe) {
    ProcessorInfo(&probe, nullptr).readProcessorKeys("data section");
    return probe.takeAskedKeys();
}

}  // namespace

CommandCatalog::CommandCatalog() {
    KeyProbe probe;
    for (CommandHandler& command : commandHandlers(&probe)) {
        addKnownKey(command.handler->getCommandKey());
        layouts.emplace(command.handler->getCommandKey().ToLower(), std::move(command.layout));
    }
    uninstall = UninstallInfo(&probe).getCommandKey();
    addKnownKey(uninstall);
    layouts.emplace(uninstall.ToLower(), uninstallLayout());
    for (const CStdStr& key : otherHandlerKeys(&probe)) addKnownKey(key);
    addKnownKey(DadazadoEngine::kNetworkLevelKey);
    addKnownKey(DadazadoEngine::kInstallDirKey);
    for (const CStdStr& key : dataSectionKeys(probe)) addKnownKey(key);
    for (const char* directive : kStandardDirectives) addKnownKey(directive);
}

void CommandCatalog::addKnownKey(const CStdStr& key) {
    if (!key.empty() && !isKnownKey(key)) knownKeys.push_back(key);
}

bool CommandCatalog::isKnownKey(const CStdStr& key) const {
    for (const CStdStr& known : knownKeys)
        if (known.EqualsNoCase(key)) return true;
    return false;
}

NearestKey CommandCatalog::nearestKnownKey(const CStdStr& key) const {
    NearestKey nearest;
    for (const CStdStr& known : knownKeys) {
        const size_t distance = editDistance(key, known);
        if (nearest.key.empty() || distance < nearest.distance) nearest = {known, distance};
    }
    return nearest;
}

const LineLayout* CommandCatalog::commandLayout(const CStdStr& key) const {
    const auto found = layouts.find(key.ToLower());
    return found == layouts.end() ? nullptr : &found->second;
}

}  // namespace check
