#include "tests/support/zip_files.h"

#include <minizip/zip.h>

#include <cstdlib>

#include "tests/support/host_tools.h"

namespace fs = std::filesystem;

namespace {

zip_fileinfo infoOf(const ZipMember& member) {
    zip_fileinfo info{};
    info.tmz_date.tm_year = static_cast<uInt>(member.year);
    info.tmz_date.tm_mon = static_cast<uInt>(member.month - 1);
    info.tmz_date.tm_mday = static_cast<uInt>(member.day);
    info.tmz_date.tm_hour = static_cast<uInt>(member.hours);
    info.tmz_date.tm_min = static_cast<uInt>(member.minutes);
    info.tmz_date.tm_sec = static_cast<uInt>(member.seconds);
    return info;
}

bool addMember(zipFile archive, const ZipMember& member) {
    const zip_fileinfo info = infoOf(member);
    if (zipOpenNewFileInZip(archive, member.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                            member.stored ? 0 : Z_DEFLATED,
                            member.stored ? 0 : Z_DEFAULT_COMPRESSION) != ZIP_OK)
        return false;
    const bool written =
        member.content.empty() ||
        zipWriteInFileInZip(archive, member.content.data(),
                            static_cast<unsigned>(member.content.size())) == ZIP_OK;
    return zipCloseFileInZip(archive) == ZIP_OK && written;
}

}  // namespace

bool writeZipArchive(const fs::path& archive, const std::vector<ZipMember>& members) {
    std::error_code ec;
    fs::create_directories(archive.parent_path(), ec);
    zipFile file = zipOpen(archive.c_str(), APPEND_STATUS_CREATE);
    if (file == nullptr) return false;
    bool written = true;
    for (const ZipMember& member : members) written = addMember(file, member) && written;
    return zipClose(file, nullptr) == ZIP_OK && written;
}

bool zipDirectory(const fs::path& directory, const fs::path& archive) {
    std::error_code ec;
    fs::create_directories(archive.parent_path(), ec);
    fs::remove(archive, ec);
    const std::string command = "cd " + shellQuoted(directory) + " && TZ=UTC zip -q -r -X " +
                                shellQuoted(fs::absolute(archive)) + " . >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}
