#pragma once

#include <cstdint>
#include <string>

// Files that another process holds are data in the machine: values under
// HKLM\SOFTWARE\WinSim\FilesInUse named by the file's Windows path (case ignored). What a
// value holds says how the other process holds the file, and so what the file refuses:
//   32 or 33 (a DWORD or decimal text): open without write sharing, or a locked range. The
//       file can be read and renamed (the entry follows the new name); writing, replacing
//       (by a move too) and deleting it fail with that number. 0 releases it.
//   "share=none", "share=read", "share=read,delete", "share=read,write,delete": opened for
//       reading with that sharing. An access the sharing does not name fails with 32
//       (reading needs read, writing write, renaming and deleting delete); a deleted file
//       goes at once, where Windows lets it go when the holder closes it.
//   "image": a loaded library. It can be read and renamed; writing fails with 32, deleting
//       with 5.
// A file held in one of these two ways is never replaced by a move onto it (5).
namespace sim {

constexpr const char* kFilesInUseKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\FilesInUse";

enum class FileAccess { Read, Write, Rename, Delete, ReplaceByMove };

// Whether a text value names a way of holding a file ("share=...", "image", a number).
bool isHoldText(const std::string& text);

// The error the other process's hold makes this access to the file fail with, else 0.
uint32_t heldFileRefusal(const std::string& windowsPath, FileAccess access);
// Whether the machine lists any file as held at all.
bool anyFileInUse();
// After a rename: the entry of from (if any) now names to.
void moveFileInUse(const std::string& from, const std::string& to);
// After a deletion: the entry of the file (if any) goes with it.
void forgetFileInUse(const std::string& windowsPath);

}  // namespace sim
