// A Windows program that stands in for the helper programs of a driver package, the twin of
// tests/wine/common/stand_in.sh on the simulated machine: named UNPACK* it writes
// "unpacked with: ARGS" to UNPACKED.TXT in the current directory, named EXIT<n>.EXE it writes
// "ran: ARGS" to EXIT<n>.TXT and exits with n, named anything else (REGISTER.EXE)
// "registered: ARGS" to REGISTERED.TXT.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string upperBaseName(const char* path) {
    std::string name = path;
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

bool write(const std::string& file, const std::string& text) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) return false;
    std::fprintf(out, "%s\n", text.c_str());
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string name = upperBaseName(argv[0]);
    // The arguments as the shell's "$*" joins them.
    std::string args;
    for (int i = 1; i < argc; ++i) args += (i > 1 ? " " : "") + std::string(argv[i]);
    if (name.rfind("UNPACK", 0) == 0)
        return write("UNPACKED.TXT", "unpacked with: " + args) ? 0 : 1;
    if (name.rfind("EXIT", 0) == 0) {
        const std::string code = name.substr(4, name.find('.') - 4);
        if (!write("EXIT" + code + ".TXT", "ran: " + args)) return 1;
        return std::atoi(code.c_str());
    }
    return write("REGISTERED.TXT", "registered: " + args) ? 0 : 1;
}
