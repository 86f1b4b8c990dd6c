#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Command-line words of one winsim subcommand, and the numbers found in them.
namespace winsim {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;  // the machine could not be changed or read as asked
constexpr int kExitUsage = 2;    // the command line itself is wrong

struct OptionSpec {
    std::string name;  // "--os"
    bool takesValue = false;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // a flag's value is empty
    std::vector<std::string> afterSeparator;     // the words after "--"
    bool separatorSeen = false;
    bool help = false;

    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::string value(const std::string& name, const std::string& fallback = {}) const;
};

// Splits words into options ("--name value" or "--name=value"), positional words and what
// follows "--". Empty on success, else what is wrong with the words.
std::string parseArgs(const std::vector<std::string>& words, const std::vector<OptionSpec>& specs,
                      ParsedArgs* parsed);

// A decimal number of at most max, or hex digits (1 to maxDigits) without a prefix.
bool parseDecimal(const std::string& text, uint32_t max, uint32_t* number);
bool parseHex(const std::string& text, size_t maxDigits, uint32_t* number);

// "a,b,,c" as {"a", "b", "c"}.
std::vector<std::string> splitList(const std::string& text);

}  // namespace winsim
