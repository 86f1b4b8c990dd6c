#pragma once

#include <vector>

#include "support/cstd_str.h"
#include "support/path_object.h"

// The file toolbox: copies with a fallback for destinations in use, removals with the same
// fallback, directory paths, version and time comparisons, temporary names. Every failure is
// one line in the flight recorder and a false or empty result; nothing throws.
namespace FileOp {

// Flags of Copy.
constexpr int CopyIfVersionDiffers = 1;
constexpr int CopyIfTimeDiffers = 2;
constexpr int ReplaceInUse = 4;
constexpr int InUseOnlyIfDifferent = 8;

// Flags of Remove and RemoveFile.
constexpr int NoRebootFallback = 1;
constexpr int RemoveAtReboot = 2;

// -1, 0 or 1: the last-write time of source against destination (0 when either is unknown).
int IsNewerTime(const PathObject& source, const PathObject& destination);
// The file's version text with ',' turned into '.', or empty.
CStdStr GetFileVersion(const PathObject& file);
// -1, 0 or 1, field by field as numbers; more fields count as newer, no version as oldest.
int CompareVersion(const PathObject& first, const PathObject& second);

bool IsDirectory(const CStdStr& path, bool create);
bool MakePath(const CStdStr& path);
PathObject GetTempFile();

// Puts a finished scratch file in the destination's place: a replacing move, or where the
// system has none (the 9x family) the old file renamed aside, the scratch file renamed in and
// the old one deleted (at the next restart when it cannot go now); a destination that cannot
// be renamed gets a copy over it and the scratch file deleted.
// A destination that is read-only or in use refuses either way. False with the system's
// error as the last error; the scratch file is then the caller's to remove.
bool PutInPlace(const PathObject& scratch, const PathObject& destination);

bool ShouldCopy(const PathObject& source, const PathObject& destination, int flags);
bool Copy(const PathObject& source, const PathObject& destination, int flags);

bool Remove(const PathObject& target, int flags);
bool RemoveFile(const PathObject& file, int flags);

// Schedules a move (to non-null) or a deletion (to null) for the next restart. Where the
// system refuses, the move is kept in pendingRenames (or, for a directory, in the restart
// batch file).
bool replaceOnReboot(const CStdStr& from, const CStdStr* to);

// "target=source" lines, in the order they were added, each once (case ignored).
std::vector<CStdStr>& pendingRenames();
// Hands pendingRenames to a system that takes restart-time replacements from the [Rename]
// section of WININIT.INI; on other systems logs that they could not be scheduled.
void writePendingRenames();

}  // namespace FileOp

// A new empty temporary file in the object's directory, or an empty object.
PathObject get_temp_name(const PathObject& directory);
// Removes the directory now, or at the next restart when it cannot. Always true.
bool deleteDir(const PathObject& directory);
// Adds the directory to the batch file that removes directories at the next logon.
void addToRebootBatFile(const CStdStr& directory);
// Removes a directory with everything below it.
bool WipeOutDirectory(const PathObject& directory);
