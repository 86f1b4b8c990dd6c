#pragma once

#include <string>
#include <vector>

#include "tools/winsim/args.h"

// What every winsim subcommand shares: its usage text, reading its command line, opening the
// machine it works on and reporting problems on stderr.
namespace winsim {

struct CommandInfo {
    std::string name;   // "printer add"
    std::string usage;  // starts with the "usage: winsim ..." line
    std::vector<OptionSpec> options;
    size_t minPositional = 0;
    size_t maxPositional = 0;
    bool takesProgram = false;  // the words after "--" are a program to run
};

// Parses words for the command. False when the run is already over (help was asked for, or
// the words are wrong): *exitCode then holds the code to return.
bool prepare(const CommandInfo& command, const std::vector<std::string>& words, ParsedArgs* args,
             int* exitCode);

// "winsim NAME: message" and the usage on stderr; returns kExitUsage.
int usageError(const CommandInfo& command, const std::string& message);
// "winsim NAME: message" on stderr; returns kExitFailure.
int failure(const CommandInfo& command, const std::string& message);

// Opens an existing machine directory as the process's machine. False with *exitCode set
// (and the reason on stderr) when dir is not a machine or its registry cannot be read.
bool openExistingMachine(const CommandInfo& command, const std::string& dir, int* exitCode);

// REG_SZ and REG_DWORD data as the registry keeps them.
std::string textData(const std::string& text);

}  // namespace winsim
