#pragma once

#include <cstdint>

#include "platform/find_files.h"
#include "support/path_object.h"

// Walks the entries of one directory that match a pattern ("dir" and "*.*").
class FileFinder {
  public:
    explicit FileFinder(const PathObject& pattern);
    ~FileFinder();
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // False when the first find failed or the last Next reached the end.
    bool IsValid() const { return valid; }
    bool IsDotEntry() const;
    // The current entry as a file in the pattern's directory.
    PathObject Current() const;
    uint32_t Attributes() const { return data.attributes; }
    bool IsDirectoryEntry() const;
    bool Next();

  private:
    CStdStr dir;
    platform::FindSearch* search = nullptr;
    platform::FindData data;
    bool valid = false;
};
