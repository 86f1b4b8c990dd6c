#pragma once

#include <string>

// Where a substitute library records its calls and finds its files. On a simulated machine
// the machine attaches (WinSimAttach) and calls go to its journal; elsewhere they go to the
// file named by DADAZADO_SUBSTITUTE_LOG, and paths are used as they are.
namespace substitute {

void recordCall(const std::string& line);
// The path to open for a path the product handed over.
std::string localPath(const std::string& path);
// A text as the journal shows it: in double quotes, a null pointer as NULL.
std::string quoted(const char* text);

}  // namespace substitute
