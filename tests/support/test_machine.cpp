#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/machine_files.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/scratch_directory.h"
#include "support/debug_log.h"
#include "support/os_info.h"

namespace fs = std::filesystem;

namespace {

fs::path makeTempDirectory() {
    const fs::path made = sim::makeScratchDirectory("dadazado-test");
    if (made.empty()) throw std::runtime_error("mkdtemp failed");
    return made;
}

}  // namespace

TestMachine::TestMachine(const sim::MachineOptions& options) : root(makeTempDirectory()) {
    std::string error;
    if (!sim::createMachine(root, options, &error)) throw std::runtime_error(error);
    const std::string problem = sim::openMachine(root);
    if (!problem.empty()) throw std::runtime_error(problem);
    OSInfo::forget();  // another machine, perhaps another system
}

TestMachine::~TestMachine() {
    std::error_code ec;
    fs::remove_all(root, ec);
}

fs::path TestMachine::host(const std::string& windowsPath) const {
    return sim::resolvePath(windowsPath).host;
}

void TestMachine::writeFile(const std::string& windowsPath, const std::string& content) const {
    sim::makeMachineDirectory(windowsPath.substr(0, windowsPath.rfind('\\')));
    writeHostFile(host(windowsPath), content);
}

std::string TestMachine::readFile(const std::string& windowsPath) const {
    return readHostFile(host(windowsPath));
}

void TestMachine::reload() const {
    const std::string problem = sim::openMachine(root);
    if (!problem.empty()) throw std::runtime_error(problem);
    OSInfo::forget();
}

std::string readHostFile(const fs::path& path) { return sim::readHostFile(path).value_or(""); }

void writeHostFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

namespace {
int logCaptureCounter = 0;
}

LogCapture::LogCapture() {
    const std::string windowsPath = "C:\\flight-" + std::to_string(++logCaptureCounter) + ".log";
    file = sim::resolvePath(windowsPath).host;
    GetDebugLog().SetFileName(windowsPath);
}

LogCapture::~LogCapture() { GetDebugLog().SetFileName(""); }

std::string LogCapture::text() const { return readHostFile(file); }

std::vector<std::string> LogCapture::lines() const { return splitLines(text()); }

bool LogCapture::contains(const std::string& fragment) const {
    return text().find(fragment) != std::string::npos;
}
