#include "platform/sim/command_line_text.h"

namespace sim {

namespace {

bool needsQuotes(const std::string& arg) {
    return arg.empty() || arg.find_first_of(" \t\"") != std::string::npos;
}

std::string quoted(const std::string& arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Back-slashes count literally unless a quote follows them.
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

}  // namespace

std::string windowsCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        const std::string arg = argv[i];
        line += needsQuotes(arg) ? quoted(arg) : arg;
    }
    return line;
}

}  // namespace sim
