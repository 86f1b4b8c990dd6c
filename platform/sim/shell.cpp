#include "platform/shell.h"

#include <cstdio>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/sim/faults.h"
#include "platform/sim/machine.h"
#include "platform/sim/shell_link_file.h"
#include "platform/text_conversion.h"

namespace platform {

namespace {

// COM keeps its initialisation per thread and the simulation does the same, so a caller that
// forgets it fails here as it would on Windows.
thread_local bool comInitialized = false;

constexpr size_t kMaxPath = 260;

// What the shell reads from the target when it saves a link; a missing target leaves zeros.
void describeTarget(sim::ShellLinkData& data) {
    const uint32_t attributes = getFileAttributes(data.targetPath);
    if (attributes == kInvalidFileAttributes) return;
    data.targetAttributes = attributes;
    FileTimes times;
    if (getFileTimes(data.targetPath, &times)) {
        data.targetCreation = times.creation;
        data.targetAccess = times.lastAccess;
        data.targetWrite = times.lastWrite;
    }
    if (std::FILE* file = openFile(data.targetPath, "rb")) {
        if (std::fseek(file, 0, SEEK_END) == 0) {
            const long size = std::ftell(file);
            if (size > 0) data.targetSize = static_cast<uint32_t>(size);
        }
        std::fclose(file);
    }
}

HResult writeLinkFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = openFile(path, "wb");
    if (file == nullptr) return hresultFromWin32(getLastError());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed ? kSOk : hresultFromWin32(112);  // ERROR_DISK_FULL
}

constexpr const char* kShellLinkClsid = "{00021401-0000-0000-C000-000000000046}";

// The link object's setters fail as injected ("IShellLinkA::SetPath" on the value); the
// string ones take fewer than MAX_PATH characters, as the shell's do.
HResult assignText(const char* call, std::string& member, const std::string& text) {
    if (uint32_t fault = sim::injectedFault(call, text)) return hresultFromWin32(fault);
    if (text.size() >= kMaxPath) return kEInvalidArg;
    member = text;
    return kSOk;
}

}  // namespace

struct ShellLink::State {
    sim::ShellLinkData data;
};

HResult coInitializeApartment() {
    if (comInitialized) return 1;  // S_FALSE: already initialised on this thread
    if (uint32_t fault = sim::injectedFault("CoInitialize", "")) return hresultFromWin32(fault);
    comInitialized = true;
    return kSOk;
}

void notifyDirectoryUpdated(const std::string& directory) {
    sim::journal("SHChangeNotify SHCNE_UPDATEDIR " + directory);
}

ShellLink::ShellLink() = default;
ShellLink::~ShellLink() = default;

HResult ShellLink::create() {
    state.reset();
    if (!comInitialized) return kCoENotInitialized;
    if (uint32_t fault = sim::injectedFault("CoCreateInstance", kShellLinkClsid))
        return hresultFromWin32(fault);
    state = std::make_unique<State>();
    return kSOk;
}

HResult ShellLink::setPath(const std::string& path) {
    if (!state) return kEFail;
    if (path.empty()) return kEInvalidArg;
    return assignText("IShellLinkA::SetPath", state->data.targetPath, path);
}

HResult ShellLink::setArguments(const std::string& arguments) {
    if (!state) return kEFail;
    if (uint32_t fault = sim::injectedFault("IShellLinkA::SetArguments", arguments))
        return hresultFromWin32(fault);
    // Arguments are not a path; the shell keeps them at any length the format can hold.
    state->data.arguments = arguments;
    return kSOk;
}

HResult ShellLink::setWorkingDirectory(const std::string& directory) {
    if (!state) return kEFail;
    return assignText("IShellLinkA::SetWorkingDirectory", state->data.workingDirectory, directory);
}

HResult ShellLink::setDescription(const std::string& description) {
    if (!state) return kEFail;
    return assignText("IShellLinkA::SetDescription", state->data.description, description);
}

HResult ShellLink::setIconLocation(const std::string& iconPath, int32_t index) {
    if (!state) return kEFail;
    const HResult result =
        assignText("IShellLinkA::SetIconLocation", state->data.iconLocation, iconPath);
    if (succeeded(result)) state->data.iconIndex = index;
    return result;
}

HResult ShellLink::save(const std::u16string& linkPath, bool /*remember*/) {
    if (!state) return kEFail;
    const std::string path = wideToAnsi(linkPath);
    if (path.empty()) return kEInvalidArg;
    if (uint32_t fault = sim::injectedFault("IPersistFile::Save", path))
        return hresultFromWin32(fault);
    sim::ShellLinkData data = state->data;
    describeTarget(data);
    return writeLinkFile(path, sim::encodeShellLink(data));
}

}  // namespace platform
