#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/cstd_str.h"
#include "tools/check/line_layout.h"

// The keys the utility reads in an install section, taken from its handlers, and the layout of
// the command lines in the sections each command key names.
namespace check {

struct NearestKey {
    CStdStr key;
    size_t distance = 0;
};

class CommandCatalog {
  public:
    CommandCatalog();

    bool isKnownKey(const CStdStr& key) const;
    NearestKey nearestKnownKey(const CStdStr& key) const;
    // The layout of the lines in the sections the key names; null when its value names no
    // command sections.
    const LineLayout* commandLayout(const CStdStr& key) const;
    // The uninstaller's key, which also names the uninstall-information section.
    const CStdStr& uninstallKey() const { return uninstall; }

  private:
    void addKnownKey(const CStdStr& key);

    std::vector<CStdStr> knownKeys;         // in the order a tie for the nearest is decided
    std::map<CStdStr, LineLayout> layouts;  // keys in lower case
    CStdStr uninstall;
};

}  // namespace check
