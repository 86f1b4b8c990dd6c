// An INF file of any bytes (8-bit or UTF-16 with its byte-order mark), read as the run reads
// a driver's INF, and its sections and values looked up again.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "support/cstd_str.h"
#include "support/inf_file.h"
#include "support/ini_line.h"
#include "support/text_file.h"
#include "tests/fuzz/fuzz_machine.h"

namespace {

constexpr const char* kInfPath = "C:\\fuzz.inf";

void lookUpEverything(const InfFile& inf) {
    for (const InfSection& section : inf.sections()) {
        const std::vector<CStdStr>* found = inf.findSection(section.name);
        fuzz::check(found != nullptr, "a section read from the file is not found by its name");
        for (const CStdStr& line : section.lines) {
            fuzz::check(ini::classifyLine(line) == ini::LineKind::Data, "a non-data line kept");
            CStdStr name, value;
            if (ini::splitNameValue(line, name, value, ini::NameQuotes::Remove))
                InfFile::getValue(found, name, value);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::ScratchMachine& machine = fuzz::ScratchMachine::get();
    machine.writeFile(kInfPath, std::string_view(reinterpret_cast<const char*>(data), size));
    const InfFile inf(kInfPath);
    lookUpEverything(inf);
    ReadTextLines(kInfPath);
    return 0;
}
