#include "tests/support/file_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/file_ops.h"
#include "platform/sim/files_in_use.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_store.h"

namespace {
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegDword = 4;
constexpr const char* kSessionManager =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
}  // namespace

void setFileInUse(const std::string& windowsPath, uint32_t code) {
    sim::registry::writeValue(sim::kFilesInUseKey, windowsPath, kRegDword,
                              std::string(reinterpret_cast<const char*>(&code), 4));
}

void setFileHeld(const std::string& windowsPath, const std::string& how) {
    sim::registry::writeValue(sim::kFilesInUseKey, windowsPath, kRegSz, how + '\0');
}

std::vector<std::string> pendingFileRenames() {
    uint32_t type = 0;
    std::string data;
    std::vector<std::string> texts;
    if (!sim::registry::readValue(kSessionManager, "PendingFileRenameOperations", &type, &data))
        return texts;
    // The list ends with an empty text; every text before it, empty ones included, counts.
    size_t start = 0;
    while (start < data.size()) {
        const size_t end = data.find('\0', start);
        if (end == std::string::npos || (end == start && end + 1 == data.size())) break;
        texts.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return texts;
}

void setLastWriteTime(const std::string& windowsPath, uint64_t fileTime) {
    platform::FileTimes times;
    times.lastWrite = fileTime;
    ASSERT_TRUE(platform::setFileTimes(windowsPath, times)) << windowsPath;
}

std::vector<std::string> tempFilesIn(const std::string& windowsDirectory) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(sim::resolvePath(windowsDirectory).host, ec)) {
        std::string name = entry.path().filename().string();
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        if (lower.rfind("tmp", 0) == 0 && lower.size() > 4 &&
            lower.compare(lower.size() - 4, 4, ".tmp") == 0)
            names.push_back(name);
    }
    return names;
}
