#include "platform/sim/entry_names.h"

#include <algorithm>
#include <set>
#include <system_error>

namespace sim {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNotInShortNames = " +,;=[]";

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    const auto lowerLess = [](char x, char y) { return upperAscii(x) < upperAscii(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lowerLess))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lowerLess))
        return false;
    return a < b;  // names that differ only in case keep one order
}

std::string upperCase(std::string text) {
    for (char& c : text) c = upperAscii(c);
    return text;
}

// The two parts a short name is made of, before the "~N" is added: upper case, blanks and
// all dots but the last dropped, characters a short name cannot hold made '_'.
struct ShortStem {
    std::string base;
    std::string extension;
};

std::string shortCharacters(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '.') continue;
        out += kNotInShortNames.find(c) == std::string_view::npos ? upperAscii(c) : '_';
    }
    return out;
}

ShortStem stemOf(std::string_view name) {
    while (!name.empty() && name.front() == '.') name.remove_prefix(1);
    const size_t dot = name.rfind('.');
    ShortStem stem;
    stem.base = shortCharacters(name.substr(0, dot));
    if (dot != std::string_view::npos) stem.extension = shortCharacters(name.substr(dot + 1));
    if (stem.base.empty()) stem.base = "_";
    stem.base = stem.base.substr(0, 6);
    stem.extension = stem.extension.substr(0, 3);
    return stem;
}

// The base shrinks as the number grows, so that the name stays within eight characters.
std::string shortName(const ShortStem& stem, unsigned number) {
    const std::string tail = "~" + std::to_string(number);
    std::string name = stem.base.substr(0, std::min<size_t>(stem.base.size(), 8 - tail.size()));
    name += tail;
    if (!stem.extension.empty()) name += "." + stem.extension;
    return name;
}

}  // namespace

bool isWindowsName(std::string_view name) {
    for (unsigned char c : name)
        if (c < 32 ||
            std::string_view("<>:\"|?*\\").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    return !name.empty();
}

bool isShortName(std::string_view name) {
    if (name == "." || name == "..") return true;
    const size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3) return false;
    if (extension.find('.') != std::string_view::npos) return false;
    return name.find_first_of(kNotInShortNames) == std::string_view::npos;
}

std::vector<std::string> windowsNamesIn(const fs::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (isWindowsName(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return names;
}

// Numbers go to the long names of one stem in their sorted order, passing over any number
// whose short name an existing 8.3 name already holds.
std::map<std::string, std::string> shortNamesIn(const fs::path& dir) {
    const std::vector<std::string> names = windowsNamesIn(dir);
    std::set<std::string> taken;
    for (const std::string& name : names)
        if (isShortName(name)) taken.insert(upperCase(name));
    std::map<std::string, unsigned> lastNumberOfStem;
    std::map<std::string, std::string> shortNames;
    for (const std::string& name : names) {
        if (isShortName(name)) continue;
        const ShortStem stem = stemOf(name);
        unsigned& number = lastNumberOfStem[stem.base + '.' + stem.extension];
        std::string candidate;
        do candidate = shortName(stem, ++number);
        while (taken.count(candidate) != 0);
        shortNames[name] = candidate;
    }
    return shortNames;
}

}  // namespace sim
