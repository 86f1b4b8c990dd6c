#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/faults.h"
#include "platform/sim/host_files.h"

namespace platform {

namespace {

constexpr uint32_t kNotADirectory = 267;  // ERROR_DIRECTORY
constexpr uint32_t kLargestNumber = 0xFFFF;

// Numbers are handed out once per process, as Windows hands them out, so two calls in a row
// never try the same name first.
uint32_t nextNumber() {
    static uint32_t counter = 0;
    counter = counter % kLargestNumber + 1;
    return counter;
}

std::string tempName(const std::string& directory, const std::string& prefix, uint32_t number) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", number & kLargestNumber);
    std::string name = directory;
    if (name.empty() || (name.back() != '\\' && name.back() != '/')) name += '\\';
    return name + prefix.substr(0, 3) + hex + ".TMP";
}

uint32_t failNumber(uint32_t code) {
    setLastError(code);
    return 0;
}

enum class Claim { Created, Taken, Failed };

// Creates the empty file only if no entry of that name exists in any spelling.
Claim claimName(const std::string& name) {
    const sim::ResolvedPath resolved = sim::resolvePath(name);
    if (resolved.exists) return Claim::Taken;
    if (resolved.error != error::kFileNotFound) {
        setLastError(resolved.error);
        return Claim::Failed;
    }
    const sim::EntryChange change(resolved.host);
    const int fd = ::open(resolved.host.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) {
        ::close(fd);
        return Claim::Created;
    }
    if (errno == EEXIST) return Claim::Taken;
    setLastError(sim::win32ErrorOf(std::error_code(errno, std::generic_category())));
    return Claim::Failed;
}

}  // namespace

uint32_t getTempFileName(const std::string& directory, const std::string& prefix, uint32_t unique,
                         std::string* name) {
    if (uint32_t fault = sim::injectedFault("GetTempFileName", directory)) return failNumber(fault);
    // A caller's own number only forms the name: nothing is looked at or created.
    if (unique != 0) {
        *name = tempName(directory, prefix, unique);
        return unique;
    }
    const sim::ResolvedPath resolved = sim::resolveArgument(directory);
    if (!resolved.exists) return failNumber(error::kPathNotFound);
    if (!sim::isDirectory(resolved.host)) return failNumber(kNotADirectory);
    for (uint32_t attempt = 0; attempt < kLargestNumber; ++attempt) {
        const uint32_t number = nextNumber();
        const std::string candidate = tempName(directory, prefix, number);
        const Claim claim = claimName(candidate);
        if (claim == Claim::Failed) return 0;
        if (claim == Claim::Created) {
            *name = candidate;
            return number;
        }
    }
    return failNumber(error::kFileExists);
}

}  // namespace platform
