#include "commands/run_exe_info.h"

#include "commands/run_context.h"
#include "platform/errors.h"
#include "platform/process.h"
#include "platform/spooler.h"
#include "support/debug_log.h"
#include "support/launcher.h"
#include "support/opened_printer.h"
#include "support/os_info.h"

namespace {

constexpr uint32_t kCreateSeparateWowVdm = 0x800;
constexpr uint32_t kDetachedNormalPriority = 0x28;  // DETACHED_PROCESS | NORMAL_PRIORITY_CLASS

CStdStr keyForType(int type) {
    if (type == 0) return "QenUnZipEXEFile";
    if (type == 1) return "QenRunApps";
    LogLine("RunAppInfo::ctor: invalid type: ", type);
    return CStdStr();
}

bool isDriverKeyword(const CStdStr& program) {
    return program == "DRIVER_DOC_PROP" || program == "DRIVER_ADV_DOC_PROP" ||
           program == "DRIVER_PTR_PROP";
}

// Arguments counted from 1, as the INF writer counts them.
bool hasArgument(const std::vector<CStdStr>& arguments, size_t number) {
    return arguments.size() >= number;
}

int numberOr(const std::vector<CStdStr>& arguments, size_t number, int fallback) {
    return hasArgument(arguments, number) ? cstd::atoi(arguments[number - 1]) : fallback;
}

uint32_t creationFlagsFor(const std::vector<CStdStr>& arguments) {
    if (!hasArgument(arguments, 5)) return 0;
    const CStdStr& kind = arguments[4];
    if (kind.EqualsNoCase("DOS") || kind.EqualsNoCase("WIN16")) return kCreateSeparateWowVdm;
    return kDetachedNormalPriority;
}

}  // namespace

RunExeInfo::RunExeInfo(RunContext* engine, int type) : GenericInfo(engine, keyForType(type)) {}

bool RunExeInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.empty()) {
        LogLine("RunAppInfo::HandleCommand: Not enough arguments!");
        return false;
    }
    const CStdStr program = engine->DecodeMacros(arguments[0], 255);
    if (engine->isSilentMode() && numberOr(arguments, 6, 1) != 1) return true;
    if (!isDriverKeyword(program))
        runProgram(program, arguments);
    else if (OSInfo::current().isWinNT())
        runDriver(program);
    return true;
}

void RunExeInfo::runProgram(const CStdStr& program, const std::vector<CStdStr>& arguments) {
    const CStdStr parameters = hasArgument(arguments, 2) ? arguments[1] : CStdStr();
    const CStdStr commandLine = program + " " + parameters;
    const auto showCommand = static_cast<uint16_t>(numberOr(arguments, 3, 0));
    const bool wait = numberOr(arguments, 4, 1) == 1;
    const uint32_t flags = creationFlagsFor(arguments);
    if (wait) {
        uint32_t exitCode = 0;
        const uint32_t error = launchAndWait(commandLine.c_str(), false, exitCode, true, nullptr,
                                             showCommand, flags, false);
        LogLine("RunProgramInfo: ", commandLine, " returned ", exitCode, " (error code ", error,
                ")");
    } else {
        const uint32_t error = launchNoWait(commandLine.c_str(), true, nullptr, showCommand, flags);
        LogLine("RunProgramInfo: ", commandLine, " ran.  (Error code ", error, ")");
    }
}

void RunExeInfo::runDriver(const CStdStr& keyword) {
    const CStdStr& printerName = engine->getPrinterName();
    const OpenedPrinter printer(printerName, platform::kPrinterRead);
    if (!printer) {
        const uint32_t error = platform::getLastError();
        LogLine("RunAppInfo::runDriver: OpenPrinter of ", printerName, " failed with code ", error);
        return;
    }
    // Without the printer's own record there is no device name to give the driver.
    uint32_t needed = 0;
    platform::PrinterInfo2 info;
    platform::getPrinter(printer.get(), nullptr, &needed);
    if (needed == 0 || !platform::getPrinter(printer.get(), &info, &needed)) {
        const uint32_t error = platform::getLastError();
        LogLine("RunAppInfo::runDriver: GetPrinter of ", printerName, " failed with code ", error);
        return;
    }
    // A dialog that did not appear is the only trace the user's settings were not asked for.
    bool shown = false;
    if (keyword == "DRIVER_DOC_PROP")
        shown = platform::documentProperties(printer.get(), info.printerName,
                                             platform::kDmInPrompt) > 0;
    else if (keyword == "DRIVER_ADV_DOC_PROP")
        shown = platform::advancedDocumentProperties(printer.get(), info.printerName) > 0;
    else
        shown = platform::printerProperties(printer.get());
    if (shown) return;
    const uint32_t error = platform::getLastError();
    LogLine("RunAppInfo::runDriver: ", keyword, " dialog of ", printerName, " failed with code ",
            error);
}
