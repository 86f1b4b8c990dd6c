#include "support/install_engine.h"

#include "platform/errors.h"
#include "support/debug_log.h"

namespace {

// The engine's entries take the caller-cleans-up convention, the default of plain functions.
using TextEntry = void (*)(const char*);
using InstallEntry = bool (*)(const char*, const char*, const char*);
using ErrorCodeEntry = int32_t (*)();

}  // namespace

InstallEngine::InstallEngine(const CStdStr& libraryPath)
    : module(platform::loadLibrary(libraryPath)) {
    if (module != nullptr) return;
    LogLine("InstallEngine::loadTheDll: could not load ", libraryPath,
            " (error code: ", platform::getLastError(), ")");
}

InstallEngine::~InstallEngine() {
    if (module != nullptr) platform::freeLibrary(module);
}

void* InstallEngine::ourGetProcAddress(const char* entry) const {
    if (module == nullptr) {
        LogLine("InstallEngine::ourGetProcAddress: DLL has not been loaded.");
        return nullptr;
    }
    void* address = platform::getProcAddress(module, entry);
    if (address != nullptr) return address;
    LogLine("InstallEngine::ourGetProcAddress: the engine has no entry ", entry,
            " (error code: ", platform::getLastError(), ")");
    return nullptr;
}

void InstallEngine::setWorkingDir(const CStdStr& dir) {
    if (auto entry = reinterpret_cast<TextEntry>(ourGetProcAddress("SetWorkingDirA")))
        entry(dir.c_str());
}

void InstallEngine::setLanguage(const CStdStr& code) {
    if (auto entry = reinterpret_cast<TextEntry>(ourGetProcAddress("SetLanguageA")))
        entry(code.c_str());
}

bool InstallEngine::doInstall(const CStdStr& script, const CStdStr& first, const CStdStr& second) {
    auto entry = reinterpret_cast<InstallEntry>(ourGetProcAddress("DoInstallA"));
    return entry != nullptr && entry(script.c_str(), first.c_str(), second.c_str());
}

int32_t InstallEngine::getErrorCode() {
    auto entry = reinterpret_cast<ErrorCodeEntry>(ourGetProcAddress("GetErrorCode"));
    return entry != nullptr ? entry() : 0;
}
