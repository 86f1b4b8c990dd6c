#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/sim/machine_template.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

const CommandInfo kNew = {
    "new",
    "usage: winsim new DIR --os 95|98|98se|me|nt4|2000|xp|2003|vista [--sp N] [--64bit]\n"
    "                  [--locale LCID] [--computer NAME]\n"
    "  Creates a freshly installed Windows machine in DIR (missing or empty).\n"
    "  --os        Windows version (case ignored)\n"
    "  --sp        service pack, 0 up to the last one of that version (default: the last;\n"
    "              NT4 6, 2000 4, XP 3, 2003 2, Vista 2; the 9x family has none)\n"
    "  --64bit     a 64-bit edition (XP, 2003 and Vista)\n"
    "  --locale    user locale as hex LCID (default 0409)\n"
    "  --computer  computer name, 1 to 15 characters (default WINSIM)\n",
    {{"--os", true}, {"--sp", true}, {"--64bit", false}, {"--locale", true}, {"--computer", true}},
    1,
    1};

struct Edition {
    const char* name;  // as the machine template spells it
    uint32_t lastServicePack;
    bool has64Bit;
    uint32_t last64BitServicePack;  // XP's 64-bit edition ended at Service Pack 2
};

constexpr Edition kEditions[] = {{"95", 0, false, 0}, {"98", 0, false, 0},  {"98SE", 0, false, 0},
                                 {"ME", 0, false, 0}, {"NT4", 6, false, 0}, {"2000", 4, false, 0},
                                 {"XP", 3, true, 2},  {"2003", 2, true, 2}, {"Vista", 2, true, 2}};

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const Edition* findEdition(const std::string& name) {
    for (const Edition& edition : kEditions)
        if (sameIgnoringCase(name, edition.name)) return &edition;
    return nullptr;
}

// NetBIOS names: at most 15 characters, none of those Windows refuses in a computer name.
bool isValidComputerName(const std::string& name) {
    if (name.empty() || name.size() > 15) return false;
    for (unsigned char c : name)
        if (c <= ' ' || c >= 0x7F ||
            std::string("\\/:*?\"<>|,;=+[]").find(static_cast<char>(c)) != std::string::npos)
            return false;
    return true;
}

// Empty when the options describe a machine, else what is wrong with them.
std::string machineOptions(const ParsedArgs& args, sim::MachineOptions* options) {
    if (!args.has("--os")) return "--os is required";
    const Edition* edition = findEdition(args.value("--os"));
    if (edition == nullptr) return "unknown Windows version \"" + args.value("--os") + "\"";
    options->os = edition->name;
    options->is64Bit = args.has("--64bit");
    if (options->is64Bit && !edition->has64Bit)
        return "Windows " + options->os + " has no 64-bit edition";
    const uint32_t lastPack =
        options->is64Bit ? edition->last64BitServicePack : edition->lastServicePack;
    uint32_t number = lastPack;
    if (args.has("--sp") && !parseDecimal(args.value("--sp"), lastPack, &number))
        return "Windows " + options->os + " has service packs 0 to " + std::to_string(lastPack) +
               ", not \"" + args.value("--sp") + "\"";
    options->servicePack = static_cast<int>(number);
    if (args.has("--locale") &&
        (!parseHex(args.value("--locale"), 8, &options->locale) || options->locale == 0))
        return "bad locale \"" + args.value("--locale") + "\" (hex LCID such as 0407)";
    options->computerName = args.value("--computer", options->computerName);
    if (!isValidComputerName(options->computerName))
        return "bad computer name \"" + options->computerName + "\"";
    return {};
}

bool isMissingOrEmptyDirectory(const fs::path& dir) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(dir, ec))) return true;
    return fs::is_directory(dir, ec) && fs::is_empty(dir, ec);
}

}  // namespace

std::vector<std::string> knownVersions() {
    std::vector<std::string> names;
    for (const Edition& edition : kEditions) {
        std::string name = edition.name;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        names.push_back(name);
    }
    return names;
}

bool isKnownVersion(const std::string& name) { return findEdition(name) != nullptr; }

int runNew(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kNew, words, &args, &exitCode)) return exitCode;
    sim::MachineOptions options;
    const std::string problem = machineOptions(args, &options);
    if (!problem.empty()) return usageError(kNew, problem);
    const fs::path dir = args.positional[0];
    if (!isMissingOrEmptyDirectory(dir))
        return usageError(kNew, dir.string() + ": exists and is not an empty directory");
    std::string error;
    if (!sim::createMachine(dir, options, &error)) return failure(kNew, error);
    return kExitSuccess;
}

}  // namespace winsim
