#pragma once

#include <string>

// The raw command-line text a Windows caller would have written for these arguments: an
// argument that is empty or holds a blank, a tab or a quote is quoted, with back-slashes and
// quotes escaped the way the Windows runtime splits them again.
namespace sim {

std::string windowsCommandLine(int argc, const char* const* argv);

}  // namespace sim
