#pragma once

#include <cstdint>

#include "platform/library.h"
#include "support/cstd_str.h"

// The outside install engine library, loaded from the uninstaller archive for one command.
// Each entry is looked up when it is called; a missing entry is skipped.
class InstallEngine {
  public:
    explicit InstallEngine(const CStdStr& libraryPath);
    ~InstallEngine();
    InstallEngine(const InstallEngine&) = delete;
    InstallEngine& operator=(const InstallEngine&) = delete;

    bool isLoaded() const { return module != nullptr; }
    void setWorkingDir(const CStdStr& dir);
    void setLanguage(const CStdStr& code);
    bool doInstall(const CStdStr& script, const CStdStr& first, const CStdStr& second);
    int32_t getErrorCode();

  private:
    void* ourGetProcAddress(const char* entry) const;

    platform::LibraryHandle module = nullptr;
};
