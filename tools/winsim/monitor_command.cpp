#include "platform/registry.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_keys.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"

namespace winsim {

namespace {

const CommandInfo kMonitorAdd = {
    "monitor add",
    "usage: winsim monitor add DIR NAME --driver DLL\n"
    "  Installs port or language monitor NAME, kept in library DLL (a bare file name).\n",
    {{"--driver", true}},
    2,
    2};

bool isValidName(const std::string& name) {
    return !name.empty() && name.find_first_of("\\\r\n") == std::string::npos;
}

bool isBareFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("\\/:*?\"<>|\r\n") == std::string::npos;
}

}  // namespace

int runMonitorAdd(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kMonitorAdd, words, &args, &exitCode)) return exitCode;
    const std::string name = args.positional[1];
    if (!isValidName(name)) return usageError(kMonitorAdd, "bad monitor name \"" + name + "\"");
    if (!args.has("--driver")) return usageError(kMonitorAdd, "--driver is required");
    const std::string library = args.value("--driver");
    if (!isBareFileName(library))
        return usageError(kMonitorAdd, "not a bare file name: \"" + library + "\"");
    const std::string key = std::string(sim::spooler::kPrintKey) + "\\Monitors\\" + name;
    if (!sim::registry::isStorableKeyPath(key))
        return usageError(kMonitorAdd, "monitor name too long");
    if (!openExistingMachine(kMonitorAdd, args.positional[0], &exitCode)) return exitCode;
    if (sim::registry::keyExists(key))
        return failure(kMonitorAdd, "monitor \"" + name + "\" already exists");
    sim::registry::writeValue(key, "Driver", platform::kRegSz, textData(library));
    return kExitSuccess;
}

}  // namespace winsim
