#pragma once

#include <cstdint>
#include <string>

#include "platform/spooler.h"

// Starting programs, waiting for them, and the printer driver's own dialogs, with Win32
// semantics: failures are reported through the last error.
namespace platform {

struct ProcessData;  // opaque; the process and thread handles on Windows
using ProcessHandle = ProcessData*;
using UserToken = void*;  // a user's access token (a HANDLE on Windows)

constexpr uint32_t kStartfUseShowWindow = 0x1;
constexpr uint32_t kStartfUsePosition = 0x4;
constexpr uint16_t kSwShowNoActivate = 8;

constexpr uint32_t kInfinite = 0xFFFFFFFFu;
constexpr uint32_t kWaitObject0 = 0;
constexpr uint32_t kWaitTimeout = 258;
constexpr uint32_t kWaitFailed = 0xFFFFFFFFu;
constexpr uint32_t kStillActive = 259;

constexpr uint32_t kDmInPrompt = 4;

// The start-up information a new process gets; everything not named here is zero.
struct StartupInfo {
    uint32_t flags = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    uint16_t showWindow = 0;
};

// CreateProcess with no application name, no security attributes, handles not inherited, the
// caller's environment and current directory. On success *process owns the process and its
// primary thread until closeProcess.
bool createProcess(const std::string& commandLine, uint32_t creationFlags,
                   const StartupInfo& startup, ProcessHandle* process);
// CreateProcessAsUser: the same, as the user of token.
bool createProcessAsUser(UserToken token, const std::string& commandLine, uint32_t creationFlags,
                         const StartupInfo& startup, ProcessHandle* process);

// WaitForSingleObject on the process: kWaitObject0, kWaitTimeout, or kWaitFailed with the
// last error.
uint32_t waitForProcess(ProcessHandle process, uint32_t milliseconds);
// GetExitCodeProcess: kStillActive while the process runs.
bool getExitCodeProcess(ProcessHandle process, uint32_t* exitCode);
// Closes the process and thread handles.
void closeProcess(ProcessHandle process);

// Removes every message queued for the calling thread, translating and dispatching each one;
// with paintOnly only paint messages are dispatched and the others are dropped.
void dispatchQueuedMessages(bool paintOnly);

// The runtime's system(): runs command through the command interpreter and returns its result.
int runSystemCommand(const std::string& command);

// The driver's dialogs for an open printer, with no parent window. DocumentProperties with no
// device modes; AdvancedDocumentProperties on the printer's current document settings;
// PrinterProperties. The results are what the calls return (negative or 0 for a failure).
int32_t documentProperties(PrinterHandle printer, const std::string& deviceName, uint32_t mode);
int32_t advancedDocumentProperties(PrinterHandle printer, const std::string& deviceName);
bool printerProperties(PrinterHandle printer);

}  // namespace platform
