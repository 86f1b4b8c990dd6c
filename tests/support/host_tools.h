#pragma once

#include <filesystem>
#include <map>
#include <string>

// Running the host's own tools from tests.
// A path as one word for the shell.
std::string shellQuoted(const std::filesystem::path& path);
// The "name: value" fields that lnkinfo prints for a shell link (empty when it cannot run).
std::map<std::string, std::string> lnkinfoFields(const std::filesystem::path& link);
