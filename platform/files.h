#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Files and directories, addressed by Windows paths in the ANSI code page.
namespace platform {

constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr uint32_t kFileAttributeReadOnly = 0x01;
constexpr uint32_t kFileAttributeHidden = 0x02;
constexpr uint32_t kFileAttributeSystem = 0x04;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeArchive = 0x20;
constexpr uint32_t kFileAttributeNormal = 0x80;

// GetFileAttributes: kInvalidFileAttributes and the last error on failure.
uint32_t getFileAttributes(const std::string& path);

// fopen with one of the binary modes "rb", "wb", "ab" (optionally with "+"): null and the
// last error on failure. The stream is closed with std::fclose.
std::FILE* openFile(const std::string& path, const char* mode);

// Appends text to a file opened in text mode (created when missing), closing it again, so
// that the file is complete on disk when the call returns. Line feeds become carriage return
// and line feed, as the Windows runtime writes them. False when the file cannot be opened.
bool appendTextFile(const std::string& path, const std::string& text);

// GetCurrentDirectory / SetCurrentDirectory.
std::string getCurrentDirectory();
bool setCurrentDirectory(const std::string& path);

}  // namespace platform
