#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The names of a directory's entries as Windows sees them: in its order and with the 8.3
// names that a file system with short names gives the long ones.
namespace sim {

// Whether a host name can be a Windows name at all (no '<', '>', ':', '"', '|', '?', '*',
// backslash or control characters). Others cannot be addressed and are not listed.
bool isWindowsName(std::string_view name);

// A name that needs no short one: 1 to 8 characters, a dot and at most 3 more, without
// blanks or any of + , ; = [ ].
bool isShortName(std::string_view name);

// The Windows names in dir, sorted without regard to case.
std::vector<std::string> windowsNamesIn(const std::filesystem::path& dir);

// The short names the long names in dir have ("PROGRA~1"), by long name as spelled on the
// host. Names that need none are absent.
std::map<std::string, std::string> shortNamesIn(const std::filesystem::path& dir);

}  // namespace sim
