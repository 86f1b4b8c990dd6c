#include "platform/process.h"

#include <windows.h>
#include <winspool.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/win32/system_entry.h"

namespace platform {

struct ProcessData {
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
};

namespace {

HANDLE nativePrinter(PrinterHandle printer) { return reinterpret_cast<HANDLE>(printer); }

// The size member is the structure's own: 68 bytes on a 32-bit build, more on a 64-bit one.
STARTUPINFOA nativeStartup(const StartupInfo& startup) {
    STARTUPINFOA info{};
    info.cb = sizeof info;
    info.dwFlags = startup.flags;
    info.dwX = startup.x;
    info.dwY = startup.y;
    info.wShowWindow = startup.showWindow;
    return info;
}

// CreateProcess may write into the command line, so it gets a copy of its own.
std::vector<char> writableCopy(const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return copy;
}

// Device modes hold pointers nowhere, but the driver's private part follows the public one;
// storage of 64-bit units keeps the start aligned for either.
class DevModeBuffer {
  public:
    explicit DevModeBuffer(LONG bytes) : storage((static_cast<size_t>(bytes) + 7) / 8, 0) {}
    DEVMODEA* get() { return reinterpret_cast<DEVMODEA*>(storage.data()); }

  private:
    std::vector<uint64_t> storage;
};

bool adopt(BOOL created, const PROCESS_INFORMATION& info, ProcessHandle* process) {
    if (!created) return false;
    *process = new ProcessData{info.hProcess, info.hThread};
    return true;
}

}  // namespace

bool createProcess(const std::string& commandLine, uint32_t creationFlags,
                   const StartupInfo& startup, ProcessHandle* process) {
    STARTUPINFOA info = nativeStartup(startup);
    PROCESS_INFORMATION created{};
    std::vector<char> line = writableCopy(commandLine);
    return adopt(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, creationFlags,
                                nullptr, nullptr, &info, &created),
                 created, process);
}

// The 9x family has no user tokens and no CreateProcessAsUser to import; it answers as its
// stubs do.
bool createProcessAsUser(UserToken token, const std::string& commandLine, uint32_t creationFlags,
                         const StartupInfo& startup, ProcessHandle* process) {
    const auto createAsUser =
        win32::systemEntry<decltype(&CreateProcessAsUserA)>("ADVAPI32.DLL", "CreateProcessAsUserA");
    if (createAsUser == nullptr) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    STARTUPINFOA info = nativeStartup(startup);
    PROCESS_INFORMATION created{};
    std::vector<char> line = writableCopy(commandLine);
    return adopt(createAsUser(static_cast<HANDLE>(token), nullptr, line.data(), nullptr, nullptr,
                              FALSE, creationFlags, nullptr, nullptr, &info, &created),
                 created, process);
}

uint32_t waitForProcess(ProcessHandle process, uint32_t milliseconds) {
    return WaitForSingleObject(process->process, milliseconds);
}

bool getExitCodeProcess(ProcessHandle process, uint32_t* exitCode) {
    DWORD code = 0;
    if (!GetExitCodeProcess(process->process, &code)) return false;
    *exitCode = code;
    return true;
}

void closeProcess(ProcessHandle process) {
    if (process == nullptr) return;
    CloseHandle(process->process);
    CloseHandle(process->thread);
    delete process;
}

void dispatchQueuedMessages(bool paintOnly) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (paintOnly && message.message != WM_PAINT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int runSystemCommand(const std::string& command) { return std::system(command.c_str()); }

int32_t documentProperties(PrinterHandle printer, const std::string& deviceName, uint32_t mode) {
    std::vector<char> name = writableCopy(deviceName);
    return DocumentPropertiesA(nullptr, nativePrinter(printer), name.data(), nullptr, nullptr,
                               mode);
}

// The dialog edits a copy of the printer's current document settings; with no output buffer
// the call would only report the size.
int32_t advancedDocumentProperties(PrinterHandle printer, const std::string& deviceName) {
    std::vector<char> name = writableCopy(deviceName);
    const LONG size =
        DocumentPropertiesA(nullptr, nativePrinter(printer), name.data(), nullptr, nullptr, 0);
    if (size <= 0) return 0;
    DevModeBuffer current(size);
    DevModeBuffer edited(size);
    if (DocumentPropertiesA(nullptr, nativePrinter(printer), name.data(), current.get(), nullptr,
                            DM_OUT_BUFFER) != IDOK)
        return 0;
    return AdvancedDocumentPropertiesA(nullptr, nativePrinter(printer), name.data(), edited.get(),
                                       current.get());
}

bool printerProperties(PrinterHandle printer) {
    return PrinterProperties(nullptr, nativePrinter(printer)) != FALSE;
}

}  // namespace platform
