#include "tools/check/key_probe.h"

namespace check {

bool KeyProbe::getInfValue(const CStdStr&, const CStdStr& key, CStdStr& value) const {
    asked.push_back(key);
    value.clear();
    return false;
}

std::vector<CStdStr> KeyProbe::takeAskedKeys() {
    std::vector<CStdStr> keys;
    keys.swap(asked);
    return keys;
}

}  // namespace check
