#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/sim/machine.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

const CommandInfo kExec = {
    "exec",
    "usage: winsim exec DIR [--cd WINDOWS-DIR] -- PROGRAM ARGS...\n"
    "  Runs a host program with WINSIM_MACHINE=DIR and returns its exit code.\n"
    "  --cd  start in the host directory that holds this Windows directory of the machine\n"
    "  winsim's own failures: 125 (machine or directory), 126 (cannot run), 127 (not found).\n",
    {{"--cd", true}},
    1,
    SIZE_MAX,  // words past DIR without "--" are caught below, with a better hint
    true};

// Exit codes of a launcher that fails before the program runs, as shells use them.
constexpr int kLauncherFailed = 125;
constexpr int kCannotRun = 126;
constexpr int kNotFound = 127;

// The host directory holding a Windows directory of the opened machine; empty if it has none.
fs::path hostDirectoryOf(const std::string& windowsDir) {
    const sim::ResolvedPath resolved = sim::resolvePath(windowsDir);
    std::error_code ec;
    if (!resolved.exists || !fs::is_directory(resolved.host, ec)) return {};
    return resolved.host;
}

int execute(const std::vector<std::string>& program) {
    std::vector<char*> argv;
    for (const std::string& word : program) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    const int error = errno;
    failure(kExec, program[0] + ": " + std::strerror(error));
    return error == ENOENT ? kNotFound : kCannotRun;
}

}  // namespace

int runExec(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kExec, words, &args, &exitCode)) return exitCode;
    if (args.positional.size() > 1 || args.afterSeparator.empty())
        return usageError(kExec, "expected -- PROGRAM after DIR and the options");
    if (!openExistingMachine(kExec, args.positional[0], &exitCode)) return kLauncherFailed;
    std::error_code ec;
    const fs::path machine = fs::absolute(args.positional[0], ec);
    if (args.has("--cd")) {
        const fs::path start = hostDirectoryOf(args.value("--cd"));
        if (start.empty() || chdir(start.c_str()) != 0) {
            failure(kExec, args.value("--cd") + ": no such directory in the machine");
            return kLauncherFailed;
        }
    }
    if (ec || setenv("WINSIM_MACHINE", machine.c_str(), 1) != 0) {
        failure(kExec, "cannot set WINSIM_MACHINE");
        return kLauncherFailed;
    }
    return execute(args.afterSeparator);
}

}  // namespace winsim
