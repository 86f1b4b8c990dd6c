#include "tests/support/szdd_files.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/sim/scratch_directory.h"
#include "tests/support/host_tools.h"

namespace fs = std::filesystem;

namespace {

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace

// mscompress writes its output beside the input, named as the input with '_' appended; it
// works on a copy in a directory of its own so that nothing beside the original is touched.
bool makeSzdd(const fs::path& plain, const fs::path& compressed) {
    const fs::path work = sim::makeScratchDirectory("dadazado-szdd");
    if (work.empty()) return false;
    std::error_code ec;
    fs::copy_file(plain, work / "data", ec);
    bool made = !ec && run("cd " + shellQuoted(work) + " && mscompress data >/dev/null 2>&1");
    if (made) {
        fs::copy_file(work / "data_", compressed, fs::copy_options::overwrite_existing, ec);
        made = !ec;
    }
    fs::remove_all(work, ec);
    return made;
}

// msexpand names its output by dropping a trailing '_'; reading standard input avoids that.
bool expandSzdd(const fs::path& compressed, const fs::path& plain) {
    return run("msexpand <" + shellQuoted(compressed) + " >" + shellQuoted(plain) + " 2>/dev/null");
}
