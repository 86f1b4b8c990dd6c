#include "support/launcher.h"

#include "platform/errors.h"
#include "platform/files.h"
#include "support/debug_log.h"
#include "support/os_info.h"
#include "support/path_object.h"
#include "support/system_path.h"

namespace {

constexpr uint32_t kWaitSliceMillis = 1000;

// The program part of a command line: up to the first blank, or the text inside a leading
// pair of double quotes (a missing closing quote takes the rest of the line).
CStdStr firstToken(const CStdStr& commandLine) {
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t close = commandLine.find('"', 1);
        return commandLine.substr(1, close == CStdStr::npos ? CStdStr::npos : close - 1);
    }
    return commandLine.substr(0, commandLine.find(' '));
}

bool isBatchFile(const CStdStr& program) {
    return program.size() >= 4 && cstd::equalsNoCase(program.substr(program.size() - 4), ".BAT");
}

CStdStr interpreterPath(int pathCode, const char* name) {
    SystemPath path(pathCode);
    path.SetFileName(name);
    return path.GetFullPath();
}

// The command that runs a batch file through the command interpreter of this system.
CStdStr batchCommand(const CStdStr& commandLine) {
    if (OSInfo::current().isWin9x())
        return interpreterPath(SystemPath::WINDOWS_DIR, "Command.com") + " /C " + commandLine;
    return interpreterPath(SystemPath::SYSTEM_DIR, "cmd.exe") + " /C \"" + commandLine + "\"";
}

void enterProgramDirectory(const CStdStr& dir) {
    if (dir.empty() || platform::setCurrentDirectory(dir)) return;
    const uint32_t error = platform::getLastError();
    LogLine("Launch:LaunchProgram: could not change dirs to ", dir);
    LogLine("\tError code ", error);
}

// The runtime answers -1 when it could not start the command interpreter at all: that is a
// failure to run, not an exit code of the batch file.
void runBatchFile(const CStdStr& command, uint32_t& errorCode, uint32_t& exitCode) {
    platform::setLastError(0);
    const int result = platform::runSystemCommand(command);
    const uint32_t error = result == -1 ? platform::getLastError() : 0;
    if (error != 0) {
        errorCode = error;
        return;
    }
    exitCode = static_cast<uint32_t>(result);
}

}  // namespace

void Launcher::LaunchProgram(const char* commandLine, bool wait, bool pumpMessages, bool changeDir,
                             platform::UserToken token, uint16_t showCommand,
                             uint32_t creationFlags, uint32_t& errorCode, uint32_t& exitCode,
                             bool paintOnly) {
    errorCode = 0;
    exitCode = 0;
    if (commandLine == nullptr || *commandLine == '\0') {
        errorCode = platform::error::kInvalidParameter;
        return;
    }
    const CStdStr line(commandLine);
    const CStdStr program = firstToken(line);
    PathObject programPath;
    programPath.SetFullPath(program);
    const bool batch = isBatchFile(program);
    const CStdStr command = batch ? batchCommand(line) : line;

    const CStdStr previousDir = changeDir ? CStdStr(platform::getCurrentDirectory()) : CStdStr();
    if (changeDir) enterProgramDirectory(programPath.GetDir());
    if (batch)
        runBatchFile(command, errorCode, exitCode);
    else
        errorCode = runProcess(command, wait, pumpMessages, token, showCommand, creationFlags,
                               exitCode, paintOnly);
    if (changeDir) platform::setCurrentDirectory(previousDir);
}

// A failed wait or exit-code query is reported as the error code: the program may still be
// running, so no exit code would be true.
uint32_t Launcher::runProcess(const CStdStr& command, bool wait, bool pumpMessages,
                              platform::UserToken token, uint16_t showCommand,
                              uint32_t creationFlags, uint32_t& exitCode, bool paintOnly) {
    platform::StartupInfo startup;
    startup.flags = platform::kStartfUseShowWindow | platform::kStartfUsePosition;
    startup.x = 1;
    startup.y = 1;
    startup.showWindow = showCommand != 0 ? showCommand : platform::kSwShowNoActivate;
    platform::ProcessHandle process = nullptr;
    const bool started =
        token != nullptr
            ? platform::createProcessAsUser(token, command, creationFlags, startup, &process)
            : platform::createProcess(command, creationFlags, startup, &process);
    if (!started) return platform::getLastError();
    uint32_t error = 0;
    if (wait) {
        const uint32_t waited = pumpMessages
                                    ? waitWhilePumping(process, paintOnly)
                                    : platform::waitForProcess(process, platform::kInfinite);
        if (waited != platform::kWaitObject0 || !platform::getExitCodeProcess(process, &exitCode)) {
            error = platform::getLastError();
            exitCode = 0;
        }
    }
    platform::closeProcess(process);
    return error;
}

uint32_t Launcher::waitWhilePumping(platform::ProcessHandle process, bool paintOnly) {
    uint32_t waited = platform::waitForProcess(process, kWaitSliceMillis);
    while (waited == platform::kWaitTimeout) {
        platform::dispatchQueuedMessages(paintOnly);
        onWaitTick();
        waited = platform::waitForProcess(process, kWaitSliceMillis);
    }
    return waited;
}

uint32_t launchNoWait(const char* commandLine, bool changeDir, platform::UserToken token,
                      uint16_t showCommand, uint32_t creationFlags) {
    Launcher launcher;
    uint32_t errorCode = 0;
    uint32_t exitCode = 0;
    launcher.LaunchProgram(commandLine, false, false, changeDir, token, showCommand, creationFlags,
                           errorCode, exitCode, false);
    return errorCode;
}

uint32_t launchAndWait(const char* commandLine, bool pumpMessages, uint32_t& exitCode,
                       bool changeDir, platform::UserToken token, uint16_t showCommand,
                       uint32_t creationFlags, bool paintOnly) {
    Launcher launcher;
    uint32_t errorCode = 0;
    launcher.LaunchProgram(commandLine, true, pumpMessages, changeDir, token, showCommand,
                           creationFlags, errorCode, exitCode, paintOnly);
    return errorCode;
}
