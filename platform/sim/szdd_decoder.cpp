#include "platform/sim/szdd_decoder.h"

#include <mspack.h>

#include <cstdlib>
#include <cstring>

#include "platform/lz.h"

namespace sim {

namespace {

constexpr const char* kSourceName = "source";
constexpr const char* kDestinationName = "destination";

struct StreamFile {
    std::FILE* file = nullptr;
    int64_t written = 0;
};

// The decompressor sees exactly two files, by name: the open streams of the two handles.
// The system table comes first so that the library's pointer to it is a pointer to this.
struct StreamSystem {
    mspack_system base;
    StreamFile source;
    StreamFile destination;
};

StreamFile* streamOf(mspack_file* file) { return reinterpret_cast<StreamFile*>(file); }

mspack_file* openStream(mspack_system* self, const char* name, int mode) {
    auto* system = reinterpret_cast<StreamSystem*>(self);
    StreamFile* stream = nullptr;
    if (mode == MSPACK_SYS_OPEN_READ && std::strcmp(name, kSourceName) == 0)
        stream = &system->source;
    else if (mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(name, kDestinationName) == 0)
        stream = &system->destination;
    if (stream == nullptr) return nullptr;
    // The header is read from the start, whatever the handle read before.
    if (stream == &system->source && std::fseek(stream->file, 0, SEEK_SET) != 0) return nullptr;
    return reinterpret_cast<mspack_file*>(stream);
}

// The handles own their files; LZClose closes them.
void closeStream(mspack_file*) {}

int readStream(mspack_file* file, void* buffer, int bytes) {
    if (bytes < 0) return -1;
    StreamFile* stream = streamOf(file);
    const size_t read = std::fread(buffer, 1, static_cast<size_t>(bytes), stream->file);
    return std::ferror(stream->file) ? -1 : static_cast<int>(read);
}

int writeStream(mspack_file* file, void* buffer, int bytes) {
    if (bytes < 0) return -1;
    StreamFile* stream = streamOf(file);
    const size_t written = std::fwrite(buffer, 1, static_cast<size_t>(bytes), stream->file);
    stream->written += static_cast<int64_t>(written);
    return written == static_cast<size_t>(bytes) ? bytes : -1;
}

int seekStream(mspack_file* file, off_t offset, int mode) {
    const int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET
                       : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR
                                                     : SEEK_END;
    return std::fseek(streamOf(file)->file, static_cast<long>(offset), whence) == 0 ? 0 : -1;
}

off_t tellStream(mspack_file* file) { return std::ftell(streamOf(file)->file); }

void ignoreMessage(mspack_file*, const char*, ...) {}

void* allocate(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void release(void* pointer) { std::free(pointer); }
void copyBytes(void* source, void* destination, size_t bytes) {
    std::memmove(destination, source, bytes);
}

int32_t lzErrorOf(int mspackError) {
    switch (mspackError) {
        case MSPACK_ERR_WRITE:
            return platform::kLzErrorWrite;
        case MSPACK_ERR_NOMEMORY:
            return platform::kLzErrorGlobalAlloc;
        case MSPACK_ERR_SIGNATURE:
            return platform::kLzErrorUnknownAlgorithm;
        default:
            return platform::kLzErrorRead;
    }
}

int64_t extract(msszdd_decompressor* decompressor) {
    msszddd_header* header = decompressor->open(decompressor, kSourceName);
    if (header == nullptr) return lzErrorOf(decompressor->last_error(decompressor));
    const int result = decompressor->extract(decompressor, header, kDestinationName);
    decompressor->close(decompressor, header);
    return result == MSPACK_ERR_OK ? 0 : lzErrorOf(result);
}

}  // namespace

SzddKind szddKindOf(std::string_view firstBytes) {
    if (firstBytes.size() < kSzddHeaderSize ||
        firstBytes.substr(0, kSzddMagic.size()) != kSzddMagic)
        return SzddKind::kPlain;
    return firstBytes[kSzddMagic.size()] == kSzddModeLz ? SzddKind::kCompressed
                                                        : SzddKind::kUnknownMode;
}

int64_t decodeSzdd(std::FILE* source, std::FILE* destination) {
    StreamSystem system{};
    system.base.open = openStream;
    system.base.close = closeStream;
    system.base.read = readStream;
    system.base.write = writeStream;
    system.base.seek = seekStream;
    system.base.tell = tellStream;
    system.base.message = ignoreMessage;
    system.base.alloc = allocate;
    system.base.free = release;
    system.base.copy = copyBytes;
    system.source.file = source;
    system.destination.file = destination;

    msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(&system.base);
    if (decompressor == nullptr) return platform::kLzErrorGlobalAlloc;
    const int64_t failure = extract(decompressor);
    mspack_destroy_szdd_decompressor(decompressor);
    if (failure != 0) return failure;
    return std::fflush(destination) == 0 ? system.destination.written : platform::kLzErrorWrite;
}

}  // namespace sim
