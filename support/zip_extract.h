#pragma once

#include <vector>

#include "support/cstd_str.h"
#include "support/path_object.h"

// Listing modes of ZipListContents.
constexpr int ZipList = 1;
constexpr int ZipExtract = 2;
constexpr int ZipListAndExtract = 3;

constexpr int kZipCopyBufferSize = 16384;

// Walks the archive's members in archive order: with ZipList (and a list) their names go to
// the list, with ZipExtract they are written below targetDir (or the current directory when
// it is null or empty), carrying the date and time stored for them. Members whose names would
// land outside targetDir are not written. True when the archive could be opened, whatever
// happened to single members.
bool ZipListContents(const char* archivePath, int mode, const char* targetDir,
                     std::vector<CStdStr>* list);

// Writes the member the open archive is positioned on to outputPath; month counts from 0.
// The archive is minizip's unzFile. madeDirectory, when given, is the directory made for the
// member before: the same one is not made again, and it becomes this member's directory.
bool zip_extract_file(void* archive, int seconds, int minutes, int hours, int day, int month,
                      int year, const CStdStr& outputPath, char* copyBuffer,
                      CStdStr* madeDirectory = nullptr);

// Whether a member name (with '\\' separators) would be written outside the target directory:
// absolute, naming a drive, or climbing out with a parent reference. Such members are skipped.
bool zipMemberLeavesTarget(const CStdStr& name);

// Extracts every member of archive into target's directory.
bool ExtractZipTo(const PathObject& archive, const PathObject& target);
