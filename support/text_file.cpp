#include "support/text_file.h"

#include <string>

#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/little_endian.h"
#include "platform/text_conversion.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/path_object.h"

namespace {

constexpr unsigned char kMarkLow = 0xFF;
constexpr unsigned char kMarkHigh = 0xFE;

const char* modeText(int mode) {
    switch (mode) {
        case TextFile::ReadMode:
            return "rb";
        case TextFile::WriteMode:
            return "wb";
        case TextFile::AppendMode:
            return "ab";
        default:
            return nullptr;
    }
}

bool startsWithMark(std::FILE* file) {
    unsigned char mark[2] = {0, 0};
    return std::fread(mark, 1, 2, file) == 2 && mark[0] == kMarkLow && mark[1] == kMarkHigh;
}

CStdStr withCarriageReturns(const CStdStr& text) {
    CStdStr out;
    out.reserve(text.size() + text.size() / 16 + 1);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

void dropOneCarriageReturn(CStdStr& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

int32_t DetectEncoding(const CStdStr& path) {
    std::FILE* file = platform::openFile(path, "rb");
    if (file == nullptr) return TextFile::UnknownText;
    const bool marked = startsWithMark(file);
    std::fclose(file);
    return marked ? TextFile::Utf16Text : TextFile::AnsiText;
}

TextFile::~TextFile() { Close(); }

bool TextFile::Close() {
    const bool closed = file == nullptr || std::fclose(file) == 0;
    file = nullptr;
    return closed;
}

bool TextFile::Open(const CStdStr& path, int mode, int32_t requestedEncoding) {
    if (path.empty()) return false;
    Close();
    encoding = requestedEncoding != UnknownText ? requestedEncoding : DetectEncoding(path);
    if (mode == AppendMode && !PathObject(path).Exists()) mode = WriteMode;
    if (encoding == UnknownText) return false;
    const char* openMode = modeText(mode);
    if (openMode == nullptr) {
        LogLine("TextFile::Open: file ", path, ": attempted to open with an unknown mode: ", mode);
        return false;
    }
    file = platform::openFile(path, openMode);
    if (file == nullptr) {
        LogLine("TextFile::Open: open of ", path, " failed.");
        return false;
    }
    if (encoding == Utf16Text && !prepareUtf16(mode)) {
        Close();
        return false;
    }
    return true;
}

bool TextFile::prepareUtf16(int mode) {
    const unsigned char mark[2] = {kMarkLow, kMarkHigh};
    if (mode == ReadMode) {
        // A file that was declared UTF-16 by the caller but has no mark keeps its first unit.
        if (!startsWithMark(file)) std::rewind(file);
        return true;
    }
    if (mode == AppendMode) {
        // Appending to an empty file starts it, so it needs the mark to be read back as UTF-16.
        if (std::fseek(file, 0, SEEK_END) != 0 || std::ftell(file) != 0) return true;
    }
    return std::fwrite(mark, 1, 2, file) == 2;
}

bool TextFile::readAnsiLine(CStdStr& line) {
    int c;
    while ((c = std::getc(file)) != EOF) {
        if (c == '\n') return true;
        line += static_cast<char>(c);
    }
    return false;
}

bool TextFile::readUtf16Line(CStdStr& line) {
    std::u16string units;
    bool endOfLine = false;
    unsigned char pair[2];
    // A trailing odd byte is half a unit and is dropped: fread delivers no element for it.
    while (std::fread(pair, 2, 1, file) == 1) {
        const char16_t unit = static_cast<char16_t>(platform::littleEndian16(pair));
        if (unit == u'\n') {
            endOfLine = true;
            break;
        }
        units += unit;
    }
    if (!units.empty()) line = platform::wideToAnsi(units);
    return endOfLine;
}

bool TextFile::ReadString(CStdStr& line) {
    line.clear();
    if (file == nullptr) return false;
    bool endOfLine = false;
    if (encoding == AnsiText) {
        endOfLine = readAnsiLine(line);
    } else if (encoding == Utf16Text) {
        endOfLine = readUtf16Line(line);
    } else {
        LogLine("TextFile::ReadString: unsupported encoding type!");
    }
    dropOneCarriageReturn(line);
    return !line.empty() || endOfLine;
}

bool TextFile::writeBytes(const char* data, size_t size) {
    return size > 0 && std::fwrite(data, 1, size, file) > 0;
}

bool TextFile::WriteString(const CStdStr& text) {
    if (file == nullptr) return false;
    const CStdStr onDisk = withCarriageReturns(text);
    if (encoding == AnsiText) return writeBytes(onDisk.data(), onDisk.size());
    if (encoding == Utf16Text) {
        const std::u16string units = platform::ansiToWide(onDisk);
        std::string bytes;
        bytes.reserve(units.size() * 2);
        for (char16_t unit : units) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        return writeBytes(bytes.data(), bytes.size());
    }
    LogLine("TextFile::WriteString: unsupported encoding type!");
    return false;
}

std::vector<CStdStr> ReadTextLines(const CStdStr& path) {
    std::vector<CStdStr> lines;
    TextFile file;
    if (!file.Open(path, TextFile::ReadMode, TextFile::UnknownText)) return lines;
    CStdStr line;
    while (file.ReadString(line)) lines.push_back(line);
    return lines;
}

bool ReplaceTextLines(const CStdStr& path, const std::vector<CStdStr>& lines) {
    PathObject beside(path);
    if (beside.GetDir().empty()) beside.SetDir(".");
    const PathObject scratch = get_temp_name(beside);
    if (!scratch.HasFileName()) return false;
    TextFile file;
    bool written = file.Open(scratch.GetFullPath(), TextFile::WriteMode, TextFile::AnsiText);
    for (const CStdStr& line : lines) written = written && file.WriteString(line + "\n");
    written = file.Close() && written;
    if (written && FileOp::PutInPlace(scratch, PathObject(path))) return true;
    platform::deleteFile(scratch.GetFullPath());
    return false;
}
