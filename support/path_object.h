#pragma once

#include "support/cstd_str.h"

// A path kept as a directory part and a file-name part, so whether a path names a directory
// is a property of the value, not of the disk. The directory part never holds '/' and never
// ends in a back-slash (a drive root is "C:").
class PathObject {
  public:
    PathObject() = default;
    explicit PathObject(const CStdStr& fullPath);

    void SetDir(const CStdStr& text);
    bool SetFullPath(const CStdStr& text);
    void AppendDir(const CStdStr& text);
    void SetFileName(const CStdStr& name) { fileName = name; }

    const CStdStr& GetDir() const { return dir; }
    const CStdStr& GetFileName() const { return fileName; }
    bool HasFileName() const { return !fileName.empty(); }
    CStdStr GetFullPath() const;
    PathObject GetParent() const;
    bool Exists() const;

    int Compare(const PathObject& other) const;
    bool operator==(const PathObject& other) const { return Compare(other) == 0; }
    bool operator<(const PathObject& other) const { return Compare(other) < 0; }

  private:
    CStdStr dir;
    CStdStr fileName;
};
