// winsim: creates, changes and inspects simulated Windows machines from the shell.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/winsim/args.h"
#include "tools/winsim/commands.h"

namespace {

struct Subcommand {
    const char* group;
    const char* action;  // null for a command without one
    int (*run)(const std::vector<std::string>&);
};

constexpr Subcommand kSubcommands[] = {
    {"new", nullptr, winsim::runNew},
    {"reg", "import", winsim::runRegImport},
    {"reg", "export", winsim::runRegExport},
    {"printer", "add", winsim::runPrinterAdd},
    {"driver", "add", winsim::runDriverAdd},
    {"monitor", "add", winsim::runMonitorAdd},
    {"processor", "add", winsim::runProcessorAdd},
    {"show", nullptr, winsim::runShow},
    {"exec", nullptr, winsim::runExec},
    {"dump", nullptr, winsim::runDump},
    {"hold", nullptr, winsim::runHold},
    {"try", nullptr, winsim::runTry},
};

constexpr const char* kUsage =
    "usage: winsim COMMAND ...\n"
    "  new DIR --os VERSION ...       create a machine\n"
    "  reg import DIR FILE.reg        merge a registry file\n"
    "  reg export DIR [KEY]           print the registry or one key\n"
    "  printer add DIR NAME ...       add a printer or a printer connection\n"
    "  driver add DIR NAME ...        install a printer driver\n"
    "  monitor add DIR NAME ...       install a port or language monitor\n"
    "  processor add DIR NAME ...     install a print processor\n"
    "  show DIR                       describe the machine\n"
    "  exec DIR [--cd DIR] -- PROG    run a program on the machine\n"
    "  dump DIR [--keys K] [--dirs D] print the machine as comparable lines\n"
    "  hold DIR PATH HOW              let another program hold a file (or release it)\n"
    "  try PACKAGE_DIR --model M ...  dry-run a driver package on every Windows version\n"
    "Each command explains itself with --help.\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "winsim: %s\n%s", message.c_str(), kUsage);
    return winsim::kExitUsage;
}

bool isHelp(const std::string& word) { return word == "--help" || word == "-h"; }

// The actions of a group, each with its own help.
int groupHelp(const std::string& group) {
    for (const Subcommand& sub : kSubcommands)
        if (group == sub.group) sub.run({"--help"});
    return winsim::kExitSuccess;
}

int dispatch(const std::vector<std::string>& words) {
    if (words.empty()) return usageError("missing command");
    if (isHelp(words[0])) {
        std::fputs(kUsage, stdout);
        return winsim::kExitSuccess;
    }
    bool knownGroup = false;
    for (const Subcommand& sub : kSubcommands) {
        if (words[0] != sub.group) continue;
        knownGroup = true;
        if (sub.action == nullptr) return sub.run({words.begin() + 1, words.end()});
        if (words.size() > 1 && words[1] == sub.action)
            return sub.run({words.begin() + 2, words.end()});
    }
    if (!knownGroup) return usageError("unknown command \"" + words[0] + "\"");
    if (words.size() > 1 && isHelp(words[1])) return groupHelp(words[0]);
    return usageError(words.size() > 1 ? "unknown action \"" + words[0] + " " + words[1] + "\""
                                       : "missing action after \"" + words[0] + "\"");
}

}  // namespace

int main(int argc, char** argv) {
    return dispatch(std::vector<std::string>(argv + 1, argv + argc));
}
