#include <cstdio>

#include "platform/sim/registry_store.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"

namespace winsim {

namespace {

const CommandInfo kImport = {
    "reg import",
    "usage: winsim reg import DIR FILE.reg\n"
    "  Merges a registry file (\"Windows Registry Editor Version 5.00\", REGEDIT4 or UTF-16)\n"
    "  into the machine's registry. A file with a fault anywhere is refused as a whole.\n",
    {},
    2,
    2};

const CommandInfo kExport = {
    "reg export",
    "usage: winsim reg export DIR [KEY]\n"
    "  Prints the machine's registry, or the subtree of KEY (HKLM\\..., HKEY_CURRENT_USER\\...),\n"
    "  as registry file text on stdout.\n",
    {},
    1,
    2};

}  // namespace

int runRegImport(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kImport, words, &args, &exitCode)) return exitCode;
    if (!openExistingMachine(kImport, args.positional[0], &exitCode)) return exitCode;
    const std::string problem = sim::registry::importFile(args.positional[1]);
    if (!problem.empty()) return failure(kImport, problem);
    return kExitSuccess;
}

int runRegExport(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kExport, words, &args, &exitCode)) return exitCode;
    if (!openExistingMachine(kExport, args.positional[0], &exitCode)) return exitCode;
    const std::string key = args.positional.size() > 1 ? args.positional[1] : std::string();
    if (!key.empty() && !sim::registry::isStorableKeyPath(key))
        return usageError(kExport, "bad key name \"" + key + "\"");
    const std::string text = sim::registry::exportText(key);
    if (text.empty()) return failure(kExport, "no such key \"" + key + "\"");
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitSuccess : failure(kExport, "cannot write the output");
}

}  // namespace winsim
