#include "platform/lz.h"

#include <windows.h>
// The LZ declarations need the types above, so they stay in a block of their own.
#include <lzexpand.h>

#include <vector>

namespace platform {

int32_t lzOpenFile(const std::string& path, uint32_t mode) {
    // LZOpenFileA takes a writable name; the OFSTRUCT carries the reason for a failed open.
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    OFSTRUCT details{};
    details.cBytes = sizeof details;
    const INT handle = LZOpenFileA(name.data(), &details, static_cast<WORD>(mode));
    if (handle == HFILE_ERROR && details.nErrCode != 0) SetLastError(details.nErrCode);
    return handle;
}

int32_t lzCopy(int32_t source, int32_t destination) { return LZCopy(source, destination); }

void lzClose(int32_t handle) { LZClose(handle); }

}  // namespace platform
