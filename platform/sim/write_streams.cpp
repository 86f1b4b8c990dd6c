#include "platform/sim/write_streams.h"

#include <sys/types.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "platform/errors.h"
#include "platform/sim/host_files.h"

namespace sim {

namespace {

struct WriteStream {
    std::FILE* host;
    uint32_t fault;
};

std::mutex& streamsLock() {
    static std::mutex lock;
    return lock;
}

// The host file behind each open stream, for hostDescriptorOf.
std::map<std::FILE*, std::FILE*>& openStreams() {
    static std::map<std::FILE*, std::FILE*> streams;
    return streams;
}

uint32_t errorOfWrite(int err) {
    return win32ErrorOf(std::error_code(err, std::generic_category()));
}

ssize_t readStream(void* cookie, char* buffer, size_t size) {
    auto* stream = static_cast<WriteStream*>(cookie);
    const size_t read = std::fread(buffer, 1, size, stream->host);
    return read == 0 && std::ferror(stream->host) ? -1 : static_cast<ssize_t>(read);
}

ssize_t writeStream(void* cookie, const char* buffer, size_t size) {
    auto* stream = static_cast<WriteStream*>(cookie);
    if (stream->fault != 0) {
        platform::setLastError(stream->fault);
        errno = ENOSPC;
        return -1;
    }
    const size_t written = std::fwrite(buffer, 1, size, stream->host);
    if (written < size) {
        const int err = errno;
        platform::setLastError(errorOfWrite(err));
        errno = err;
        if (written == 0) return -1;
    }
    return static_cast<ssize_t>(written);
}

int seekStream(void* cookie, off64_t* offset, int whence) {
    auto* stream = static_cast<WriteStream*>(cookie);
    if (fseeko(stream->host, *offset, whence) != 0) return -1;
    *offset = ftello(stream->host);
    return *offset < 0 ? -1 : 0;
}

int closeStream(void* cookie) {
    auto* stream = static_cast<WriteStream*>(cookie);
    {
        std::lock_guard guard(streamsLock());
        std::erase_if(openStreams(),
                      [&](const auto& entry) { return entry.second == stream->host; });
    }
    const int result = std::fclose(stream->host);
    if (result != 0) platform::setLastError(errorOfWrite(errno));
    delete stream;
    return result;
}

}  // namespace

std::FILE* openWriteStream(const std::filesystem::path& host, const char* mode,
                           uint32_t writeFault) {
    std::FILE* file = std::fopen(host.c_str(), mode);
    if (file == nullptr) return nullptr;
    // The outer stream buffers; the host one passes each block straight to the system.
    std::setvbuf(file, nullptr, _IONBF, 0);
    auto* cookie = new WriteStream{file, writeFault};
    std::FILE* stream = fopencookie(
        cookie, mode, cookie_io_functions_t{readStream, writeStream, seekStream, closeStream});
    if (stream == nullptr) {
        const int err = errno;
        std::fclose(file);
        delete cookie;
        errno = err;
        return nullptr;
    }
    std::lock_guard guard(streamsLock());
    openStreams()[stream] = file;
    return stream;
}

int hostDescriptorOf(std::FILE* stream) {
    {
        std::lock_guard guard(streamsLock());
        const auto it = openStreams().find(stream);
        if (it != openStreams().end()) return fileno(it->second);
    }
    return fileno(stream);
}

}  // namespace sim
