#include <cstdio>
#include <vector>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/little_endian.h"
#include "platform/version_info.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/string_tokenizer.h"

namespace {

bool lastWriteTime(const PathObject& file, uint64_t* time) {
    platform::FileTimes times;
    if (!platform::getFileTimes(file.GetFullPath(), &times)) {
        LogLine("FileOp::IsNewerTime: could not get file time for ", file.GetFullPath());
        return false;
    }
    *time = times.lastWrite;
    return true;
}

CStdStr queryText(const std::vector<char>& block, const std::string& subBlock) {
    const void* value = nullptr;
    uint32_t length = 0;
    if (!platform::verQueryValue(block.data(), subBlock, &value, &length) || value == nullptr)
        return CStdStr();
    const char* text = static_cast<const char*>(value);
    size_t size = 0;
    while (size < length && text[size] != '\0') ++size;
    return CStdStr(std::string(text, size));
}

std::string fileVersionKey(const std::vector<char>& block) {
    const void* value = nullptr;
    uint32_t length = 0;
    if (!platform::verQueryValue(block.data(), "\\VarFileInfo\\Translation", &value, &length) ||
        value == nullptr || length < 4)
        return {};
    const uint32_t entry = platform::littleEndian32(value);
    // The entry keeps the language in its low half; the key names the language first.
    const uint32_t swapped = (entry << 16) | (entry >> 16);
    char key[64];
    std::snprintf(key, sizeof key, "\\StringFileInfo\\%08lx\\FileVersion",
                  static_cast<unsigned long>(swapped));
    return key;
}

// The errors that say a file simply has no version resource, rather than that it was unreadable.
bool hasNoVersion(uint32_t error) {
    using namespace platform::error;
    return error == kFileNotFound || error == kPathNotFound || error == kBadFormat ||
           error == kBadExeFormat || error == kResourceDataNotFound ||
           error == kResourceTypeNotFound || error == kResourceNameNotFound;
}

// A version that cannot be read makes the comparison fall back on file times, which may keep
// an older file in place: the reason has to be on record.
void logUnreadableVersion(const PathObject& file, const char* what) {
    LogLine("FileOp::GetFileVersion: ", what, " of ", file.GetFullPath(), " failed (error ",
            platform::getLastError(), ")");
}

std::vector<int> versionFields(const CStdStr& version) {
    std::vector<int> fields;
    StringTokenizer tokens(version, '.', 0);
    CStdStr token;
    while (tokens.next(token)) fields.push_back(cstd::atoi(token));
    return fields;
}

}  // namespace

namespace FileOp {

int IsNewerTime(const PathObject& source, const PathObject& destination) {
    uint64_t sourceTime = 0;
    uint64_t destinationTime = 0;
    if (!lastWriteTime(source, &sourceTime) || !lastWriteTime(destination, &destinationTime))
        return 0;
    if (sourceTime < destinationTime) return -1;
    return sourceTime > destinationTime ? 1 : 0;
}

CStdStr GetFileVersion(const PathObject& file) {
    if (!file.HasFileName()) return CStdStr();
    const uint32_t size = platform::getFileVersionInfoSize(file.GetFullPath());
    if (size == 0) {
        if (!hasNoVersion(platform::getLastError()))
            logUnreadableVersion(file, "GetFileVersionInfoSize");
        return CStdStr();
    }
    std::vector<char> block(size + 1);
    if (!platform::getFileVersionInfo(file.GetFullPath(), size, block.data())) {
        logUnreadableVersion(file, "GetFileVersionInfo");
        return CStdStr();
    }
    const std::string key = fileVersionKey(block);
    if (key.empty()) logUnreadableVersion(file, "VerQueryValue of the translation");
    CStdStr version = key.empty() ? CStdStr() : queryText(block, key);
    for (char& c : version)
        if (c == ',') c = '.';
    return version;
}

int CompareVersion(const PathObject& first, const PathObject& second) {
    const std::vector<int> a = versionFields(GetFileVersion(first));
    const std::vector<int> b = versionFields(GetFileVersion(second));
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] > b[i]) return 1;
        if (a[i] < b[i]) return -1;
    }
    if (a.size() > b.size()) return 1;
    return a.size() < b.size() ? -1 : 0;
}

}  // namespace FileOp
