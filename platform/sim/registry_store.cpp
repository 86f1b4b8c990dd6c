#include "platform/sim/registry_store.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>
#include <unordered_map>

#include "platform/little_endian.h"
#include "platform/registry.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_data.h"
#include "platform/text_conversion.h"

namespace sim::registry {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxKeyNameLength = 255;
constexpr const char* kDefaultSecurity = "D:(A;;KA;;;BA)(A;;KA;;;SY)(A;;KR;;;BU)";
constexpr const char* kHeader5 = "Windows Registry Editor Version 5.00";
constexpr const char* kHeader4 = "REGEDIT4";

// ---------------------------------------------------------------------------------------------
// The tree

struct Value {
    std::string name;
    uint32_t type = 0;
    std::string data;
};

struct Key {
    std::string name;
    std::vector<Value> values;
    // Positions in values by case-folded name: a key written value after value would otherwise
    // cost time in the square of its values.
    std::unordered_map<std::string, size_t> valuePositions;
    std::vector<std::unique_ptr<Key>> subkeys;
};

constexpr size_t kRootCount = 4;
constexpr const char* kRootNames[kRootCount] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
                                                "HKEY_USERS", "HKEY_CURRENT_CONFIG"};

struct Tree {
    std::array<Key, kRootCount> roots;
    Tree() {
        for (size_t i = 0; i < kRootCount; ++i) roots[i].name = kRootNames[i];
    }
};

// Never destroyed: the flight recorder may still read the registry while statics are torn down.
struct State {
    Tree tree;
    fs::path file;
    bool persistent = false;  // a machine's registry.reg was loaded; changes are saved to it
    bool dirty = false;       // changes not yet in registry.reg
    bool exiting = false;     // the final save ran: later changes are saved at once
};

State& state() {
    static State* instance = new State;
    return *instance;
}

Key* findSubkey(Key& key, std::string_view name) {
    for (auto& sub : key.subkeys)
        if (equalsIgnoringCase(sub->name, name)) return sub.get();
    return nullptr;
}

Value* findValue(Key& key, std::string_view name) {
    const auto found = key.valuePositions.find(folded(name));
    return found == key.valuePositions.end() ? nullptr : &key.values[found->second];
}

// ---------------------------------------------------------------------------------------------
// Key paths

struct KeyPath {
    size_t root = 0;
    std::vector<std::string> names;
};

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

std::vector<std::string> splitNames(std::string_view path) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == path.npos) end = path.size();
        if (end > start) names.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// The root index and the names the root stands for (HKEY_CLASSES_ROOT lies inside HKLM).
bool parseRoot(std::string_view name, KeyPath* path) {
    static constexpr const char* kShortNames[kRootCount] = {"HKLM", "HKCU", "HKU", "HKCC"};
    for (size_t i = 0; i < kRootCount; ++i) {
        if (equalsIgnoringCase(name, kRootNames[i]) || equalsIgnoringCase(name, kShortNames[i])) {
            path->root = i;
            return true;
        }
    }
    if (equalsIgnoringCase(name, "HKEY_CLASSES_ROOT") || equalsIgnoringCase(name, "HKCR")) {
        path->root = 0;
        path->names = {"Software", "Classes"};
        return true;
    }
    return false;
}

// Empty when the path can be kept, else what is wrong with it.
std::string parsePath(std::string_view text, KeyPath* path) {
    std::vector<std::string> names = splitNames(text);
    if (names.empty()) return "missing root key";
    if (!parseRoot(names.front(), path)) return "unknown root key \"" + names.front() + "\"";
    for (size_t i = 1; i < names.size(); ++i) {
        if (names[i].size() > kMaxKeyNameLength) return "key name longer than 255 characters";
        if (hasLineBreak(names[i])) return "key name holds a line break";
        path->names.push_back(std::move(names[i]));
    }
    if (path->names.size() > kMaxKeyDepth) return "keys nested deeper than 512 levels";
    return {};
}

bool parsedPath(std::string_view text, KeyPath* path) { return parsePath(text, path).empty(); }

Key* findKey(Tree& tree, const KeyPath& path) {
    Key* key = &tree.roots[path.root];
    for (const std::string& name : path.names) {
        key = findSubkey(*key, name);
        if (key == nullptr) return nullptr;
    }
    return key;
}

// Whether a sorts before b in a hive's index of subkeys: by the names in upper case.
bool sortsBefore(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(a[i])));
        const auto y = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(b[i])));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

// A hive keeps each key's subkeys sorted by name, so that is the order they are enumerated
// in, whatever order they were created in.
Key* insertSubkey(Key& key, const std::string& name) {
    auto& subs = key.subkeys;
    const auto place = std::lower_bound(
        subs.begin(), subs.end(), name,
        [](const auto& sub, const std::string& n) { return sortsBefore(sub->name, n); });
    Key* sub = subs.insert(place, std::make_unique<Key>())->get();
    sub->name = name;
    return sub;
}

Key* findOrCreateKey(Tree& tree, const KeyPath& path, bool* created) {
    Key* key = &tree.roots[path.root];
    for (const std::string& name : path.names) {
        Key* sub = findSubkey(*key, name);
        if (sub == nullptr) {
            sub = insertSubkey(*key, name);
            *created = true;
        }
        key = sub;
    }
    return key;
}

void deleteKeyTree(Tree& tree, const KeyPath& path) {
    KeyPath parentPath = path;
    parentPath.names.pop_back();
    Key* parent = findKey(tree, parentPath);
    if (parent == nullptr) return;
    auto& subs = parent->subkeys;
    for (auto it = subs.begin(); it != subs.end(); ++it) {
        if (equalsIgnoringCase((*it)->name, path.names.back())) {
            subs.erase(it);
            return;
        }
    }
}

// The path with its root spelled out and existing keys spelled as they were created.
std::string canonicalPath(Tree& tree, const KeyPath& path) {
    std::string text = kRootNames[path.root];
    Key* key = &tree.roots[path.root];
    for (const std::string& name : path.names) {
        key = key == nullptr ? nullptr : findSubkey(*key, name);
        text += "\\" + (key == nullptr ? name : key->name);
    }
    return text;
}

void storeValue(Key& key, std::string_view name, uint32_t type, std::string data) {
    Value* value = findValue(key, name);
    if (value == nullptr) {
        key.valuePositions.emplace(folded(name), key.values.size());
        key.values.push_back(Value{std::string(name), type, std::move(data)});
        return;
    }
    value->type = type;
    value->data = std::move(data);
}

bool removeValue(Key& key, std::string_view name) {
    const auto found = key.valuePositions.find(folded(name));
    if (found == key.valuePositions.end()) return false;
    key.values.erase(key.values.begin() + static_cast<std::ptrdiff_t>(found->second));
    key.valuePositions.clear();
    for (size_t i = 0; i < key.values.size(); ++i)
        key.valuePositions.emplace(folded(key.values[i].name), i);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Writing registry.reg

bool isWideStringType(uint32_t type) {
    return type == platform::kRegExpandSz || type == platform::kRegMultiSz;
}

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

// A crash or a full disk leaves the previous registry.reg whole: the new text goes to a
// temporary file that replaces the old one only once it is completely written.
void writeFile() {
    State& s = state();
    if (!s.persistent || !s.dirty) return;
    fs::path temporary = s.file;
    temporary += ".tmp";
    const std::string text = render(s.tree);
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    std::error_code ec;
    if (out) fs::rename(temporary, s.file, ec);
    const bool saved = out && !ec;
    if (!saved) fs::remove(temporary, ec);
    s.dirty = !saved;  // a failed write is tried again at the next flush
}

void flushAtExit() {
    state().exiting = true;
    writeFile();
}

// Rewriting the whole file after every change made a run cost time in the square of its
// registry lines, so a change only marks the registry dirty; it reaches registry.reg at flush():
// when the process ends normally (return from main or exit, also for changes made while
// statics are torn down), before a program is started, when another registry is loaded, or
// whenever a caller asks. A killed process loses the changes since the last flush, and
// registry.reg still holds, per value, either the state before or after each change.
// Every change of the tree passes through save(), so this counts them.
uint64_t& changes() {
    static uint64_t count = 0;
    return count;
}

void save() {
    ++changes();
    State& s = state();
    if (!s.persistent) return;
    s.dirty = true;
    if (s.exiting) writeFile();
}

// ---------------------------------------------------------------------------------------------
// Reading registry.reg

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

bool readFile(const fs::path& file, std::string* bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string located(const fs::path& file, size_t line, const std::string& what) {
    return file.string() + ":" + std::to_string(line) + ": " + what;
}

// Reads file into tree; empty on success, else the located problem.
std::string parseFile(const fs::path& file, Tree& tree) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) return {};
    std::string bytes, text;
    if (status.type() != fs::file_type::regular || !readFile(file, &bytes))
        return located(file, 1, "cannot be read");
    ParseError error;
    if (decodeText(bytes, &text, &error) && RegFileParser(text, tree).parse(&error)) return {};
    return located(file, error.line, error.what);
}

}  // namespace

void flush() { writeFile(); }

uint64_t changeCount() { return changes(); }

std::string load(const fs::path& file) {
    static const bool registered = std::atexit(flushAtExit) == 0;
    (void)registered;
    State& s = state();
    writeFile();
    s.dirty = false;
    s.tree = Tree();
    ++changes();
    s.persistent = false;
    s.file.clear();
    Tree loaded;
    std::string problem = parseFile(file, loaded);
    if (!problem.empty()) return problem;
    s.tree = std::move(loaded);
    ++changes();
    s.file = file;
    s.persistent = true;
    return {};
}

std::string importFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return located(file, 1, "no such file");
    // The file is read once into a scratch tree so that a fault on any line leaves the registry
    // untouched; the parser's verdict does not depend on what the tree already holds.
    Tree scratch;
    std::string problem = parseFile(file, scratch);
    if (!problem.empty()) return problem;
    problem = parseFile(file, state().tree);
    if (problem.empty()) save();
    return problem;
}

std::string exportText(std::string_view keyPath) {
    Tree& tree = state().tree;
    if (keyPath.empty()) return render(tree);
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(tree, path) : nullptr;
    if (key == nullptr) return {};
    std::string text = std::string(kHeader5) + "\r\n";
    std::string canonical = canonicalPath(tree, path);
    renderKey(*key, canonical, text);
    return text;
}

bool isStorableKeyPath(std::string_view keyPath) {
    KeyPath path;
    return parsedPath(keyPath, &path);
}

bool isStorableValueName(std::string_view name) { return !hasLineBreak(name); }

bool keyExists(std::string_view keyPath) {
    KeyPath path;
    return parsedPath(keyPath, &path) && findKey(state().tree, path) != nullptr;
}

bool createKey(std::string_view keyPath) {
    KeyPath path;
    if (!parsedPath(keyPath, &path)) return false;
    bool created = false;
    findOrCreateKey(state().tree, path, &created);
    if (created) save();
    return created;
}

bool readValue(std::string_view keyPath, std::string_view name, uint32_t* type, std::string* data) {
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(state().tree, path) : nullptr;
    Value* value = key == nullptr ? nullptr : findValue(*key, name);
    if (value == nullptr) return false;
    if (type != nullptr) *type = value->type;
    if (data != nullptr) *data = value->data;
    return true;
}

void writeValue(std::string_view keyPath, std::string_view name, uint32_t type, std::string data) {
    KeyPath path;
    if (!parsedPath(keyPath, &path) || !isStorableValueName(name)) return;
    bool created = false;
    storeValue(*findOrCreateKey(state().tree, path, &created), name, type, std::move(data));
    save();
}

bool deleteValue(std::string_view keyPath, std::string_view name) {
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(state().tree, path) : nullptr;
    if (key == nullptr || !removeValue(*key, name)) return false;
    save();
    return true;
}

std::vector<std::pair<std::string, std::pair<uint32_t, std::string>>> values(
    std::string_view keyPath) {
    std::vector<std::pair<std::string, std::pair<uint32_t, std::string>>> list;
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(state().tree, path) : nullptr;
    if (key == nullptr) return list;
    for (const Value& value : key->values) list.push_back({value.name, {value.type, value.data}});
    return list;
}

std::vector<std::string> subkeys(std::string_view keyPath) {
    std::vector<std::string> names;
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(state().tree, path) : nullptr;
    if (key == nullptr) return names;
    for (const auto& sub : key->subkeys) names.push_back(sub->name);
    return names;
}

std::string readString(std::string_view keyPath, std::string_view name) {
    uint32_t type = 0;
    std::string data;
    if (!readValue(keyPath, name, &type, &data)) return {};
    if (type == platform::kRegSz || type == platform::kRegExpandSz)
        return data.substr(0, data.find('\0'));
    if (type != platform::kRegDword || data.size() != 4) return {};
    return std::to_string(platform::littleEndian32(data));
}

std::string keySecurity(std::string_view keyPath) {
    KeyPath path;
    if (!parsedPath(keyPath, &path)) return kDefaultSecurity;
    while (true) {
        const std::string own = readString(kKeySecurityKey, canonicalPath(state().tree, path));
        if (!own.empty()) return own;
        if (path.names.empty()) return kDefaultSecurity;
        path.names.pop_back();
    }
}

void setKeySecurity(std::string_view keyPath, const std::string& sddl) {
    KeyPath path;
    if (!parsedPath(keyPath, &path)) return;
    writeValue(kKeySecurityKey, canonicalPath(state().tree, path), platform::kRegSz, sddl + '\0');
}

}  // namespace sim::registry
