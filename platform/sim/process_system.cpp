#include <string>

#include "platform/errors.h"
#include "platform/process.h"
#include "platform/sim/faults.h"
#include "platform/sim/machine.h"
#include "platform/sim/names.h"
#include "platform/sim/process_host.h"

namespace platform {

namespace {

namespace process = sim::process;

// What the command interpreter of the simulated machine reports for a command it cannot run.
constexpr int kCommandNotRun = 1;

bool isInterpreter(const std::string& program) {
    const size_t slash = program.find_last_of("\\/:");
    const std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
    return sim::equalsIgnoringCase(name, "cmd.exe") || sim::equalsIgnoringCase(name, "cmd") ||
           sim::equalsIgnoringCase(name, "command.com");
}

// "<interpreter> /C <command>" runs <command>; cmd.exe drops one pair of enclosing quotes.
std::string commandForInterpreter(const std::string& command) {
    std::string rest;
    const std::string program = process::firstWord(command, &rest);
    if (!isInterpreter(program) || rest.size() < 2 || rest[0] != '/' ||
        (rest[1] != 'C' && rest[1] != 'c'))
        return command;
    std::string inner = rest.substr(2);
    inner.erase(0, inner.find_first_not_of(" \t"));
    if (inner.size() >= 2 && inner.front() == '"' && inner.back() == '"')
        inner = inner.substr(1, inner.size() - 2);
    return inner;
}

int runBatchFile(const std::string& command) {
    const process::Program batch = process::locateProgram(command);
    if (batch.error != 0) {
        sim::journal("batch file \"" + command + "\" not found");
        return kCommandNotRun;
    }
    std::string arguments;
    process::firstWord(command, &arguments);
    sim::journal("batch file \"" + batch.windowsPath + "\" arguments \"" + arguments +
                 "\" not interpreted, exit 0");
    return 0;
}

int runProgram(const std::string& command) {
    ProcessHandle child = nullptr;
    if (!createProcess(command, 0, StartupInfo{}, &child)) return kCommandNotRun;
    uint32_t exitCode = kCommandNotRun;
    if (waitForProcess(child, kInfinite) != kWaitObject0 || !getExitCodeProcess(child, &exitCode))
        exitCode = kCommandNotRun;
    closeProcess(child);
    return static_cast<int>(exitCode);
}

}  // namespace

// A command interpreter that cannot be started makes the C library's system() answer -1.
int runSystemCommand(const std::string& command) {
    if (uint32_t fault = sim::injectedFault("system", command)) {
        sim::journal("system \"" + command + "\" failed with error " + std::to_string(fault));
        setLastError(fault);
        return -1;
    }
    const std::string inner = commandForInterpreter(command);
    std::string rest;
    const int result = process::isBatchFile(process::firstWord(inner, &rest)) ? runBatchFile(inner)
                                                                              : runProgram(inner);
    sim::journal("system \"" + command + "\" exit " + std::to_string(result));
    return result;
}

}  // namespace platform
