#include "platform/lz.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/sim/faults.h"
#include "platform/sim/lz_handles.h"
#include "platform/sim/szdd_decoder.h"
#include "platform/sim/write_streams.h"

namespace platform {

namespace {

constexpr int32_t kOpenFailed = -1;  // HFILE_ERROR
constexpr uint32_t kShareFlags = 0x70;
constexpr size_t kCopyChunk = 64 * 1024;

int32_t failWith(uint32_t code) {
    setLastError(code);
    return kOpenFailed;
}

int32_t openForReading(const std::string& path) {
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) return kOpenFailed;
    char header[sim::kSzddHeaderSize];
    const size_t read = std::fread(header, 1, sizeof header, file);
    const sim::SzddKind kind = sim::szddKindOf(std::string_view(header, read));
    if (kind == sim::SzddKind::kUnknownMode || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return kind == sim::SzddKind::kUnknownMode ? kLzErrorUnknownAlgorithm
                                                   : failWith(error::kAccessDenied);
    }
    return sim::addLzStream({file, kind == sim::SzddKind::kCompressed, false});
}

int32_t openForWriting(const std::string& path) {
    std::FILE* file = openFile(path, "wb");
    if (file == nullptr) return kOpenFailed;
    return sim::addLzStream({file, false, true});
}

// Plain data is copied as it is.
int64_t copyPlain(std::FILE* source, std::FILE* destination) {
    std::string chunk(kCopyChunk, '\0');
    int64_t total = 0;
    for (;;) {
        const size_t read = std::fread(chunk.data(), 1, chunk.size(), source);
        if (read == 0) break;
        if (std::fwrite(chunk.data(), 1, read, destination) != read) return kLzErrorWrite;
        total += static_cast<int64_t>(read);
    }
    if (std::ferror(source)) return kLzErrorRead;
    return std::fflush(destination) == 0 ? total : kLzErrorWrite;
}

// The expanded file carries the last-write time of the file it came from, as the system's LZ
// copy leaves it.
void keepLastWriteTime(std::FILE* source, std::FILE* destination) {
    struct stat info {};
    if (std::fflush(destination) != 0 || fstat(fileno(source), &info) != 0) return;
    const timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    futimens(sim::hostDescriptorOf(destination), times);
}

}  // namespace

int32_t lzOpenFile(const std::string& path, uint32_t mode) {
    if (uint32_t fault = sim::injectedFault("LZOpenFile", path)) return failWith(fault);
    const uint32_t access = mode & ~kShareFlags;
    if (access == kLzOpenRead) return openForReading(path);
    if (access & kLzOpenCreate) return openForWriting(path);
    return failWith(error::kInvalidParameter);
}

int32_t lzCopy(int32_t source, int32_t destination) {
    sim::LzStream* from = sim::findLzStream(source);
    if (from == nullptr || from->writable) return kLzErrorBadInHandle;
    sim::LzStream* to = sim::findLzStream(destination);
    if (to == nullptr || !to->writable) return kLzErrorBadOutHandle;
    // A failing copy reports a write error, as a full disk would.
    if (uint32_t fault = sim::injectedFault("LZCopy", "")) {
        setLastError(fault);
        return kLzErrorWrite;
    }
    const int64_t written =
        from->compressed ? sim::decodeSzdd(from->file, to->file) : copyPlain(from->file, to->file);
    // The result is a 32-bit count; a larger expansion cannot be reported as a success.
    if (written > INT32_MAX) return kLzErrorWrite;
    if (written >= 0) keepLastWriteTime(from->file, to->file);
    return static_cast<int32_t>(written);
}

void lzClose(int32_t handle) { sim::closeLzStream(handle); }

}  // namespace platform
