#include "platform/process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/errors.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/faults.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/process_host.h"

namespace platform {

// A started program. A batch file is not interpreted: it counts as a process that has
// already ended with 0.
struct ProcessData {
    std::string call;
    std::string commandLine;
    std::string directory;
    StartupInfo startup;
    uint32_t creationFlags = 0;
    bool batch = false;
    pid_t pid = -1;
    bool ended = false;
    bool waited = false;  // a wait saw the end
    uint32_t exitCode = 0;
};

namespace {

namespace process = sim::process;

std::string hex8(uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string startDescription(const std::string& call, const std::string& commandLine,
                             const StartupInfo& startup, uint32_t creationFlags) {
    return call + " \"" + commandLine + "\" dir \"" + sim::machineState().currentDirectory +
           "\" show " + std::to_string(startup.showWindow) + " flags " + hex8(creationFlags);
}

void journalFinish(const ProcessData& data) {
    std::string line =
        startDescription(data.call, data.commandLine, data.startup, data.creationFlags);
    if (data.batch) line += " batch file not interpreted";
    line += data.waited ? " waited yes exit " + std::to_string(data.exitCode) : " waited no";
    sim::journal(line);
}

bool refuseStart(const std::string& description, uint32_t error) {
    sim::journal(description + " failed with error " + std::to_string(error));
    setLastError(error);
    return false;
}

// Reaps the child if it has ended (blocking says whether to wait for that).
void collect(ProcessData* data, bool blocking) {
    if (data->ended) return;
    int status = 0;
    pid_t got = 0;
    do got = waitpid(data->pid, &status, blocking ? 0 : WNOHANG);
    while (got < 0 && errno == EINTR);
    if (got == 0) return;
    sim::forgetDirectoryListings();  // the program may have changed any directory
    data->ended = true;
    data->exitCode = got > 0 ? process::exitCodeOfStatus(status) : 0;
}

// The system documents the command line's limit as 32,767 characters with its terminating
// null; a longer one is refused before anything is looked for.
constexpr size_t kMaxCommandLine = 32767;

bool start(const std::string& call, const std::string& commandLine, uint32_t creationFlags,
           const StartupInfo& startup, ProcessHandle* process) {
    const std::string description = startDescription(call, commandLine, startup, creationFlags);
    if (commandLine.size() + 1 > kMaxCommandLine)
        return refuseStart(description, error::kFilenameExcedRange);
    const process::Program program = process::locateProgram(commandLine);
    uint32_t fault = sim::injectedFault(call, commandLine);
    if (fault == 0 && !program.windowsPath.empty())
        fault = sim::injectedFault(call, program.windowsPath);
    if (fault != 0) return refuseStart(description, fault);
    if (program.error != 0) return refuseStart(description, program.error);

    auto* data = new ProcessData{call, commandLine, sim::machineState().currentDirectory, startup,
                                 creationFlags};
    if (process::isBatchFile(program.hostPath)) {
        data->batch = true;
        data->ended = true;
    } else if (uint32_t error = process::spawnHostProgram(
                   program.hostPath, process::splitCommandLine(commandLine), &data->pid)) {
        delete data;
        return refuseStart(description, error);
    }
    *process = data;
    return true;
}

}  // namespace

bool createProcess(const std::string& commandLine, uint32_t creationFlags,
                   const StartupInfo& startup, ProcessHandle* process) {
    return start("CreateProcess", commandLine, creationFlags, startup, process);
}

// The simulated machine has one user; a token only has to be there.
bool createProcessAsUser(UserToken token, const std::string& commandLine, uint32_t creationFlags,
                         const StartupInfo& startup, ProcessHandle* process) {
    if (token == nullptr) {
        setLastError(error::kInvalidHandle);
        return false;
    }
    return start("CreateProcessAsUser", commandLine, creationFlags, startup, process);
}

uint32_t waitForProcess(ProcessHandle process, uint32_t milliseconds) {
    if (process == nullptr) {
        setLastError(error::kInvalidHandle);
        return kWaitFailed;
    }
    if (uint32_t fault = sim::injectedFault("WaitForSingleObject", process->commandLine)) {
        setLastError(fault);
        return kWaitFailed;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (collect(process, milliseconds == kInfinite); !process->ended; collect(process, false)) {
        if (std::chrono::steady_clock::now() >= deadline) return kWaitTimeout;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    process->waited = true;
    return kWaitObject0;
}

bool getExitCodeProcess(ProcessHandle process, uint32_t* exitCode) {
    if (process == nullptr) {
        setLastError(error::kInvalidHandle);
        return false;
    }
    if (uint32_t fault = sim::injectedFault("GetExitCodeProcess", process->commandLine)) {
        setLastError(fault);
        return false;
    }
    collect(process, false);
    *exitCode = process->ended ? process->exitCode : kStillActive;
    return true;
}

void closeProcess(ProcessHandle process) {
    if (process == nullptr) return;
    journalFinish(*process);
    collect(process, false);
    if (!process->ended) process::adoptUnfinished(process->pid);
    delete process;
}

// The simulated machine has no windows, so a thread's message queue is always empty.
void dispatchQueuedMessages(bool) {}

}  // namespace platform
