#include "support/zip_extract.h"

#include <minizip/unzip.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string_view>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/little_endian.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/os_info.h"
#include "support/zip_file_io.h"

namespace {

constexpr unsigned kMaxMemberName = 260;
constexpr unsigned long kEncryptedFlag = 1;
// The stdio buffer of a member's file: blocks of the copy buffer's size would each be one
// write of the system's.
constexpr size_t kMemberFileBufferSize = 64 * 1024;

// --- Member times -------------------------------------------------------------------------

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the date, by the proleptic Gregorian calendar.
int64_t daysSince1601(int year, int month, int day) {
    const int64_t yearsBefore = year - 1601;
    int64_t days = yearsBefore * 365 + yearsBefore / 4 - yearsBefore / 100 + yearsBefore / 400;
    for (int m = 1; m < month; ++m) days += daysInMonth(year, m);
    return days + day - 1;
}

// The conversion the system does for a SYSTEMTIME (month from 1), refusing the same fields:
// zip dates are bit fields, and a damaged archive holds months, days and hours out of range.
bool fileTimeOf(int year, int month, int day, int hours, int minutes, int seconds,
                uint64_t* ticks) {
    if (year < 1601 || year > 30827 || month < 1 || month > 12) return false;
    if (day < 1 || day > daysInMonth(year, month)) return false;
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return false;
    const int64_t totalSeconds =
        ((daysSince1601(year, month, day) * 24 + hours) * 60 + minutes) * 60 + seconds;
    *ticks = static_cast<uint64_t>(totalSeconds) * 10'000'000u;
    return true;
}

void logSetFileTimeFailure(const CStdStr& path) {
    LogLine("zip_extract_file: unable to call SetFileTime for ", path,
            " (Error: ", platform::getLastError(), ")");
}

void setMemberTimes(const CStdStr& path, const platform::FileTimes& times) {
    if (!platform::setFileTimes(path, times)) logSetFileTimeFailure(path);
}

// --- Member names -------------------------------------------------------------------------

// ".." and the forms the system reads as it (trailing dots and blanks are dropped).
bool isParentReference(const CStdStr& component) {
    int dots = 0;
    for (char c : component) {
        if (c == '.')
            ++dots;
        else if (c != ' ')
            return false;
    }
    return dots >= 2;
}

}  // namespace

// A name that is absolute, names a drive (or a stream: no file name holds a colon) or climbs
// out with a parent reference would be written outside the target directory.
bool zipMemberLeavesTarget(const CStdStr& name) {
    if (!name.empty() && name.front() == '\\') return true;
    if (name.find(':') != CStdStr::npos) return true;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find('\\', start);
        if (isParentReference(name.substr(start, end - start))) return true;
        if (end == CStdStr::npos) return false;
        start = end + 1;
    }
}

namespace {

CStdStr outputPathOf(const char* targetDir, const CStdStr& name) {
    if (targetDir == nullptr || *targetDir == '\0') return name;
    return CStdStr(CStdStr(targetDir) + "\\" + name);
}

// --- Writing one member -------------------------------------------------------------------

void logDamagedMember(const CStdStr& path, const char* what, int code) {
    LogLine("zip_extract_file: ", what, " ", path, " (Error: ", code, ")");
}

// Copies the open member to out; false when the member cannot be read or the file written.
bool copyMember(unzFile archive, std::FILE* out, char* buffer, const CStdStr& path) {
    for (;;) {
        const int read = unzReadCurrentFile(archive, buffer, kZipCopyBufferSize);
        if (read == 0) return true;
        if (read < 0) {
            logDamagedMember(path, "unable to read the archive's data for", read);
            return false;
        }
        if (std::fwrite(buffer, 1, static_cast<size_t>(read), out) != static_cast<size_t>(read)) {
            logDamagedMember(path, "unable to write", static_cast<int>(platform::getLastError()));
            return false;
        }
    }
}

bool writeScratch(unzFile archive, const PathObject& scratch, char* buffer, const CStdStr& path) {
    std::FILE* out = platform::openFile(scratch.GetFullPath(), "wb");
    if (out == nullptr) {
        logDamagedMember(path, "unable to write", static_cast<int>(platform::getLastError()));
        return false;
    }
    std::unique_ptr<char[]> outBuffer(new (std::nothrow) char[kMemberFileBufferSize]);
    if (outBuffer) std::setvbuf(out, outBuffer.get(), _IOFBF, kMemberFileBufferSize);
    bool written = copyMember(archive, out, buffer, path);
    if (std::fclose(out) != 0 && written) {
        logDamagedMember(path, "unable to write", static_cast<int>(platform::getLastError()));
        written = false;
    }
    return written;
}

// The checksum is only known once the whole member has been read.
bool closeMember(unzFile archive, const CStdStr& path) {
    if (unzCloseCurrentFile(archive) != UNZ_CRCERROR) return true;
    logDamagedMember(path, "checksum mismatch for", UNZ_CRCERROR);
    return false;
}

// The member is written beside its file and takes its place only when it is whole and its
// checksum holds: a damaged member, a full disk or a kill leaves the file that was there.
bool writeMemberFile(unzFile archive, const CStdStr& path, char* buffer,
                     const platform::FileTimes* times) {
    const PathObject destination{path};
    // In the file's own directory, so that putting it in place is a rename on the same volume.
    PathObject beside(destination);
    if (beside.GetDir().empty()) beside.SetDir(".");
    const PathObject scratch = get_temp_name(beside);
    const bool complete = scratch.HasFileName() && writeScratch(archive, scratch, buffer, path);
    if (!closeMember(archive, path) || !complete) {
        if (scratch.HasFileName()) platform::deleteFile(scratch.GetFullPath());
        return false;
    }
    if (FileOp::PutInPlace(scratch, destination)) {
        if (times != nullptr) setMemberTimes(path, *times);
        return true;
    }
    logDamagedMember(path, "unable to put in place", static_cast<int>(platform::getLastError()));
    // The 9x family set the times through a second open by name, which fails there too.
    if (times != nullptr && OSInfo::current().isWin9x()) logSetFileTimeFailure(path);
    platform::deleteFile(scratch.GetFullPath());
    return false;
}

bool isDirectoryEntry(const CStdStr& path) { return !path.empty() && path.back() == '\\'; }

// Archives list a directory's members together, and making a path walks every component of
// it: a walk remembers the directory it made last, and only a directory that was made.
void createParentDirectory(const CStdStr& path, CStdStr* madeBefore) {
    const size_t lastSeparator = path.rfind('\\');
    if (lastSeparator == CStdStr::npos) return;
    const CStdStr parent = path.substr(0, lastSeparator + 1);
    if (madeBefore != nullptr && *madeBefore == parent) return;
    const bool made = FileOp::IsDirectory(parent, true);
    if (madeBefore != nullptr) *madeBefore = made ? parent : CStdStr();
}

// --- Archives without members --------------------------------------------------------------

constexpr size_t kEndRecordSize = 22;

// An archive with no members can be its end record alone, which then starts the file: the
// reader takes an end record found at offset 0 for none found, and refuses the archive.
bool isEmptyArchive(const char* path) {
    std::FILE* file = platform::openFile(path, "rb");
    if (file == nullptr) return false;
    char buffer[kEndRecordSize];
    const size_t read = std::fread(buffer, 1, sizeof buffer, file);
    const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    std::fclose(file);
    const std::string_view record(buffer, read);
    if (read != kEndRecordSize || record.substr(0, 4) != std::string_view("PK\5\6", 4))
        return false;
    // Disk numbers, member counts, directory size and offset: all zero.
    for (size_t offset = 4; offset < 20; offset += 2)
        if (platform::littleEndian16(record, offset) != 0) return false;
    const long commentLength = platform::littleEndian16(record, 20);
    return size == static_cast<long>(kEndRecordSize) + commentLength;
}

// --- The walk -----------------------------------------------------------------------------

struct Walk {
    unzFile archive;
    const char* targetDir;
    std::vector<CStdStr>* list;  // null when not listing
    char* copyBuffer;            // null when not extracting
    CStdStr* madeDirectory;      // the directory made for the member before
};

void visitMember(const Walk& walk, size_t index) {
    char nameBuffer[kMaxMemberName + 1] = {};
    unz_file_info info{};
    if (unzGetCurrentFileInfo(walk.archive, &info, nameBuffer, kMaxMemberName, nullptr, 0, nullptr,
                              0) != UNZ_OK)
        return;
    CStdStr name(nameBuffer);
    for (char& c : name)
        if (c == '/') c = '\\';
    if (walk.list != nullptr) {
        if (index >= walk.list->size()) walk.list->resize(index + 1);
        (*walk.list)[index] = name;
    }
    if (walk.copyBuffer == nullptr) return;
    // Without a password its data would be written as it is stored, enciphered.
    if (info.flag & kEncryptedFlag) {
        LogLine("ZipListContents: skipped member " + name + " which is encrypted");
        return;
    }
    if (zipMemberLeavesTarget(name)) {
        LogLine("ZipListContents: skipped member " + name +
                " whose name leads out of the target "
                "directory");
        return;
    }
    const tm_unz& date = info.tmu_date;
    zip_extract_file(walk.archive, static_cast<int>(date.tm_sec), static_cast<int>(date.tm_min),
                     static_cast<int>(date.tm_hour), static_cast<int>(date.tm_mday),
                     static_cast<int>(date.tm_mon), static_cast<int>(date.tm_year),
                     outputPathOf(walk.targetDir, name), walk.copyBuffer, walk.madeDirectory);
}

void walkMembers(const Walk& walk) {
    size_t index = 0;
    for (int status = unzGoToFirstFile(walk.archive); status == UNZ_OK;
         status = unzGoToNextFile(walk.archive), ++index)
        visitMember(walk, index);
}

}  // namespace

bool zip_extract_file(void* archive, int seconds, int minutes, int hours, int day, int month,
                      int year, const CStdStr& outputPath, char* copyBuffer,
                      CStdStr* madeDirectory) {
    platform::FileTimes times;
    const bool haveTimes =
        fileTimeOf(year, month + 1, day, hours, minutes, seconds, &times.lastWrite);
    if (!haveTimes) {
        LogLine("zip_extract_file: unable to call SystemTimeToFileTime for ", outputPath,
                "(Error: ", platform::error::kInvalidParameter, ")");
    }
    times.creation = times.lastAccess = times.lastWrite;

    if (unzOpenCurrentFile(archive) != UNZ_OK) return false;
    createParentDirectory(outputPath, madeDirectory);
    if (isDirectoryEntry(outputPath)) return closeMember(archive, outputPath);
    return writeMemberFile(archive, outputPath, copyBuffer, haveTimes ? &times : nullptr);
}

bool ZipListContents(const char* archivePath, int mode, const char* targetDir,
                     std::vector<CStdStr>* list) {
    if (archivePath == nullptr || *archivePath == '\0') return false;
    const bool extracting = mode == ZipExtract || mode == ZipListAndExtract;
    const bool listing = (mode == ZipList || mode == ZipListAndExtract) && list != nullptr;
    std::unique_ptr<char[]> copyBuffer;
    if (extracting) {
        copyBuffer.reset(new (std::nothrow) char[kZipCopyBufferSize]);
        if (!copyBuffer) return false;
    }
    zlib_filefunc_def functions;
    fillPlatformZipFileFunctions(&functions);
    unzFile archive = unzOpen2(archivePath, &functions);
    if (archive == nullptr && isEmptyArchive(archivePath)) {
        if (listing) list->clear();
        return true;
    }
    if (archive == nullptr) {
        LogLine("ZipListContents: could not open zip file " + CStdStr(archivePath));
        return false;
    }
    unz_global_info global{};
    if (unzGetGlobalInfo(archive, &global) == UNZ_OK && listing) list->resize(global.number_entry);
    CStdStr madeDirectory;
    walkMembers(
        Walk{archive, targetDir, listing ? list : nullptr, copyBuffer.get(), &madeDirectory});
    unzClose(archive);
    return true;
}

bool ExtractZipTo(const PathObject& archive, const PathObject& target) {
    return ZipListContents(archive.GetFullPath().c_str(), ZipExtract, target.GetDir().c_str(),
                           nullptr);
}
