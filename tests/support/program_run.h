#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Runs a built program the way a user would from a shell, for end-to-end tests.
struct ProgramResult {
    int exitCode = -1;  // -1 when the program did not exit normally
    std::string standardError;
};

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& extraEnvironment = {});

// DADAZADO_TEST_WRAPPER split on blanks (e.g. "/usr/bin/valgrind --error-exitcode=99"): the
// command tests put in front of the dadazado they start, so that whole scenarios run under a
// checker. Empty when unset.
std::vector<std::string> testWrapperCommand();

// The host dadazado on a given machine directory.
ProgramResult runDadazado(const std::filesystem::path& machine,
                          const std::vector<std::string>& args);
