// Zip extraction of any archive bytes into a scratch directory of the simulated machine:
// whatever the archive holds, nothing outside the target directory may change.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/cstd_str.h"
#include "support/zip_extract.h"
#include "tests/fuzz/fuzz_machine.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kArchivePath = "C:\\fuzz.zip";
constexpr const char* kTargetDir = "C:\\target";

bool isInside(const fs::path& path, const fs::path& dir) {
    const fs::path relative = path.lexically_relative(dir);
    return !relative.empty() && *relative.begin() != "..";
}

// Everything the scratch directory holds apart from the target directory and the journal,
// which records platform events as the machine's own business.
fuzz::TreeSnapshot outsideTarget(const fs::path& scratch, const fs::path& target,
                                 const fs::path& journal) {
    fuzz::TreeSnapshot tree = fuzz::snapshotTree(scratch);
    std::erase_if(tree, [&](const auto& entry) {
        return entry.first == journal || isInside(entry.first, target);
    });
    return tree;
}

void reportDifference(const fuzz::TreeSnapshot& before, const fuzz::TreeSnapshot& after) {
    for (const auto& [path, state] : after) {
        auto it = before.find(path);
        if (it == before.end() || it->second != state)
            fuzz::fail("extraction wrote outside the target directory: " + path.string());
    }
    for (const auto& [path, state] : before)
        if (!after.contains(path))
            fuzz::fail("extraction removed a file outside the target directory: " + path.string());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::ScratchMachine& machine = fuzz::ScratchMachine::get();
    const fs::path target = machine.host(kTargetDir);
    const fs::path journal = machine.dir() / "journal.log";
    std::error_code ec;
    fs::remove_all(target, ec);
    fs::create_directories(target);
    machine.writeFile(kArchivePath, std::string_view(reinterpret_cast<const char*>(data), size));

    const fuzz::TreeSnapshot before = outsideTarget(machine.scratch(), target, journal);
    std::vector<CStdStr> names;
    ZipListContents(kArchivePath, ZipListAndExtract, kTargetDir, &names);
    reportDifference(before, outsideTarget(machine.scratch(), target, journal));
    return 0;
}
