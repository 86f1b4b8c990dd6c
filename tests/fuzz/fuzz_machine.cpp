#include "tests/fuzz/fuzz_machine.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/sim/machine.h"
#include "platform/sim/machine_template.h"
#include "platform/sim/scratch_directory.h"

namespace fs = std::filesystem;

namespace fuzz {

namespace {

fs::path makeScratchDirectory() {
    const fs::path made = sim::makeScratchDirectory("dadazado-fuzz");
    if (made.empty()) fail("cannot make a scratch directory");
    return made;
}

fs::path scratchToRemove;

void removeScratch() {
    std::error_code ec;
    fs::remove_all(scratchToRemove, ec);
}

}  // namespace

ScratchMachine& ScratchMachine::get() {
    static ScratchMachine machine;
    return machine;
}

ScratchMachine::ScratchMachine()
    : scratchDir(makeScratchDirectory()), machineDir(scratchDir / "machine") {
    scratchToRemove = scratchDir;
    std::atexit(removeScratch);
    std::string error;
    if (!sim::createMachine(machineDir, sim::MachineOptions{}, &error)) fail(error);
    const std::string problem = sim::openMachine(machineDir);
    if (!problem.empty()) fail(problem);
}

fs::path ScratchMachine::host(const std::string& windowsPath) const {
    return sim::resolvePath(windowsPath).host;
}

void ScratchMachine::writeFile(const std::string& windowsPath, std::string_view bytes) const {
    std::ofstream out(host(windowsPath), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) fail("cannot write " + windowsPath);
}

std::string ScratchMachine::readFile(const std::string& windowsPath) const {
    std::ifstream in(host(windowsPath), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TreeSnapshot snapshotTree(const fs::path& root) {
    TreeSnapshot tree;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::file_status status = it->symlink_status(ec);
        const bool isFile = fs::is_regular_file(status);
        const uintmax_t size = isFile ? fs::file_size(it->path(), ec) : 0;
        const int64_t written = fs::last_write_time(it->path(), ec).time_since_epoch().count();
        tree[it->path()] = {size, written};
    }
    return tree;
}

void fail(const std::string& message) {
    std::fprintf(stderr, "fuzz check failed: %s\n", message.c_str());
    std::abort();
}

std::vector<std::string> splitFields(std::string_view input, char separator, size_t count) {
    std::vector<std::string> fields;
    while (fields.size() + 1 < count) {
        const size_t end = input.find(separator);
        if (end == std::string_view::npos) break;
        fields.emplace_back(input.substr(0, end));
        input.remove_prefix(end + 1);
    }
    fields.emplace_back(input);
    fields.resize(count);
    return fields;
}

}  // namespace fuzz
