#include "bench/bench_machine.h"

#include <fstream>
#include <random>
#include <stdexcept>

#include "platform/sim/machine.h"
#include "platform/sim/machine_template.h"

namespace fs = std::filesystem;

BenchMachine::BenchMachine() {
    root = fs::temp_directory_path() / ("dadazado-bench-" + std::to_string(std::random_device{}()));
    std::string error;
    if (!sim::createMachine(root, sim::MachineOptions{}, &error)) throw std::runtime_error(error);
    const std::string problem = sim::openMachine(root);
    if (!problem.empty()) throw std::runtime_error(problem);
}

BenchMachine::~BenchMachine() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

fs::path BenchMachine::host(const std::string& windowsPath) const {
    // Drive C's directories are named as the Windows path spells them.
    std::string relative = windowsPath.substr(3);
    for (char& c : relative)
        if (c == '\\') c = '/';
    const fs::path path = sim::resolvePath("C:\\").host / relative;
    fs::create_directories(path.parent_path());
    return path;
}

void BenchMachine::writeFile(const std::string& windowsPath, const std::string& content) const {
    std::ofstream out(host(windowsPath), std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string mixedBytes(size_t size) {
    std::mt19937 random(1);
    std::string bytes;
    bytes.reserve(size);
    const std::string word = "printer driver data ";
    while (bytes.size() < size) {
        if (random() % 2 == 0)
            bytes += word;
        else
            for (int i = 0; i < 16; ++i) bytes += static_cast<char>(random() & 0xFF);
    }
    bytes.resize(size);
    return bytes;
}

std::string literalSzdd(const std::string& bytes) {
    std::string out = "SZDD\x88\xF0\x27\x33";
    out += 'A';
    out += '_';
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((size >> shift) & 0xFF);
    for (size_t at = 0; at < bytes.size(); at += 8) {
        out += '\xFF';
        out += bytes.substr(at, 8);
    }
    return out;
}
