#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <system_error>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/sim/faults.h"
#include "platform/sim/files_in_use.h"
#include "platform/sim/host_file_times.h"
#include "platform/sim/host_files.h"

namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;
// 1601-01-01 to 1970-01-01, in seconds and in ticks.
constexpr int64_t kEpochDifferenceSeconds = 11'644'473'600;
constexpr int64_t kEpochDifferenceTicks = kEpochDifferenceSeconds * kTicksPerSecond;

// Times before 1601 cannot be written as a FILETIME; they read as its zero.
uint64_t ticksOf(const statx_timestamp& time) {
    const int64_t seconds = time.tv_sec + kEpochDifferenceSeconds;
    if (seconds < 0) return 0;
    return static_cast<uint64_t>(seconds) * kTicksPerSecond + time.tv_nsec / 100;
}

timespec timespecOf(uint64_t ticks) {
    if (ticks == 0) return timespec{0, UTIME_OMIT};
    const int64_t sinceUnix = static_cast<int64_t>(ticks) - kEpochDifferenceTicks;
    int64_t seconds = sinceUnix / kTicksPerSecond;
    int64_t rest = sinceUnix % kTicksPerSecond;
    if (rest < 0) {
        --seconds;
        rest += kTicksPerSecond;
    }
    return timespec{static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

// A FILETIME is signed: larger numbers are refused as SetFileTime refuses them.
bool isValidFileTime(uint64_t ticks) {
    return ticks <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
}

bool failWithErrno() {
    return sim::failWith(sim::win32ErrorOf(std::error_code(errno, std::generic_category())));
}

}  // namespace

namespace sim {

bool readHostTimes(const std::filesystem::path& host, platform::FileTimes* times) {
    struct statx info {};
    if (statx(AT_FDCWD, host.c_str(), AT_STATX_SYNC_AS_STAT,
              STATX_ATIME | STATX_MTIME | STATX_BTIME, &info) != 0)
        return false;
    times->lastWrite = ticksOf(info.stx_mtime);
    times->lastAccess = ticksOf(info.stx_atime);
    times->creation =
        (info.stx_mask & STATX_BTIME) != 0 ? ticksOf(info.stx_btime) : times->lastWrite;
    return true;
}

}  // namespace sim

namespace platform {

bool getFileTimes(const std::string& path, FileTimes* times) {
    if (uint32_t fault = sim::injectedFault("GetFileTime", path)) return sim::failWith(fault);
    const sim::ResolvedPath resolved = sim::resolveArgument(path);
    if (!resolved.exists) return sim::failWith(resolved.error);
    return sim::readHostTimes(resolved.host, times) || failWithErrno();
}

// The file is opened for writing to set its times, so a read-only or held file refuses it.
// The host cannot set a birth time, so the creation time is not kept.
bool setFileTimes(const std::string& path, const FileTimes& times) {
    if (uint32_t fault = sim::injectedFault("SetFileTime", path)) return sim::failWith(fault);
    const sim::ResolvedPath resolved = sim::resolveArgument(path);
    if (!resolved.exists) return sim::failWith(resolved.error);
    if (!sim::isDirectory(resolved.host) && sim::isReadOnly(resolved.host))
        return sim::failWith(error::kAccessDenied);
    if (uint32_t refusal = sim::heldFileRefusal(path, sim::FileAccess::Write))
        return sim::failWith(refusal);
    if (!isValidFileTime(times.lastAccess) || !isValidFileTime(times.lastWrite) ||
        !isValidFileTime(times.creation))
        return sim::failWith(error::kInvalidParameter);
    const timespec hostTimes[2] = {timespecOf(times.lastAccess), timespecOf(times.lastWrite)};
    return utimensat(AT_FDCWD, resolved.host.c_str(), hostTimes, 0) == 0 || failWithErrno();
}

}  // namespace platform
