#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "support/cstd_str.h"

// One section of an INF file: its trimmed data lines, comments and empty lines removed.
struct InfSection {
    std::vector<CStdStr> lines;
    CStdStr name;  // the header text between the brackets, as written
    // Where they stand in the file (from 1): the header, and each of lines.
    int headerLine = 0;
    std::vector<int> lineNumbers;
};

// A driver's INF file as lines per section, in file order. Command sections keep their raw
// lines because each line is a command whose fields are split later. Sections of the same
// name are kept apart; look-ups find the first.
class InfFile {
  public:
    InfFile() = default;
    // Reads the file at once; a file that cannot be opened gives an empty InfFile.
    explicit InfFile(const CStdStr& path);

    // The first section whose name equals name without regard to case, or null.
    const InfSection* findSectionRecord(const CStdStr& name) const;
    // Its lines, or null.
    const std::vector<CStdStr>* findSection(const CStdStr& name) const;
    // The value of the first line whose name equals key without regard to case; names and
    // values lose one enclosing pair of double quotes. False (value empty) for null lines.
    static bool getValue(const std::vector<CStdStr>* lines, const CStdStr& key, CStdStr& value);

    const std::vector<InfSection>& sections() const { return sectionList; }
    bool empty() const { return sectionList.empty(); }

  private:
    void read(const CStdStr& path);
    void addLine(const CStdStr& trimmedLine, int number);

    std::vector<InfSection> sectionList;
    // The position in sectionList of the first section of each name, by its name in lower
    // case: a package with many sections is looked up in constant time a name.
    std::unordered_map<std::string, size_t> firstOfName;
};
