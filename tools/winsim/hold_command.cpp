#include "platform/registry.h"
#include "platform/sim/files_in_use.h"
#include "platform/sim/registry_store.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"

namespace winsim {

namespace {

const CommandInfo kHold = {
    "hold",
    "usage: winsim hold DIR PATH HOW\n"
    "  Lets another program hold the file at Windows path PATH while dadazado runs. HOW is how\n"
    "  it holds it, and so what the file refuses:\n"
    "    share=none | share=read | share=read,delete | share=read,write,delete\n"
    "              opened for reading with that sharing (what it does not share fails with 32)\n"
    "    image     a loaded library (writing fails with 32, deleting with 5)\n"
    "    32 | 33   open without write sharing, or a locked range (writes and deletions fail)\n"
    "    release   no longer held\n",
    {},
    3,
    3};

}  // namespace

int runHold(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kHold, words, &args, &exitCode)) return exitCode;
    const std::string& path = args.positional[1];
    const std::string& how = args.positional[2];
    if (how != "release" && !sim::isHoldText(how))
        return usageError(kHold, "unknown way of holding \"" + how + "\"");
    if (!sim::registry::isStorableValueName(path))
        return usageError(kHold, "bad path \"" + path + "\"");
    if (!openExistingMachine(kHold, args.positional[0], &exitCode)) return exitCode;
    if (how == "release")
        sim::forgetFileInUse(path);
    else
        sim::registry::writeValue(sim::kFilesInUseKey, path, platform::kRegSz, textData(how));
    return kExitSuccess;
}

}  // namespace winsim
