#include "tests/support/host_tools.h"

#include <array>
#include <cstdio>

#include "tests/support/test_machine.h"

std::string shellQuoted(const std::filesystem::path& path) {
    std::string text = "'";
    for (char c : path.string()) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

std::map<std::string, std::string> lnkinfoFields(const std::filesystem::path& link) {
    std::map<std::string, std::string> fields;
    std::FILE* pipe = popen(("lnkinfo " + shellQuoted(link) + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return fields;
    std::string output;
    std::array<char, 4096> chunk;
    size_t read;
    while ((read = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        output.append(chunk.data(), read);
    pclose(pipe);
    for (const std::string& line : splitLines(output)) {
        const size_t colon = line.find(": ");
        if (colon == std::string::npos || line.empty() || line[0] != '\t') continue;
        std::string name = line.substr(1, colon - 1);
        while (!name.empty() && (name.back() == '\t' || name.back() == ' ')) name.pop_back();
        fields[name] = line.substr(colon + 2);
    }
    return fields;
}
