// Runs a fuzz target over saved inputs (files, or every file of a directory) without the
// fuzzing engine, so the corpora are checked by every build. An input that breaks the target
// aborts the process; a path that cannot be read fails the run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

bool collectInputs(const fs::path& path, std::vector<fs::path>* inputs) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) {
        inputs->push_back(path);
        return true;
    }
    if (!fs::is_directory(path, ec)) return false;
    std::vector<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, ec))
        if (entry.is_regular_file(ec)) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    inputs->insert(inputs->end(), found.begin(), found.end());
    return !ec;
}

bool replay(const fs::path& input) {
    std::ifstream in(input, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    std::fprintf(stderr, "replaying %s (%zu bytes)\n", input.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!collectInputs(argv[i], &inputs)) {
            std::fprintf(stderr, "cannot read inputs from %s\n", argv[i]);
            return 2;
        }
    }
    for (const fs::path& input : inputs) {
        if (!replay(input)) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 2;
        }
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
