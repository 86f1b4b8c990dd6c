#include "app/dadazado_engine.h"

#include <ctime>

#include "support/debug_log.h"
#include "support/registry.h"

namespace {

constexpr const char* kSettingsRoot = "HKLM";
constexpr const char* kSettingsKey = "SOFTWARE\\Qentrel";

void logLine(const CStdStr& text) {
    GetDebugLog() << text << '\n';
    GetDebugLog().flush();
}

}  // namespace

void DadazadoEngine::readDebugSettings() {
    Registry registry;
    GetDebugLog().SetFileName(registry.ReadString(kSettingsRoot, kSettingsKey, "DadazadoDebug"));
    updateMode = cstd::atoi(registry.ReadString(kSettingsRoot, kSettingsKey,
                                                "DadazadoUpdateAllPrinters")) > 0;
    customInstall = cstd::atoi(registry.ReadString(kSettingsRoot, kSettingsKey, "Running")) > 0;
}

void DadazadoEngine::logHeader(const CStdStr& commandLine) {
    logLine("---- Post install utility Flight Recorder ----");
    const std::time_t now = std::time(nullptr);
    // asctime's text carries its own line feed; the second one leaves an empty line.
    GetDebugLog() << std::asctime(std::localtime(&now)) << '\n';
    GetDebugLog().flush();
    logLine("Command line: " + commandLine);
}

int DadazadoEngine::run(const CStdStr& commandLine) {
    readDebugSettings();
    logHeader(commandLine);
    if (!parseCommandLine(commandLine)) return 1;
    return 0;
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
