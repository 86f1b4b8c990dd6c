#include "tools/check/package_inf.h"

#include "support/ini_line.h"
#include "support/string_tokenizer.h"

namespace check {

const InfSection* PackageInf::section(const CStdStr& sectionName) const {
    return inf.findSectionRecord(sectionName);
}

std::vector<KeyLine> PackageInf::keyLines(const InfSection& section) {
    std::vector<KeyLine> keys;
    for (size_t i = 0; i < section.lines.size(); ++i) {
        KeyLine key;
        if (!ini::splitNameValue(section.lines[i], key.name, key.value, ini::NameQuotes::Remove))
            continue;
        key.line = section.lineNumbers[i];
        keys.push_back(std::move(key));
    }
    return keys;
}

std::optional<KeyLine> PackageInf::firstKey(const InfSection& section, const CStdStr& key) {
    for (KeyLine& line : keyLines(section))
        if (line.name.EqualsNoCase(key)) return line;
    return std::nullopt;
}

std::vector<CStdStr> sectionNames(const CStdStr& value) {
    std::vector<CStdStr> names;
    StringTokenizer(value, ',', 0).all(names);
    return names;
}

}  // namespace check
