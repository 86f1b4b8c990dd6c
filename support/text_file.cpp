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

bool TextFile::readAnsiLine(std::string& bytes) {
    int c;
    while ((c = std::getc(file)) != EOF) {
        if (c == '\n') return true;
        bytes += static_cast<char>(c);
    }
    return false;
}

bool TextFile::readUtf16Line(std::string& bytes) {
    unsigned char pair[2];
    for (;;) {
        const size_t read = std::fread(pair, 1, 2, file);
        // A trailing odd byte is half a unit: no line holds it.
        if (read == 1) leftover.assign(1, static_cast<char>(pair[0]));
        if (read < 2) return false;
        if (platform::littleEndian16(pair) == u'\n') return true;
        bytes.append(reinterpret_cast<const char*>(pair), 2);
    }
}

bool TextFile::ReadLine(CStdStr& line, std::string& bytes) {
    line.clear();
    bytes.clear();
    if (file == nullptr) return false;
    bool endOfLine = false;
    if (encoding == AnsiText) {
        endOfLine = readAnsiLine(bytes);
        if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    } else if (encoding == Utf16Text) {
        endOfLine = readUtf16Line(bytes);
        if (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\0", 2) == 0)
            bytes.resize(bytes.size() - 2);
    } else {
        LogLine("TextFile::ReadString: unsupported encoding type!");
    }
    line = DecodeBytes(bytes);
    return !bytes.empty() || endOfLine;
}

bool TextFile::ReadString(CStdStr& line) {
    std::string bytes;
    return ReadLine(line, bytes);
}

CStdStr TextFile::DecodeBytes(const std::string& bytes) const {
    if (encoding != Utf16Text) return CStdStr(bytes);
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(platform::littleEndian16(bytes, i));
    return units.empty() ? CStdStr() : CStdStr(platform::wideToAnsi(units));
}

std::string TextFile::TrimBytes(const std::string& bytes) const {
    const size_t unit = encoding == Utf16Text ? 2 : 1;
    const auto blankAt = [&](size_t at) {
        const unsigned value =
            unit == 2 ? platform::littleEndian16(bytes, at) : static_cast<unsigned char>(bytes[at]);
        return value == ' ' || (value >= '\t' && value <= '\r');
    };
    size_t begin = 0;
    size_t end = bytes.size() - bytes.size() % unit;
    while (begin < end && blankAt(begin)) begin += unit;
    while (end > begin && blankAt(end - unit)) end -= unit;
    return bytes.substr(begin, end - begin);
}

bool TextFile::WriteBytes(const std::string& bytes) {
    return file != nullptr && (bytes.empty() || writeBytes(bytes.data(), bytes.size()));
}

bool TextFile::WriteLineBytes(const std::string& bytes) {
    const std::string lineEnd = encoding == Utf16Text ? std::string("\r\0\n\0", 4) : "\r\n";
    return WriteBytes(bytes + lineEnd);
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
