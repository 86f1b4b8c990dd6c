#include "platform/sim/registry_file_reader.h"

#include <optional>
#include <system_error>

#include "platform/little_endian.h"
#include "platform/registry.h"
#include "platform/sim/machine_files.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_data.h"
#include "platform/sim/registry_file_writer.h"
#include "platform/text_conversion.h"

namespace sim::registry {

namespace {

namespace fs = std::filesystem;

struct ParseError {
    size_t line = 0;
    std::string what;
};

class LineReader {
  public:
    explicit LineReader(std::string_view text) : text(text) {}

    // The next line without its line ending; false at the end of the text.
    bool next(std::string_view* line) {
        if (position >= text.size()) return false;
        size_t end = text.find('\n', position);
        if (end == text.npos) end = text.size();
        *line = text.substr(position, end - position);
        if (!line->empty() && line->back() == '\r') line->remove_suffix(1);
        position = end + 1;
        ++lineNumber;
        return true;
    }
    size_t number() const { return lineNumber; }

  private:
    std::string_view text;
    size_t position = 0;
    size_t lineNumber = 0;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A number of 1 to maxDigits hex digits.
bool parseHexNumber(std::string_view text, size_t maxDigits, uint32_t* number) {
    if (text.empty() || text.size() > maxDigits) return false;
    *number = 0;
    for (char c : text) {
        const int digit = hexDigit(c);
        if (digit < 0) return false;
        *number = (*number << 4) | static_cast<uint32_t>(digit);
    }
    return true;
}

// Text shown in a message, cut short so that junk cannot flood it.
std::string excerpt(std::string_view text) {
    constexpr size_t kLimit = 20;
    return "\"" + std::string(text.substr(0, kLimit)) + (text.size() > kLimit ? "...\"" : "\"");
}

// The "..." string at text[*pos]; *pos ends past the closing quote.
std::string parseQuoted(std::string_view text, size_t* pos, std::string* out) {
    if (*pos >= text.size() || text[*pos] != '"') return "expected '\"'";
    for (size_t i = *pos + 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            *pos = i + 1;
            return {};
        }
        if (text[i] == '\\') {
            if (i + 1 >= text.size()) break;
            if (text[i + 1] != '\\' && text[i + 1] != '"')
                return "bad escape \"\\" + std::string(1, text[i + 1]) + "\"";
            ++i;
        }
        *out += text[i];
    }
    return "unterminated quoted text";
}

std::string parseHexBytes(std::string_view text, std::string* bytes) {
    text = trimmed(text);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(',', start);
        if (end == text.npos) end = text.size();
        const std::string_view token = trimmed(text.substr(start, end - start));
        uint32_t byte = 0;
        if (!parseHexNumber(token, 2, &byte)) return "bad hex byte " + excerpt(token);
        *bytes += static_cast<char>(byte);
        start = end + 1;  // a comma that ends the list is tolerated
    }
    return {};
}

std::string ansiOfUtf16(const std::string& bytes, std::string* ansi) {
    if (bytes.size() % 2 != 0) return "odd number of bytes in UTF-16 string data";
    std::u16string wide;
    for (size_t i = 0; i < bytes.size(); i += 2)
        wide += static_cast<char16_t>(platform::littleEndian16(bytes, i));
    *ansi = platform::wideToAnsi(wide);
    return {};
}

class RegFileParser {
  public:
    RegFileParser(std::string_view text, Tree& tree) : reader(text), tree(tree) {}

    bool parse(ParseError* error) {
        std::string problem = parseHeader();
        std::string_view line;
        while (problem.empty() && reader.next(&line)) problem = parseLine(trimmed(line));
        if (problem.empty()) return true;
        error->line = reader.number() == 0 ? 1 : reader.number();
        error->what = problem;
        return false;
    }

  private:
    std::string parseHeader() {
        std::string_view line;
        if (!reader.next(&line)) return "empty file, expected \"" + std::string(kHeader5) + "\"";
        line = trimmed(line);
        if (line == kHeader5) {
            wideStrings = true;
            return {};
        }
        if (line == kHeader4) return {};
        return "not a registry file: expected \"" + std::string(kHeader5) + "\" or \"" + kHeader4 +
               "\"";
    }

    std::string parseLine(std::string_view line) {
        if (line.empty() || line.front() == ';') return {};
        if (line.front() == '[') return parseKeyLine(line);
        if (line.front() == '"' || line.front() == '@') return parseValueLine(line);
        return "unexpected text " + excerpt(line);
    }

    std::string parseKeyLine(std::string_view line) {
        if (line.size() < 2 || line.back() != ']') return "key name without closing ']'";
        std::string_view inner = line.substr(1, line.size() - 2);
        const bool deletion = !inner.empty() && inner.front() == '-';
        if (deletion) inner.remove_prefix(1);
        if (inner.empty() || inner.back() == '\\' || inner.find("\\\\") != inner.npos)
            return "empty key name in " + excerpt(inner);
        KeyPath path;
        std::string problem = parsePath(inner, &path);
        if (!problem.empty()) return problem;
        if (deletion) return deleteKey(path);
        bool created = false;
        current = findOrCreateKey(tree, path, &created);
        return {};
    }

    std::string deleteKey(const KeyPath& path) {
        if (path.names.empty()) return "a root key cannot be deleted";
        deleteKeyTree(tree, path);
        current = nullptr;
        return {};
    }

    std::string parseValueLine(std::string_view line) {
        if (current == nullptr) return "value outside of a key";
        std::string name;
        size_t pos = 1;
        if (line.front() == '"') {
            pos = 0;
            std::string problem = parseQuoted(line, &pos, &name);
            if (!problem.empty()) return problem;
            if (!isStorableValueName(name)) return "value name holds a line break";
        }
        std::string_view rest = trimmed(line.substr(pos));
        if (rest.empty() || rest.front() != '=') return "expected '=' after the value name";
        rest = trimmed(rest.substr(1));
        if (rest == "-") {
            removeValue(*current, name);
            return {};
        }
        return parseData(name, rest);
    }

    std::string parseData(const std::string& name, std::string_view data) {
        if (!data.empty() && data.front() == '"') return parseStringData(name, data);
        if (startsWithIgnoringCase(data, "dword:")) return parseDwordData(name, data.substr(6));
        if (startsWithIgnoringCase(data, "hex")) return parseHexData(name, data.substr(3));
        return "unrecognised value data " + excerpt(data);
    }

    std::string parseStringData(const std::string& name, std::string_view data) {
        std::string text;
        size_t pos = 0;
        std::string problem = parseQuoted(data, &pos, &text);
        if (!problem.empty()) return problem;
        if (pos != data.size())
            return "unexpected text after the string " + excerpt(data.substr(pos));
        storeValue(*current, name, platform::kRegSz, text + '\0');
        return {};
    }

    std::string parseDwordData(const std::string& name, std::string_view digits) {
        uint32_t number = 0;
        if (!parseHexNumber(digits, 8, &number)) return "bad dword " + excerpt(digits);
        storeValue(*current, name, platform::kRegDword, dwordData(number));
        return {};
    }

    // "hex:" is REG_BINARY, "hex(N):" names the type in hex.
    std::string parseHexType(std::string_view* data, uint32_t* type) {
        *type = platform::kRegBinary;
        if (!data->empty() && data->front() == '(') {
            const size_t close = data->find(')');
            if (close == data->npos || !parseHexNumber(data->substr(1, close - 1), 8, type))
                return "bad value type in " + excerpt(*data);
            data->remove_prefix(close + 1);
        }
        if (data->empty() || data->front() != ':') return "expected ':' after hex";
        data->remove_prefix(1);
        return {};
    }

    // Hex data continues on the next line while a line ends with a backslash.
    std::string joinContinuedLines(std::string_view first, std::string* joined) {
        std::string_view part = trimmed(first);
        while (!part.empty() && part.back() == '\\') {
            joined->append(part.substr(0, part.size() - 1));
            std::string_view next;
            if (!reader.next(&next)) return "line continues past the end of the file";
            part = trimmed(next);
        }
        joined->append(part);
        return {};
    }

    std::string parseHexData(const std::string& name, std::string_view data) {
        uint32_t type = 0;
        std::string problem = parseHexType(&data, &type);
        std::string joined, bytes;
        if (problem.empty()) problem = joinContinuedLines(data, &joined);
        if (problem.empty()) problem = parseHexBytes(joined, &bytes);
        if (problem.empty() && wideStrings && isWideStringType(type)) {
            const std::string wide = bytes;
            problem = ansiOfUtf16(wide, &bytes);
        }
        if (problem.empty()) storeValue(*current, name, type, bytes);
        return problem;
    }

    LineReader reader;
    Tree& tree;
    Key* current = nullptr;
    bool wideStrings = false;
};

// The file as 8-bit text: UTF-16LE (with its byte-order mark) is converted to the code page.
bool decodeText(const std::string& bytes, std::string* text, ParseError* error) {
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') {
        *text = bytes;
        return true;
    }
    std::string body = bytes.substr(2);
    const bool truncated = body.size() % 2 != 0;
    if (truncated) body.pop_back();
    ansiOfUtf16(body, text);
    if (!truncated) return true;
    error->line = 1;
    for (char c : *text) error->line += c == '\n';
    error->what = "UTF-16 text ends in the middle of a character";
    return false;
}

}  // namespace

std::string located(const fs::path& file, size_t line, const std::string& what) {
    return file.string() + ":" + std::to_string(line) + ": " + what;
}

std::string parseFile(const fs::path& file, Tree& tree) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) return {};
    const std::optional<std::string> bytes =
        status.type() == fs::file_type::regular ? readHostFile(file) : std::nullopt;
    if (!bytes) return located(file, 1, "cannot be read");
    std::string text;
    ParseError error;
    if (decodeText(*bytes, &text, &error) && RegFileParser(text, tree).parse(&error)) return {};
    return located(file, error.line, error.what);
}

}  // namespace sim::registry
