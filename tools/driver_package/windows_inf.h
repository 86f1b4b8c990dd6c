#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/inf_file.h"  // InfSection

// An INF file read the way Windows' setup functions read it, beside the utility's own reading:
// a comment may follow a value, fields are split at commas outside quotes, %strkey% tokens come
// from the string section, a line ending in a back-slash goes on in the next, UTF-16 files are
// read as text. The host file is read once and indexed, so that every look-up costs the same
// however many sections there are.
namespace driver_package {

class WindowsInf {
  public:
    explicit WindowsInf(const std::filesystem::path& hostPath);

    bool empty() const { return sections.empty(); }
    // Saved as UTF-16 (with its byte-order mark), which the 9x family does not read.
    bool isUnicode() const { return unicode; }
    // The [Version] signature with its quotes removed, e.g. "$Windows NT$".
    std::string signature() const;

    // The lines of the first section of that name (case ignored), or null.
    const InfSection* section(std::string_view name) const;
    bool hasSection(std::string_view name) const { return section(name) != nullptr; }

    // A line as Windows sees it: the key (empty when the line has no '=') and the fields of the
    // value, comment removed, quotes removed, strings resolved.
    struct Line {
        std::string key;
        std::vector<std::string> fields;
    };
    std::vector<Line> lines(std::string_view sectionName) const;
    // The fields of every line with that key, in order (CopyFiles= may stand several times).
    std::vector<std::vector<std::string>> values(std::string_view sectionName,
                                                 std::string_view key) const;
    // Every line split whole into fields, '=' included (registry lines, file lists).
    std::vector<std::vector<std::string>> fieldLines(std::string_view sectionName) const;
    // The first field of the first line with that key; empty when there is none.
    std::string value(std::string_view sectionName, std::string_view key) const;

    // %strkey% tokens replaced by their strings, %% by one percent sign; unknown tokens stay.
    std::string resolve(std::string_view text) const;

  private:
    Line parse(const CStdStr& raw) const;
    void read(const std::string& text);

    std::vector<InfSection> sections;
    bool unicode = false;
    std::unordered_map<std::string, size_t> sectionIndex;  // folded name -> first section
    std::unordered_map<std::string, std::string> strings;  // folded key -> text
};

// Splits a line's text at commas outside double quotes, after removing a comment that starts
// with ';' outside quotes; each field trimmed and unquoted ("" inside quotes is one quote).
std::vector<std::string> splitInfFields(std::string_view text);

}  // namespace driver_package
