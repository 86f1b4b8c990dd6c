// The INI quick writer on any file content, section, key and value, in both modes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "support/ini_quick_write.h"
#include "tests/fuzz/fuzz_machine.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDirectory = "C:\\quick";
constexpr const char* kIniPath = "C:\\quick\\fuzz.ini";

std::vector<fs::path> filesIn(const fs::path& dir) {
    std::vector<fs::path> names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec))
        names.push_back(entry.path().filename());
    return names;
}

}  // namespace

// The input is a mode byte, then the file content, section, key and value, separated by NUL
// bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const fuzz::ScratchMachine& machine = fuzz::ScratchMachine::get();
    const int mode = (data[0] & 1) != 0 ? QuickDeleteMode : QuickWriteMode;
    const std::vector<std::string> fields = fuzz::splitFields(
        std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), '\0', 4);

    const fs::path directory = machine.host(kDirectory);
    std::error_code ec;
    fs::remove_all(directory, ec);
    fs::create_directories(directory);
    machine.writeFile(kIniPath, fields[0]);

    const bool changed = quick_write_helper(kIniPath, fields[1], fields[2], fields[3], mode);

    // The rewrite goes through a temporary file beside the file, which must never be left.
    fuzz::check(filesIn(directory) == std::vector<fs::path>{"fuzz.ini"},
                "the quick writer left another file beside the INI file");
    if (!changed)
        fuzz::check(machine.readFile(kIniPath) == fields[0],
                    "the quick writer failed but changed the file");
    return 0;
}
