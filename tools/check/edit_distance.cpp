#include "tools/check/edit_distance.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "support/cstd_str.h"

namespace check {

size_t editDistance(std::string_view a, std::string_view b) {
    // One row of the table at a time: row[j] is the distance of a's prefix to b's first j.
    std::vector<size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), size_t{0});
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const bool same = cstd::toLowerAscii(a[i - 1]) == cstd::toLowerAscii(b[j - 1]);
            const size_t replaced = diagonal + (same ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({replaced, row[j] + 1, row[j - 1] + 1});
        }
    }
    return row[b.size()];
}

}  // namespace check
