#include "platform/sim/delayed_moves.h"

#include "platform/registry.h"
#include "platform/sim/host_files.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_store.h"

namespace sim {

namespace {

// The name the session manager reads at restart: the full path behind the "\??\" prefix. The
// files need not exist yet, but their drive must.
bool nativeName(const std::string& path, std::string* name) {
    const ResolvedPath resolved = resolveArgument(path);
    if (resolved.host.empty()) return failWith(resolved.error);
    std::string full = windowsPathOf(resolved.host);
    if (full.empty()) return failWith(resolved.error);
    // A directory named with a closing backslash keeps it, as the full-path form does.
    const char last = path.back();
    if ((last == '\\' || last == '/') && full.back() != '\\') full += '\\';
    *name = "\\??\\" + full;
    return true;
}

// The strings of the list without its closing NUL. A value left without the NUL that ends its
// last string still keeps that string whole.
std::string existingStrings() {
    uint32_t type = 0;
    std::string data;
    if (!registry::readValue(kSessionManagerKey, kPendingRenamesValue, &type, &data)) return {};
    if (!data.empty() && data.back() == '\0') data.pop_back();
    if (!data.empty() && data.back() != '\0') data += '\0';
    return data;
}

}  // namespace

bool recordDelayedMove(const std::string& from, const std::string* to, bool replaceExisting) {
    std::string source;
    std::string target;
    if (!nativeName(from, &source)) return false;
    if (to != nullptr && !nativeName(*to, &target)) return false;
    if (to != nullptr && replaceExisting) target = "!" + target;
    std::string data = existingStrings();
    data += source + '\0';
    data += target + '\0';
    data += '\0';
    registry::writeValue(kSessionManagerKey, kPendingRenamesValue, platform::kRegMultiSz,
                         std::move(data));
    return true;
}

}  // namespace sim
