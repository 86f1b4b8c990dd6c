#include "support/zip_file_io.h"

#include <cstdio>

#include "platform/files.h"

namespace {

const char* modeOf(int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ) return "rb";
    if ((mode & ZLIB_FILEFUNC_MODE_EXISTING) != 0) return "r+b";
    if ((mode & ZLIB_FILEFUNC_MODE_CREATE) != 0) return "wb";
    return nullptr;
}

std::FILE* fileOf(voidpf stream) { return static_cast<std::FILE*>(stream); }

voidpf ZCALLBACK openZipFile(voidpf, const char* filename, int mode) {
    const char* fileMode = modeOf(mode);
    if (filename == nullptr || fileMode == nullptr) return nullptr;
    return platform::openFile(filename, fileMode);
}

uLong ZCALLBACK readZipFile(voidpf, voidpf stream, void* buffer, uLong size) {
    return static_cast<uLong>(std::fread(buffer, 1, size, fileOf(stream)));
}

uLong ZCALLBACK writeZipFile(voidpf, voidpf stream, const void* buffer, uLong size) {
    return static_cast<uLong>(std::fwrite(buffer, 1, size, fileOf(stream)));
}

long ZCALLBACK tellZipFile(voidpf, voidpf stream) { return std::ftell(fileOf(stream)); }

long ZCALLBACK seekZipFile(voidpf, voidpf stream, uLong offset, int origin) {
    int whence = SEEK_SET;
    switch (origin) {
        case ZLIB_FILEFUNC_SEEK_CUR:
            whence = SEEK_CUR;
            break;
        case ZLIB_FILEFUNC_SEEK_END:
            whence = SEEK_END;
            break;
        case ZLIB_FILEFUNC_SEEK_SET:
            break;
        default:
            return -1;
    }
    return std::fseek(fileOf(stream), static_cast<long>(offset), whence) == 0 ? 0 : -1;
}

int ZCALLBACK closeZipFile(voidpf, voidpf stream) { return std::fclose(fileOf(stream)); }

int ZCALLBACK zipFileError(voidpf, voidpf stream) { return std::ferror(fileOf(stream)); }

}  // namespace

void fillPlatformZipFileFunctions(zlib_filefunc_def* functions) {
    functions->zopen_file = openZipFile;
    functions->zread_file = readZipFile;
    functions->zwrite_file = writeZipFile;
    functions->ztell_file = tellZipFile;
    functions->zseek_file = seekZipFile;
    functions->zclose_file = closeZipFile;
    functions->zerror_file = zipFileError;
    functions->opaque = nullptr;
}
