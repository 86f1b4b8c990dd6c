// A Windows program that stands in for the helper programs of a driver package: named
// UNPACK.EXE it writes "unpacked with: ARGS" to UNPACKED.TXT in the current directory, named
// anything else (REGISTER.EXE) "registered: ARGS" to REGISTERED.TXT, as the package's scripts
// do on the simulated machine.
#include <cctype>
#include <cstdio>
#include <string>

namespace {

std::string upperBaseName(const char* path) {
    std::string name = path;
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    const bool unpacks = upperBaseName(argv[0]).rfind("UNPACK", 0) == 0;
    std::string text = unpacks ? "unpacked with:" : "registered:";
    for (int i = 1; i < argc; ++i) text += std::string(" ") + argv[i];
    std::FILE* out = std::fopen(unpacks ? "UNPACKED.TXT" : "REGISTERED.TXT", "wb");
    if (out == nullptr) return 1;
    std::fprintf(out, "%s\n", text.c_str());
    return std::fclose(out) == 0 ? 0 : 1;
}
