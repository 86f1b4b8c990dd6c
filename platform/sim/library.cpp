#include "platform/library.h"

#include <dlfcn.h>

#include <vector>

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/winsim_services.h"
#include "platform/system_info.h"

// Libraries of the simulated machine are host shared objects kept in the machine under the
// Windows name they stand for. A library that exports "WinSimAttach" is given the machine's
// services (winsim_services.h) as soon as it is loaded.
namespace platform {

struct LibraryData {
    void* host = nullptr;
    std::string path;
};

namespace {

constexpr uint32_t kModNotFound = 126;
constexpr uint32_t kProcNotFound = 127;

bool hasDirectory(const std::string& name) {
    return name.find('\\') != std::string::npos || name.find('/') != std::string::npos ||
           name.find(':') != std::string::npos;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The normal search order for a bare name.
std::vector<std::string> candidates(const std::string& name) {
    if (hasDirectory(name)) return {name};
    std::vector<std::string> paths;
    for (const std::string& dir : {directoryOf(getModuleFileName()), getSystemDirectory(),
                                   getWindowsDirectory(), sim::machineState().currentDirectory}) {
        if (dir.empty()) continue;
        paths.push_back(dir.back() == '\\' ? dir + name : dir + "\\" + name);
    }
    return paths;
}

int hostPathOf(const char* windowsPath, char* out, int size) {
    const std::string host = sim::resolvePath(windowsPath).host.string();
    if (size <= 0 || host.size() + 1 > static_cast<size_t>(size)) return 0;
    host.copy(out, host.size());
    out[host.size()] = '\0';
    return 1;
}

void attachServices(void* host) {
    static std::string journalPath;
    static WinSimServices services;
    using Attach = void (*)(const WinSimServices*);
    auto attach = reinterpret_cast<Attach>(dlsym(host, "WinSimAttach"));
    if (attach == nullptr) return;
    journalPath = (sim::machineDirectory() / "journal.log").string();
    services = WinSimServices{journalPath.c_str(), hostPathOf};
    attach(&services);
}

}  // namespace

LibraryHandle loadLibrary(const std::string& name) {
    if (uint32_t fault = sim::injectedFault("LoadLibrary", name)) {
        setLastError(fault);
        return nullptr;
    }
    for (const std::string& path : candidates(name)) {
        const sim::ResolvedPath resolved = sim::resolvePath(path);
        if (!resolved.exists) continue;
        void* host = dlopen(resolved.host.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (host == nullptr) {
            sim::journal("LoadLibrary " + name + ": " + path + " is not a loadable library");
            setLastError(193);  // ERROR_BAD_EXE_FORMAT
            return nullptr;
        }
        sim::journal("LoadLibrary " + name + ": " + path);
        attachServices(host);
        return new LibraryData{host, path};
    }
    sim::journal("LoadLibrary " + name + ": not found");
    setLastError(kModNotFound);
    return nullptr;
}

void* getProcAddress(LibraryHandle library, const std::string& entry) {
    if (uint32_t fault = library != nullptr ? sim::injectedFault("GetProcAddress", entry) : 0) {
        setLastError(fault);
        return nullptr;
    }
    void* address = library != nullptr ? dlsym(library->host, entry.c_str()) : nullptr;
    if (address == nullptr)
        setLastError(library != nullptr ? kProcNotFound : error::kInvalidHandle);
    return address;
}

void freeLibrary(LibraryHandle library) {
    if (library == nullptr) return;
    sim::journal("FreeLibrary " + library->path);
    dlclose(library->host);
    delete library;
}

}  // namespace platform
