// Macro expansion over a [Strings] section and a text that both come from the input, as the
// engine expands every INF value.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/dadazado_engine.h"
#include "tests/fuzz/fuzz_machine.h"

namespace {

constexpr const char* kInfPath = "C:\\macros.inf";

}  // namespace

// The input is the body of the [Strings] section, a NUL byte, and the text to expand.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::ScratchMachine& machine = fuzz::ScratchMachine::get();
    const std::vector<std::string> fields =
        fuzz::splitFields(std::string_view(reinterpret_cast<const char*>(data), size), '\0', 2);
    machine.writeFile(kInfPath, "[Strings]\r\n" + fields[0]);
    DadazadoEngine engine;
    fuzz::check(engine.parseCommandLine(std::string("-I ") + kInfPath + " -N Fuzz -P LPT1:"),
                "the engine did not take its command line");
    engine.getStrings();
    engine.DecodeMacros(fields[1], 255);
    return 0;
}
