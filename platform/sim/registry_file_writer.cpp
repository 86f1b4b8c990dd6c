#include "platform/sim/registry_file_writer.h"

#include <cstdio>

#include "platform/little_endian.h"
#include "platform/registry.h"
#include "platform/text_conversion.h"

namespace sim::registry {

namespace {

std::string quotedText(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A REG_SZ that reads back identically from "..." form: one terminating NUL and nothing that
// would end the line early.
bool isPlainText(const Value& value) {
    const std::string& data = value.data;
    if (value.type != platform::kRegSz || data.empty() || data.back() != '\0') return false;
    const std::string_view text(data.data(), data.size() - 1);
    return text.find('\0') == text.npos && !hasLineBreak(text);
}

std::string utf16Bytes(const std::string& ansi) {
    std::string bytes;
    for (char16_t c : platform::ansiToWide(ansi)) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::string hexPrefix(uint32_t type) {
    if (type == platform::kRegBinary) return "hex:";
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "hex(%x):", type);
    return buffer;
}

// Bytes as "xx,xx,..." continued on indented lines so that no line passes 80 columns.
void appendWrappedHex(std::string& line, const std::string& bytes) {
    constexpr size_t kColumns = 80;
    size_t column = line.size();
    for (size_t i = 0; i < bytes.size(); ++i) {
        char piece[4];
        std::snprintf(piece, sizeof piece, "%02x", static_cast<unsigned char>(bytes[i]));
        const bool last = i + 1 == bytes.size();
        const size_t width = last ? 2 : 3;
        if (column + width + 1 > kColumns) {
            line += "\\\r\n  ";
            column = 2;
        }
        line += piece;
        if (!last) line += ',';
        column += width;
    }
}

std::string valueLine(const Value& value) {
    std::string line = (value.name.empty() ? "@" : quotedText(value.name)) + "=";
    if (isPlainText(value))
        return line + quotedText(std::string_view(value.data).substr(0, value.data.size() - 1));
    if (value.type == platform::kRegDword && value.data.size() == 4) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", platform::littleEndian32(value.data));
        return line + buffer;
    }
    line += hexPrefix(value.type);
    appendWrappedHex(line, isWideStringType(value.type) ? utf16Bytes(value.data) : value.data);
    return line;
}

}  // namespace

bool isWideStringType(uint32_t type) {
    return type == platform::kRegExpandSz || type == platform::kRegMultiSz;
}

void renderKey(const Key& key, std::string& path, std::string& out) {
    out += "\r\n[" + path + "]\r\n";
    for (const Value& value : key.values) out += valueLine(value) + "\r\n";
    for (const auto& sub : key.subkeys) {
        const size_t length = path.size();
        path += "\\" + sub->name;
        renderKey(*sub, path, out);
        path.resize(length);
    }
}

std::string render(const Tree& tree) {
    std::string out = std::string(kHeader5) + "\r\n";
    for (const Key& root : tree.roots) {
        std::string path = root.name;
        renderKey(root, path, out);
    }
    return out;
}

}  // namespace sim::registry
