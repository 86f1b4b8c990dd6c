// Command lines: the Windows splitting rules of the simulated machine, the quoting that must
// split back into the same words, and the product's own option parser.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/dadazado_engine.h"
#include "platform/sim/command_line_text.h"
#include "platform/sim/process_host.h"
#include "tests/fuzz/fuzz_machine.h"

namespace {

// Quoting the arguments of a split line and splitting the result gives the same words.
void checkQuotingRoundTrip(const std::vector<std::string>& words) {
    std::vector<const char*> argv{"program"};
    for (size_t i = 1; i < words.size(); ++i) argv.push_back(words[i].c_str());
    const std::string line =
        "program " + sim::windowsCommandLine(static_cast<int>(argv.size()), argv.data());
    std::vector<std::string> expected{"program"};
    expected.insert(expected.end(), words.begin() + 1, words.end());
    fuzz::check(sim::process::splitCommandLine(line) == expected,
                "quoted arguments do not split back into the same words: " + line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ScratchMachine::get();
    // A command line is a zero-terminated string: nothing after a NUL reaches a parser.
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str();

    const std::vector<std::string> words = sim::process::splitCommandLine(text);
    fuzz::check(!words.empty(), "a split line has no program name");
    checkQuotingRoundTrip(words);
    std::string rest;
    sim::process::firstWord(text, &rest);

    DadazadoEngine engine;
    engine.parseCommandLine(text);
    return 0;
}
