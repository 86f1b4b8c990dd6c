#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/system_path.h"

namespace {

// The part of path that exists by definition (drive, UNC server, root); false when a path
// that starts with a back-slash names no further component to split at.
bool splitRoot(const CStdStr& path, CStdStr& made, CStdStr& work) {
    made.clear();
    work = path;
    const size_t firstSlash = path.find('\\');
    if (firstSlash == 0) {
        const size_t next = path.find('\\', 2);
        if (next == CStdStr::npos) return false;
        made = path.substr(0, next + 1);
        work = path.substr(next + 1);
    } else if (path.find(':') == 1) {
        const size_t rootLength = firstSlash == 2 ? 3 : 2;
        made = path.substr(0, rootLength);
        work = path.substr(rootLength);
    }
    return true;
}

void moveNextComponent(CStdStr& work, CStdStr& made) {
    const size_t slash = work.find('\\');
    const size_t length = slash == CStdStr::npos ? work.size() : slash + 1;
    made += work.substr(0, length);
    work.erase(0, length);
}

// Makes made the current directory, creating it when it is missing.
bool enterOrCreate(const CStdStr& made) {
    if (platform::setCurrentDirectory(made)) return true;
    uint32_t code = platform::getLastError();
    if (code != platform::error::kFileNotFound && code != platform::error::kPathNotFound) {
        LogLine("FileOp::MakePath: could not switch to directory ", made, " (Error code: ", code,
                ")");
        return false;
    }
    if (platform::createDirectory(made)) return true;
    code = platform::getLastError();
    LogLine("FileOp::MakePath: tried to create directory ", made,
            " but failed.  (Error code: ", code, ")");
    return false;
}

// A relative path's components are each taken from the directory the walk started in: after
// entering the first, the second would otherwise be looked for below it.
bool walkComponents(CStdStr work, CStdStr made, const std::string& startedIn) {
    const bool relative = made.empty() || made.back() != '\\';
    for (;;) {
        if (work.find(',') != CStdStr::npos) {
            LogLine(
                "FileOp::MakePath: Invalid MakePath request with either comma(,) "
                "or a prefixed period(.) in path");
            return false;
        }
        moveNextComponent(work, made);
        if (relative) platform::setCurrentDirectory(startedIn);
        if (!enterOrCreate(made)) return false;
        if (work.empty()) return true;
    }
}

}  // namespace

namespace FileOp {

bool IsDirectory(const CStdStr& path, bool create) {
    if (path.empty()) return false;
    if (create && !MakePath(path)) return false;
    const uint32_t attributes = platform::getFileAttributes(path);
    return attributes != platform::kInvalidFileAttributes &&
           (attributes & platform::kFileAttributeDirectory) != 0;
}

bool MakePath(const CStdStr& path) {
    const std::string remembered = platform::getCurrentDirectory().substr(0, 260);
    CStdStr made;
    CStdStr work;
    const bool rootSplit = splitRoot(path, made, work);
    const bool walked = walkComponents(work, made, remembered);
    platform::setCurrentDirectory(remembered);
    return rootSplit && walked;
}

PathObject GetTempFile() { return get_temp_name(SystemPath(SystemPath::TEMP_DIR)); }

}  // namespace FileOp

PathObject get_temp_name(const PathObject& directory) {
    std::string name;
    if (platform::getTempFileName(directory.GetDir(), "tmp", 0, &name) == 0) {
        LogLine("get_temp_name: GetTempFileName in directory ", directory.GetDir(),
                " failed with code ", platform::getLastError());
        return PathObject();
    }
    return PathObject(CStdStr(name));
}
