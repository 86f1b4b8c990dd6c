#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The command line: dadazado-check PACKAGE_DIR [--inf FILE].
namespace check {

struct Options {
    std::filesystem::path packageDir;
    std::filesystem::path infFile;  // a host path; the package's one INF when not given
};

// The options, or none with the reason in problem (the caller exits with 2).
std::optional<Options> parseOptions(int argc, char** argv, std::string* problem);

extern const char* const kUsage;

}  // namespace check
