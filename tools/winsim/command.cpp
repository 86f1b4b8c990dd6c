#include "tools/winsim/command.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/sim/machine.h"

namespace winsim {

namespace fs = std::filesystem;

bool prepare(const CommandInfo& command, const std::vector<std::string>& words, ParsedArgs* args,
             int* exitCode) {
    const std::string problem = parseArgs(words, command.options, args);
    if (args->help) {
        std::fputs(command.usage.c_str(), stdout);
        *exitCode = kExitSuccess;
        return false;
    }
    if (!problem.empty()) {
        *exitCode = usageError(command, problem);
        return false;
    }
    if (!command.takesProgram) {
        args->positional.insert(args->positional.end(), args->afterSeparator.begin(),
                                args->afterSeparator.end());
        args->afterSeparator.clear();
    }
    if (args->positional.size() < command.minPositional) {
        *exitCode = usageError(command, "missing arguments");
        return false;
    }
    if (args->positional.size() > command.maxPositional) {
        *exitCode = usageError(
            command, "unexpected argument \"" + args->positional[command.maxPositional] + "\"");
        return false;
    }
    return true;
}

int usageError(const CommandInfo& command, const std::string& message) {
    std::fprintf(stderr, "winsim %s: %s\n%s", command.name.c_str(), message.c_str(),
                 command.usage.c_str());
    return kExitUsage;
}

int failure(const CommandInfo& command, const std::string& message) {
    std::fprintf(stderr, "winsim %s: %s\n", command.name.c_str(), message.c_str());
    return kExitFailure;
}

bool openExistingMachine(const CommandInfo& command, const std::string& dir, int* exitCode) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(dir) / "registry.reg", ec)) {
        *exitCode = usageError(command, dir + ": not a simulated machine (it has no registry.reg)");
        return false;
    }
    const std::string problem = sim::openMachine(dir);
    if (problem.empty()) return true;
    *exitCode = failure(command, problem);
    return false;
}

std::string textData(const std::string& text) { return text + '\0'; }

}  // namespace winsim
