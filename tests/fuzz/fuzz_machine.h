#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// What the fuzz targets share: a simulated machine for the whole process and a way to cut one
// input into several fields.
namespace fuzz {

// A fresh machine made on first use in a scratch directory of its own, opened as the
// process's machine and removed when the process ends. The machine lives one level below the
// scratch directory, so a write that climbs out of the machine still lands where it is seen.
class ScratchMachine {
  public:
    static ScratchMachine& get();

    const std::filesystem::path& scratch() const { return scratchDir; }
    const std::filesystem::path& dir() const { return machineDir; }
    // Where a Windows path of the machine lives on the host.
    std::filesystem::path host(const std::string& windowsPath) const;
    // Writes the bytes at a Windows path whose directory exists.
    void writeFile(const std::string& windowsPath, std::string_view bytes) const;
    // The file's bytes, empty when it is missing.
    std::string readFile(const std::string& windowsPath) const;

  private:
    ScratchMachine();
    std::filesystem::path scratchDir;
    std::filesystem::path machineDir;
};

// Every regular file and directory below root with its size and last write time (directories
// with size 0), keyed by host path.
using TreeSnapshot = std::map<std::filesystem::path, std::pair<uintmax_t, int64_t>>;
TreeSnapshot snapshotTree(const std::filesystem::path& root);

// Stops the process with the message (and so makes the input a finding) when a check fails.
[[noreturn]] void fail(const std::string& message);
inline void check(bool condition, const std::string& message) {
    if (!condition) fail(message);
}

// Cuts an input into fields at a separator byte: the first count-1 separators end a field,
// the last field takes the rest. Missing fields are empty.
std::vector<std::string> splitFields(std::string_view input, char separator, size_t count);

}  // namespace fuzz
