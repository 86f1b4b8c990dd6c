#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/cstd_str.h"

// A line-oriented text file in the ANSI code page or in UTF-16 little-endian with a byte-order
// mark. Callers always deal in 8-bit lines without line ends; conversion and line ends are
// handled here, which is why the file is always opened in binary mode.
class TextFile {
  public:
    static constexpr int32_t UnknownText = 0;
    static constexpr int32_t AnsiText = 1;
    static constexpr int32_t Utf16Text = 2;

    static constexpr int ReadMode = 0;
    static constexpr int WriteMode = 1;   // creates or truncates
    static constexpr int AppendMode = 2;  // acts as WriteMode when the file does not exist

    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // An encoding of UnknownText detects it from the file, which must then exist.
    bool Open(const CStdStr& path, int mode, int32_t encoding);
    // False only at the end of the file with nothing read.
    bool ReadString(CStdStr& line);
    // As ReadString, with the line's own bytes in the file's encoding (without its line end)
    // beside it, for a line that is to be written back unchanged. A UTF-16 file's odd last
    // byte is in no line: LeftoverByte holds it once the end is reached.
    bool ReadLine(CStdStr& line, std::string& bytes);
    const std::string& LeftoverByte() const { return leftover; }
    // The bytes without the blanks at either end, unit by unit in the file's encoding.
    std::string TrimBytes(const std::string& bytes) const;
    CStdStr DecodeBytes(const std::string& bytes) const;
    // Bytes in the file's encoding as they are, and a line of such bytes with its line end.
    bool WriteBytes(const std::string& bytes);
    bool WriteLineBytes(const std::string& bytes);
    // Line feeds are written as carriage return and line feed. False when nothing was written.
    bool WriteString(const CStdStr& text);
    // False when what was written could not all reach the file.
    bool Close();

    int32_t GetEncoding() const { return encoding; }
    bool IsOpen() const { return file != nullptr; }

  private:
    bool prepareUtf16(int mode);
    bool readAnsiLine(std::string& bytes);
    bool readUtf16Line(std::string& bytes);
    bool writeBytes(const char* data, size_t size);

    int32_t encoding = UnknownText;
    std::FILE* file = nullptr;
    std::string leftover;
};

// UnknownText when the file cannot be opened, Utf16Text when it starts with FF FE, else
// AnsiText (a file shorter than two bytes too).
int32_t DetectEncoding(const CStdStr& path);

// Every line of an existing file, its encoding detected; empty when it cannot be read.
std::vector<CStdStr> ReadTextLines(const CStdStr& path);

// Replaces the file with the lines in the ANSI code page, whole or not at all: they are written
// beside it and put in its place when complete. False, with the file as it was, on failure.
bool ReplaceTextLines(const CStdStr& path, const std::vector<CStdStr>& lines);
