#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/cstd_str.h"
#include "support/inf_file.h"

// The package's INF as the utility reads it, with where each line stands in the file.
namespace check {

// A line that splits as name=value, by the rule every INF look-up of the utility uses.
struct KeyLine {
    CStdStr name;
    CStdStr value;
    int line = 0;
};

class PackageInf {
  public:
    PackageInf(const InfFile& inf, std::string fileName) : inf(inf), name(std::move(fileName)) {}

    // The section a look-up by this name finds (the first of that name), or null.
    const InfSection* section(const CStdStr& sectionName) const;
    const std::vector<InfSection>& sections() const { return inf.sections(); }
    const std::string& fileName() const { return name; }

    static std::vector<KeyLine> keyLines(const InfSection& section);
    // The line a look-up of key finds in the section: the first of that name.
    static std::optional<KeyLine> firstKey(const InfSection& section, const CStdStr& key);

  private:
    const InfFile& inf;
    std::string name;
};

// The words of a value that lists section names, split as the handlers split it.
std::vector<CStdStr> sectionNames(const CStdStr& value);

}  // namespace check
