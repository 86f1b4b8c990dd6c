#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// The simulated machine runs a program as a host process: the program is a host executable
// or script kept in the machine, and its command line is split as Windows splits it.
namespace sim::process {

// The words a Windows program finds in its command line (CommandLineToArgvW's rules).
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// The first word of a command line as the command interpreter reads it: up to a blank, or
// inside double quotes (which are dropped); *rest gets what follows, leading blanks removed.
std::string firstWord(const std::string& commandLine, std::string* rest);

bool isBatchFile(const std::string& path);

// The program a command line names, found the way CreateProcess finds it.
struct Program {
    std::string windowsPath;
    std::string hostPath;
    uint32_t error = 0;  // Win32 error when the program cannot be found or run
};
Program locateProgram(const std::string& commandLine);

// Starts the host program with the machine's current directory as working directory and
// WINSIM_MACHINE naming the machine. 0 and *pid, or the Win32 error.
uint32_t spawnHostProgram(const std::string& hostPath, const std::vector<std::string>& words,
                          pid_t* pid);

// The Win32 exit code of a host wait status.
uint32_t exitCodeOfStatus(int status);

// A child whose handle was closed while it still ran: reaped whenever it has ended.
void adoptUnfinished(pid_t pid);
void reapAdopted();

}  // namespace sim::process
