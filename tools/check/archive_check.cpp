#include "tools/check/archive_check.h"

#include <minizip/unzip.h>

#include <memory>
#include <optional>
#include <vector>

#include "support/zip_extract.h"
#include "support/zip_file_io.h"

namespace check {

namespace {

std::string hostStyle(std::string member) {
    for (char& c : member)
        if (c == '\\') c = '/';
    return member;
}

constexpr unsigned long kEncryptedFlag = 1;
constexpr unsigned long kStored = 0;
constexpr unsigned long kDeflated = 8;
constexpr size_t kReadBlock = 64 * 1024;

struct ArchiveCloser {
    void operator()(void* archive) const { unzClose(archive); }
};

// Reads the current member whole, as the utility does when it extracts it: why it would not
// be written, or nothing.
std::optional<std::string> readProblem(unzFile archive, const unz_file_info& info) {
    if (info.flag & kEncryptedFlag) return "is encrypted; the utility skips it";
    if (info.compression_method != kStored && info.compression_method != kDeflated)
        return "is compressed with method " + std::to_string(info.compression_method) +
               ", which the utility cannot expand; it is not written";
    if (unzOpenCurrentFile(archive) != UNZ_OK) return "cannot be opened; it is not written";
    std::vector<char> block(kReadBlock);
    unsigned long long total = 0;
    int read = 0;
    while ((read = unzReadCurrentFile(archive, block.data(), kReadBlock)) > 0) total += read;
    const int closed = unzCloseCurrentFile(archive);
    if (read < 0) return "holds damaged compressed data; it is not written";
    if (closed == UNZ_CRCERROR) return "fails its checksum; it is not written";
    if (total != info.uncompressed_size)
        return "states a size of " + std::to_string(info.uncompressed_size) + " bytes but holds " +
               std::to_string(total) + "; it is not written";
    return std::nullopt;
}

// Every member is read through: what the listing cannot see (a damaged stream, a checksum, a
// size that lies) only shows when the data is expanded.
void checkMembersExtract(const CheckContext& context, const CStdStr& path, const std::string& name,
                         int line) {
    zlib_filefunc_def functions;
    fillPlatformZipFileFunctions(&functions);
    const std::unique_ptr<void, ArchiveCloser> archive(unzOpen2(path.c_str(), &functions));
    if (!archive) return;
    for (int status = unzGoToFirstFile(archive.get()); status == UNZ_OK;
         status = unzGoToNextFile(archive.get())) {
        char member[261] = {};
        unz_file_info info{};
        if (unzGetCurrentFileInfo(archive.get(), &info, member, sizeof member - 1, nullptr, 0,
                                  nullptr, 0) != UNZ_OK)
            return;
        const std::string memberName = hostStyle(member);
        if (!memberName.empty() && memberName.back() == '/') continue;
        if (const std::optional<std::string> problem = readProblem(archive.get(), info))
            context.warning(line, "archive " + name + ": member " + memberName + " " + *problem);
    }
}

}  // namespace

void checkArchive(const CheckContext& context, const CStdStr& path, const std::string& name,
                  int line) {
    std::vector<CStdStr> members;
    if (!ZipListContents(path.c_str(), ZipList, nullptr, &members)) {
        context.error(line, "archive " + name + " does not open as a zip archive");
        return;
    }
    for (const CStdStr& member : members)
        if (zipMemberLeavesTarget(member))
            context.warning(line, "archive " + name + ": member " + hostStyle(member) +
                                      " leads out of the target directory; the utility skips it");
    checkMembersExtract(context, path, name, line);
}

}  // namespace check
