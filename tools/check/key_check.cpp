#include "tools/check/key_check.h"

namespace check {

namespace {

// A key that is near a known one but not one is most likely a slip; farther ones may be
// directives of Windows' own that the catalog does not list.
constexpr size_t kSlipDistance = 2;

// The utility's own keys carry one of these prefixes: such a key can only be meant for it.
bool hasCommandPrefix(const CStdStr& key) {
    const CStdStr lower = key.ToLower();
    return lower.rfind("qen", 0) == 0 || lower.rfind("qn_", 0) == 0;
}

}  // namespace

void checkInstallKeys(const CheckContext& context, const InstallSection& install) {
    for (const KeyLine& line : PackageInf::keyLines(*install.section)) {
        if (context.catalog.isKnownKey(line.name)) continue;
        const NearestKey nearest = context.catalog.nearestKnownKey(line.name);
        const std::string suggestion = "; did you mean " + nearest.key + "?";
        if (hasCommandPrefix(line.name))
            context.error(line.line, "unknown command key " + line.name + suggestion);
        else if (nearest.distance <= kSlipDistance)
            context.warning(line.line, "unknown key " + line.name + suggestion);
    }
}

}  // namespace check
