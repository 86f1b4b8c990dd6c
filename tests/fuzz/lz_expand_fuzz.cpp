// LZ expansion of any file through the platform's LZ calls, and the SZDD header reader that
// tells the copy which size to expect.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/lz.h"
#include "platform/sim/szdd_decoder.h"
#include "support/szdd_header.h"
#include "tests/fuzz/fuzz_machine.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSourcePath = "C:\\fuzz.ex_";
constexpr const char* kDestinationPath = "C:\\fuzz.out";

// The number lzCopy reports must be what the destination holds; a file in no compressed
// format is copied as it is.
void expand(const fuzz::ScratchMachine& machine, std::string_view input) {
    const int32_t source = platform::lzOpenFile(kSourcePath, platform::kLzOpenRead);
    if (source < 0) return;
    const int32_t destination = platform::lzOpenFile(kDestinationPath, platform::kLzOpenCreate);
    fuzz::check(destination >= 0, "the destination cannot be created");
    const int32_t copied = platform::lzCopy(source, destination);
    platform::lzClose(source);
    platform::lzClose(destination);
    if (copied < 0) return;
    const std::string output = machine.readFile(kDestinationPath);
    fuzz::check(output.size() == static_cast<size_t>(copied),
                "lzCopy reported a size the destination does not have");
    if (sim::szddKindOf(input) == sim::SzddKind::kPlain)
        fuzz::check(output == input, "a plain file was not copied unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::ScratchMachine& machine = fuzz::ScratchMachine::get();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    machine.writeFile(kSourcePath, input);
    szddDeclaredSize(kSourcePath);
    expand(machine, input);
    return 0;
}
