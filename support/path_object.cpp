#include "support/path_object.h"

#include "platform/files.h"

namespace {

CStdStr normalisedDir(CStdStr text) {
    for (char& c : text)
        if (c == '/') c = '\\';
    if (!text.empty() && text.back() == '\\') text.pop_back();
    return text;
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

PathObject::PathObject(const CStdStr& fullPath) { SetFullPath(fullPath); }

void PathObject::SetDir(const CStdStr& text) { dir = normalisedDir(text); }

bool PathObject::SetFullPath(const CStdStr& text) {
    const CStdStr trimmed = text.Trimmed();
    if (trimmed.empty()) return false;
    // Drive and directory run up to and including the last separator; the rest is the name
    // with its extension, as the runtime's path splitter divides it.
    size_t nameStart = 0;
    if (trimmed.size() >= 2 && trimmed[1] == ':') nameStart = 2;
    for (size_t i = trimmed.size(); i > nameStart; --i) {
        if (isSeparator(trimmed[i - 1])) {
            nameStart = i;
            break;
        }
    }
    dir = normalisedDir(trimmed.substr(0, nameStart));
    fileName = trimmed.substr(nameStart);
    return true;
}

void PathObject::AppendDir(const CStdStr& text) {
    if (text.empty()) return;
    CStdStr part = text;
    for (char& c : part)
        if (c == '/') c = '\\';
    if (part.front() != '\\') part.insert(0, 1, '\\');
    dir = normalisedDir(dir + part);
}

CStdStr PathObject::GetFullPath() const {
    if (fileName.empty()) return dir;
    // A bare name stays relative to the current directory; a separator in front of it would
    // move it to the root of the drive.
    if (dir.empty()) return fileName;
    return CStdStr(dir + "\\" + fileName);
}

PathObject PathObject::GetParent() const {
    PathObject parent;
    const size_t last = dir.find_last_of("\\/");
    if (last != CStdStr::npos) {
        parent.SetFullPath(dir.substr(0, last + 1));
    } else if (dir.size() >= 2 && dir[1] == ':') {
        parent.SetFullPath(dir.substr(0, 2));
    }
    return parent;
}

bool PathObject::Exists() const {
    return !fileName.empty() &&
           platform::getFileAttributes(GetFullPath()) != platform::kInvalidFileAttributes;
}

int PathObject::Compare(const PathObject& other) const {
    const int byDir = dir.CompareNoCase(other.dir);
    return byDir != 0 ? byDir : fileName.CompareNoCase(other.fileName);
}
