#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_driver_layout.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"
#include "tools/winsim/driver_layout.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

const CommandInfo kProcessorAdd = {
    "processor add",
    "usage: winsim processor add DIR NAME --driver DLL [--environment ENV]\n"
    "  Installs print processor NAME, kept in library DLL (a bare file name), which is\n"
    "  created empty in the print-processor directory unless it is there already.\n"
    "  --environment  Windows NT x86, Windows 4.0, Windows x64 or Windows IA64\n"
    "                 (default: Windows 4.0 on 9x, else Windows NT x86)\n",
    {{"--driver", true}, {"--environment", true}},
    2,
    2};

struct NewProcessor {
    std::string name;
    std::string library;
    std::string environment;  // empty: the machine's own
};

bool isBareFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("\\/:*?\"<>|\r\n") == std::string::npos &&
           name != "." && name != "..";
}

std::string describeProcessor(const ParsedArgs& args, NewProcessor* processor) {
    processor->name = args.positional[1];
    if (processor->name.empty() || processor->name.find_first_of("\\\r\n") != std::string::npos)
        return "bad print processor name \"" + processor->name + "\"";
    if (!args.has("--driver")) return "--driver is required";
    processor->library = args.value("--driver");
    if (!isBareFileName(processor->library))
        return "not a bare file name: \"" + processor->library + "\"";
    if (args.has("--environment")) {
        processor->environment = knownEnvironment(args.value("--environment"));
        if (processor->environment.empty())
            return "unknown environment \"" + args.value("--environment") + "\"";
    }
    return {};
}

std::string processorKey(const NewProcessor& processor) {
    return environmentsKey() + "\\" + processor.environment + "\\Print Processors\\" +
           processor.name;
}

// An empty library stands in for the real one, unless the machine has it already.
std::string placeLibrary(const NewProcessor& processor) {
    const sim::spooler::EnvironmentInfo* environment =
        sim::spooler::findEnvironment(processor.environment);
    const std::string directory = sim::spooler::printProcessorDirectory(*environment);
    const std::string path = directory + "\\" + processor.library;
    const sim::ResolvedPath resolved = sim::resolvePath(path);
    if (resolved.exists) return {};
    std::error_code ec;
    if (resolved.host.empty() || fs::exists(fs::symlink_status(resolved.host, ec)))
        return path + ": cannot be placed in the machine";
    fs::create_directories(resolved.host.parent_path(), ec);
    std::ofstream out(resolved.host, std::ios::binary);
    if (ec || !out) return resolved.host.string() + ": cannot be created";
    return {};
}

}  // namespace

int runProcessorAdd(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kProcessorAdd, words, &args, &exitCode)) return exitCode;
    NewProcessor processor;
    const std::string problem = describeProcessor(args, &processor);
    if (!problem.empty()) return usageError(kProcessorAdd, problem);
    if (!openExistingMachine(kProcessorAdd, args.positional[0], &exitCode)) return exitCode;
    if (processor.environment.empty()) processor.environment = nativeEnvironment();
    const std::string key = processorKey(processor);
    if (!sim::registry::isStorableKeyPath(key))
        return usageError(kProcessorAdd, "print processor name too long");
    if (sim::registry::keyExists(key))
        return failure(kProcessorAdd, "print processor \"" + processor.name + "\" already exists");
    const std::string placed = placeLibrary(processor);
    if (!placed.empty()) return failure(kProcessorAdd, placed);
    sim::registry::writeValue(key, "Driver", platform::kRegSz, textData(processor.library));
    return kExitSuccess;
}

}  // namespace winsim
