#include "tools/winsim/archive_members.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <zlib.h>

#include <cctype>
#include <system_error>
#include <vector>

namespace winsim {

namespace {

namespace fs = std::filesystem;

constexpr unsigned kMaxName = 260;

std::string comparable(std::string name) {
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '\\') c = '/';
    }
    return name;
}

zip_fileinfo zipInfoOf(const unz_file_info& info) {
    zip_fileinfo out{};
    out.tmz_date.tm_sec = info.tmu_date.tm_sec;
    out.tmz_date.tm_min = info.tmu_date.tm_min;
    out.tmz_date.tm_hour = info.tmu_date.tm_hour;
    out.tmz_date.tm_mday = info.tmu_date.tm_mday;
    out.tmz_date.tm_mon = info.tmu_date.tm_mon;
    out.tmz_date.tm_year = info.tmu_date.tm_year;
    out.dosDate = info.dosDate;
    out.internal_fa = info.internal_fa;
    out.external_fa = info.external_fa;
    return out;
}

// The current member, copied without inflating it again.
bool copyRaw(unzFile from, zipFile to, const char* name, const unz_file_info& info) {
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(from, &method, &level, 1) != UNZ_OK) return false;
    const zip_fileinfo zipInfo = zipInfoOf(info);
    bool ok = zipOpenNewFileInZip2(to, name, &zipInfo, nullptr, 0, nullptr, 0, nullptr, method,
                                   level, 1) == ZIP_OK;
    std::vector<char> buffer(64 * 1024);
    for (int read; ok && (read = unzReadCurrentFile(from, buffer.data(),
                                                    static_cast<unsigned>(buffer.size()))) != 0;)
        ok = read > 0 &&
             zipWriteInFileInZip(to, buffer.data(), static_cast<unsigned>(read)) == ZIP_OK;
    ok = zipCloseFileInZipRaw(to, info.uncompressed_size, info.crc) == ZIP_OK && ok;
    unzCloseCurrentFile(from);
    return ok;
}

bool writeNew(zipFile to, const char* name, const unz_file_info& info, const std::string& content) {
    const zip_fileinfo zipInfo = zipInfoOf(info);
    if (zipOpenNewFileInZip(to, name, &zipInfo, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION) != ZIP_OK)
        return false;
    const bool written =
        zipWriteInFileInZip(to, content.data(), static_cast<unsigned>(content.size())) == ZIP_OK;
    return zipCloseFileInZip(to) == ZIP_OK && written;
}

bool copyReplacing(unzFile from, zipFile to, const std::string& wanted,
                   const std::string& content) {
    for (int status = unzGoToFirstFile(from); status == UNZ_OK; status = unzGoToNextFile(from)) {
        char name[kMaxName + 1] = {};
        unz_file_info info{};
        if (unzGetCurrentFileInfo(from, &info, name, kMaxName, nullptr, 0, nullptr, 0) != UNZ_OK)
            return false;
        const bool replaced = comparable(name) == wanted;
        if (!(replaced ? writeNew(to, name, info, content) : copyRaw(from, to, name, info)))
            return false;
    }
    return true;
}

}  // namespace

bool archiveHasMember(const fs::path& archive, const std::string& name) {
    unzFile zip = unzOpen(archive.c_str());
    if (zip == nullptr) return false;
    const std::string wanted = comparable(name);
    bool found = false;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK && !found;
         status = unzGoToNextFile(zip)) {
        char member[kMaxName + 1] = {};
        unz_file_info info{};
        found =
            unzGetCurrentFileInfo(zip, &info, member, kMaxName, nullptr, 0, nullptr, 0) == UNZ_OK &&
            comparable(member) == wanted;
    }
    unzClose(zip);
    return found;
}

bool replaceArchiveMember(const fs::path& archive, const std::string& name,
                          const std::string& content) {
    unzFile from = unzOpen(archive.c_str());
    if (from == nullptr) return false;
    fs::path rewritten = archive;
    rewritten += ".new";
    zipFile to = zipOpen(rewritten.c_str(), APPEND_STATUS_CREATE);
    bool ok = to != nullptr && copyReplacing(from, to, comparable(name), content);
    if (to != nullptr) ok = zipClose(to, nullptr) == ZIP_OK && ok;
    unzClose(from);
    std::error_code ec;
    if (ok) fs::rename(rewritten, archive, ec);
    if (!ok || ec) fs::remove(rewritten, ec);
    return ok && !ec;
}

}  // namespace winsim
