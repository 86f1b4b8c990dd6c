#include "support/file_finder.h"

#include "platform/files.h"

FileFinder::FileFinder(const PathObject& pattern) : dir(pattern.GetDir()) {
    search = platform::findFirstFile(pattern.GetFullPath(), &data);
    valid = search != nullptr;
}

FileFinder::~FileFinder() {
    if (search != nullptr) platform::findClose(search);
}

bool FileFinder::IsDotEntry() const { return data.fileName == "." || data.fileName == ".."; }

PathObject FileFinder::Current() const {
    PathObject entry;
    entry.SetDir(dir);
    entry.SetFileName(data.fileName);
    return entry;
}

bool FileFinder::IsDirectoryEntry() const {
    return (data.attributes & platform::kFileAttributeDirectory) != 0;
}

bool FileFinder::Next() {
    valid = valid && platform::findNextFile(search, &data);
    return valid;
}
