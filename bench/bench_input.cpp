// Makes the large inputs of the whole-process measurements, the same bytes on every machine,
// and measures the host's own cost of the work the product cannot avoid (copying a file,
// appending a line to a file it opens and closes each time), so that the product's share of
// a run can be told apart from it.
//
//   bench_input data FILE BYTES            data about as compressible as a driver binary
//   bench_input tree DIR COUNT BYTES       COUNT files of about BYTES/COUNT bytes each
//   bench_input ini FILE BYTES             an INI file of many sections
//   bench_input copy SOURCE DIR COUNT      copies SOURCE to COUNT names in DIR; prints seconds
//   bench_input append FILE COUNT          COUNT open-write-close appends; prints seconds

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A fixed linear congruential generator: the inputs must not depend on the library.
class Sequence {
  public:
    explicit Sequence(uint64_t seed) : state(seed) {}
    uint32_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33);
    }

  private:
    uint64_t state;
};

const std::vector<std::string>& vocabulary() {
    static const std::vector<std::string> words = {
        "printer", "driver", "spool", "port",   "monitor", "Resolution", "0x0258",       "\r\n",
        "DEVMODE", "paper",  "tray",  "duplex", "color",   "GetPrinter", "\x01\x02\x03", "Version"};
    return words;
}

// Runs of words from a small vocabulary between runs of noise, in about equal parts: the
// LZ coder halves it, as it does the libraries of a driver package.
std::string mixedBlock(Sequence& random, size_t bytes) {
    std::string block;
    block.reserve(bytes + 64);
    while (block.size() < bytes) {
        const uint32_t choice = random.next();
        if (choice % 2 == 0) {
            for (uint32_t i = 0; i < 4 + choice % 12; ++i)
                block += vocabulary()[random.next() % vocabulary().size()];
        } else {
            for (uint32_t i = 0; i < 8 + choice % 40; ++i)
                block += static_cast<char>(random.next() & 0xFF);
        }
    }
    block.resize(bytes);
    return block;
}

bool writeData(const fs::path& file, uint64_t bytes, uint64_t seed) {
    std::ofstream out(file, std::ios::binary);
    Sequence random(seed);
    constexpr uint64_t kChunk = 1 << 20;
    for (uint64_t done = 0; done < bytes && out; done += kChunk) {
        const std::string block = mixedBlock(random, std::min(kChunk, bytes - done));
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    return static_cast<bool>(out);
}

std::string memberName(uint64_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "D%03llu/F%05llu.BIN",
                  static_cast<unsigned long long>(index / 100),
                  static_cast<unsigned long long>(index));
    return name;
}

bool writeTree(const fs::path& dir, uint64_t count, uint64_t bytes) {
    const uint64_t each = count == 0 ? 0 : bytes / count;
    for (uint64_t i = 0; i < count; ++i) {
        const fs::path file = dir / memberName(i);
        std::error_code ignored;
        fs::create_directories(file.parent_path(), ignored);
        if (!writeData(file, each, i + 1)) return false;
    }
    return true;
}

bool writeIni(const fs::path& file, uint64_t bytes) {
    std::ofstream out(file, std::ios::binary);
    Sequence random(7);
    uint64_t written = 0;
    for (uint64_t section = 0; written < bytes && out; ++section) {
        std::string text = "[Section" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 20; ++key)
            text += "Key" + std::to_string(key) + "=" + std::to_string(random.next()) +
                    ",value text of an ordinary length\r\n";
        out << text;
        written += text.size();
    }
    return static_cast<bool>(out);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int copyBaseline(const fs::path& source, const fs::path& dir, uint64_t count) {
    fs::create_directories(dir);
    const auto start = std::chrono::steady_clock::now();
    for (uint64_t i = 0; i < count; ++i) {
        std::error_code failed;
        fs::copy_file(source, dir / ("C" + std::to_string(i) + ".DLL"),
                      fs::copy_options::overwrite_existing, failed);
        if (failed) return 1;
    }
    std::cout << secondsSince(start) << '\n';
    return 0;
}

int appendBaseline(const fs::path& file, uint64_t count) {
    const std::string line = "InstFileInfo::HandleCommand: a line of the usual length\r\n";
    const auto start = std::chrono::steady_clock::now();
    for (uint64_t i = 0; i < count; ++i) {
        std::FILE* out = std::fopen(file.c_str(), "ab");
        if (out == nullptr) return 1;
        std::fwrite(line.data(), 1, line.size(), out);
        std::fclose(out);
    }
    std::cout << secondsSince(start) << '\n';
    return 0;
}

uint64_t number(const char* text) { return std::strtoull(text, nullptr, 10); }

int usage() {
    std::cerr << "usage: bench_input data FILE BYTES | tree DIR COUNT BYTES | ini FILE BYTES |"
                 " copy SOURCE DIR COUNT | append FILE COUNT\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "data")
        return writeData(args[1], number(argv[3]), 1) ? 0 : 1;
    if (args.size() == 4 && args[0] == "tree")
        return writeTree(args[1], number(argv[3]), number(argv[4])) ? 0 : 1;
    if (args.size() == 3 && args[0] == "ini") return writeIni(args[1], number(argv[3])) ? 0 : 1;
    if (args.size() == 4 && args[0] == "copy")
        return copyBaseline(args[1], args[2], number(argv[4]));
    if (args.size() == 3 && args[0] == "append") return appendBaseline(args[1], number(argv[3]));
    return usage();
}
