#include "tests/support/szdd_files.h"

#include <atomic>
#include <cstdlib>
#include <random>
#include <string>
#include <system_error>

#include "tests/support/host_tools.h"

namespace fs = std::filesystem;

namespace {

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

fs::path freshWorkDirectory() {
    static std::atomic<int> counter{0};
    std::error_code ec;
    const fs::path dir =
        fs::temp_directory_path(ec) / ("dadazado-szdd-" + std::to_string(std::random_device{}()) +
                                       "-" + std::to_string(counter++));
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    return dir;
}

}  // namespace

// mscompress writes its output beside the input, named as the input with '_' appended; it
// works on a copy in a directory of its own so that nothing beside the original is touched.
bool makeSzdd(const fs::path& plain, const fs::path& compressed) {
    const fs::path work = freshWorkDirectory();
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
