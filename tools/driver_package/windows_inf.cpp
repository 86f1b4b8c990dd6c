#include "tools/driver_package/windows_inf.h"

#include <iconv.h>

#include <fstream>
#include <iterator>

#include "platform/sim/names.h"

namespace driver_package {

namespace {

std::string trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return std::string(text);
}

// The first '=' outside quotes, or npos.
size_t keyEnd(std::string_view text) {
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (!quoted && text[i] == ';') return std::string_view::npos;
        if (!quoted && text[i] == '=') return i;
    }
    return std::string_view::npos;
}

bool startsWithUtf16Mark(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

// UTF-16 (little-endian, after its mark) as UTF-8, through the C library's converter.
std::string utf8FromUtf16(const std::string& bytes) {
    iconv_t converter = iconv_open("UTF-8", "UTF-16LE");
    if (converter == reinterpret_cast<iconv_t>(-1)) return {};
    std::string in = bytes.substr(2);
    std::string out(in.size() * 2 + 4, '\0');
    char* from = in.data();
    char* to = out.data();
    size_t left = in.size(), room = out.size();
    // An odd last byte or a lone surrogate ends the text there.
    iconv(converter, &from, &left, &to, &room);
    iconv_close(converter);
    out.resize(out.size() - room);
    return out;
}

}  // namespace

std::vector<std::string> splitInfFields(std::string_view text) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    bool sawQuote = false;
    auto finish = [&] {
        fields.push_back(sawQuote ? field : trimmed(field));
        field.clear();
        sawQuote = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
                continue;
            }
            // Blanks before an opening quote belong to no field.
            if (!quoted && !sawQuote) field = trimmed(field);
            quoted = !quoted;
            sawQuote = true;
            continue;
        }
        if (!quoted && c == ';') break;
        if (!quoted && c == ',') {
            finish();
            continue;
        }
        // Blanks after a closing quote belong to no field either.
        if (!quoted && sawQuote && (c == ' ' || c == '\t')) continue;
        field += c;
    }
    if (!fields.empty() || !trimmed(field).empty() || sawQuote) finish();
    return fields;
}

void WindowsInf::read(const std::string& text) {
    std::string pending;
    int number = 0;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = trimmed(std::string_view(text).substr(at, end - at));
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\\' && at <= text.size()) {
            line.pop_back();
            pending += line;
            continue;
        }
        line = pending + line;
        pending.clear();
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            InfSection section;
            section.name = trimmed(std::string_view(line).substr(
                1, close == std::string::npos ? std::string::npos : close - 1));
            section.headerLine = number;
            sectionIndex.emplace(sim::folded(section.name), sections.size());
            sections.push_back(std::move(section));
            continue;
        }
        // Lines before the first header belong to no section.
        if (sections.empty()) continue;
        sections.back().lines.push_back(CStdStr(line));
        sections.back().lineNumbers.push_back(number);
    }
}

WindowsInf::WindowsInf(const std::filesystem::path& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unicode = startsWithUtf16Mark(bytes);
    read(unicode ? utf8FromUtf16(bytes) : bytes);
    // Windows prefers the string section of the system's language; the trial machines are
    // US English, so [Strings.0409] overrides [Strings].
    for (const char* name : {"Strings", "Strings.0409"}) {
        const InfSection* found = section(name);
        if (found == nullptr) continue;
        for (const CStdStr& raw : found->lines) {
            const size_t end = keyEnd(raw);
            if (end == std::string_view::npos) continue;
            const std::vector<std::string> key =
                splitInfFields(std::string_view(raw).substr(0, end));
            const std::vector<std::string> text =
                splitInfFields(std::string_view(raw).substr(end + 1));
            if (key.empty()) continue;
            std::string joined;
            for (size_t i = 0; i < text.size(); ++i) joined += (i ? "," : "") + text[i];
            strings[sim::folded(key[0])] = joined;
        }
    }
}

std::string WindowsInf::signature() const { return value("Version", "Signature"); }

const InfSection* WindowsInf::section(std::string_view name) const {
    const auto found = sectionIndex.find(sim::folded(name));
    return found == sectionIndex.end() ? nullptr : &sections[found->second];
}

std::string WindowsInf::resolve(std::string_view text) const {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find('%', i);
        if (open == std::string_view::npos) break;
        const size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        out.append(text.substr(i, open - i));
        if (close == open + 1) {
            out += '%';
        } else {
            const auto found = strings.find(sim::folded(text.substr(open + 1, close - open - 1)));
            out += found == strings.end() ? std::string(text.substr(open, close - open + 1))
                                          : found->second;
        }
        i = close + 1;
    }
    out.append(text.substr(i));
    return out;
}

WindowsInf::Line WindowsInf::parse(const CStdStr& raw) const {
    Line line;
    std::string_view text(raw);
    const size_t end = keyEnd(text);
    if (end != std::string_view::npos) {
        const std::vector<std::string> key = splitInfFields(text.substr(0, end));
        if (!key.empty()) line.key = resolve(key[0]);
        text.remove_prefix(end + 1);
    }
    line.fields = splitInfFields(text);
    for (std::string& field : line.fields) field = resolve(field);
    return line;
}

std::vector<WindowsInf::Line> WindowsInf::lines(std::string_view sectionName) const {
    std::vector<Line> out;
    const InfSection* found = section(sectionName);
    if (found == nullptr) return out;
    out.reserve(found->lines.size());
    for (const CStdStr& raw : found->lines) out.push_back(parse(raw));
    return out;
}

std::vector<std::vector<std::string>> WindowsInf::values(std::string_view sectionName,
                                                         std::string_view key) const {
    std::vector<std::vector<std::string>> out;
    for (Line& line : lines(sectionName))
        if (sim::equalsIgnoringCase(line.key, key)) out.push_back(std::move(line.fields));
    return out;
}

std::vector<std::vector<std::string>> WindowsInf::fieldLines(std::string_view sectionName) const {
    std::vector<std::vector<std::string>> out;
    const InfSection* found = section(sectionName);
    if (found == nullptr) return out;
    for (const CStdStr& raw : found->lines) {
        out.push_back(splitInfFields(raw));
        for (std::string& field : out.back()) field = resolve(field);
    }
    return out;
}

std::string WindowsInf::value(std::string_view sectionName, std::string_view key) const {
    for (const std::vector<std::string>& fields : values(sectionName, key))
        return fields.empty() ? std::string() : fields[0];
    return {};
}

}  // namespace driver_package
