#include "support/inf_file.h"

#include "support/ini_line.h"
#include "support/text_file.h"

InfFile::InfFile(const CStdStr& path) { read(path); }

void InfFile::read(const CStdStr& path) {
    TextFile file;
    if (!file.Open(path, TextFile::ReadMode, TextFile::UnknownText)) return;
    CStdStr line;
    for (int number = 1; file.ReadString(line); ++number) addLine(line.Trim(), number);
}

void InfFile::addLine(const CStdStr& trimmedLine, int number) {
    switch (ini::classifyLine(trimmedLine)) {
        case ini::LineKind::Header:
            sectionList.push_back(InfSection{{}, ini::headerName(trimmedLine), number, {}});
            firstOfName.try_emplace(sectionList.back().name.ToLower(), sectionList.size() - 1);
            return;
        case ini::LineKind::Data:
            // Lines before the first header belong to no section.
            if (sectionList.empty()) return;
            sectionList.back().lines.push_back(trimmedLine);
            sectionList.back().lineNumbers.push_back(number);
            return;
        case ini::LineKind::Empty:
        case ini::LineKind::Comment:
            return;
    }
}

const InfSection* InfFile::findSectionRecord(const CStdStr& name) const {
    const auto found = firstOfName.find(name.ToLower());
    return found == firstOfName.end() ? nullptr : &sectionList[found->second];
}

const std::vector<CStdStr>* InfFile::findSection(const CStdStr& name) const {
    const InfSection* section = findSectionRecord(name);
    return section == nullptr ? nullptr : &section->lines;
}

bool InfFile::getValue(const std::vector<CStdStr>* lines, const CStdStr& key, CStdStr& value) {
    value.clear();
    if (lines == nullptr) return false;
    CStdStr name;
    CStdStr found;
    for (const CStdStr& line : *lines) {
        if (!ini::splitNameValue(line, name, found, ini::NameQuotes::Remove)) continue;
        if (name.EqualsNoCase(key)) {
            value = found;
            return true;
        }
    }
    return false;
}
