#include "tools/check/szdd_check.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/lz.h"
#include "platform/sim/szdd_decoder.h"
#include "support/szdd_header.h"

namespace check {

namespace {

// Where the expansion is written to learn its size; the machine is the checker's own.
constexpr const char* kExpansionScratch = "C:\\dadazado-check-expansion.tmp";

bool beginsAsSzdd(const CStdStr& path) {
    std::FILE* file = platform::openFile(path, "rb");
    if (file == nullptr) return false;
    char magic[sim::kSzddMagic.size()];
    const size_t read = std::fread(magic, 1, sizeof magic, file);
    std::fclose(file);
    return std::string_view(magic, read) == sim::kSzddMagic;
}

// The size the file expands to, or the LZ library's negative code.
int32_t expandedSize(int32_t input) {
    const int32_t output = platform::lzOpenFile(kExpansionScratch, platform::kLzOpenCreate);
    if (output < 0) return output;
    const int32_t size = platform::lzCopy(input, output);
    platform::lzClose(output);
    platform::deleteFile(kExpansionScratch);
    return size;
}

}  // namespace

void checkSzddFile(const CheckContext& context, const CStdStr& path, const std::string& name,
                   int line) {
    if (!beginsAsSzdd(path)) return;
    const std::optional<uint32_t> declared = szddDeclaredSize(path);
    if (!declared) {
        context.error(line, name + " begins as an SZDD file, but its header is cut off");
        return;
    }
    const int32_t input = platform::lzOpenFile(path, platform::kLzOpenRead);
    if (input == platform::kLzErrorUnknownAlgorithm) {
        context.error(line, name +
                                " is an SZDD file of a compression mode the utility cannot "
                                "expand");
        return;
    }
    if (input < 0) {
        context.error(line, name + " cannot be opened for expansion (LZ error " +
                                std::to_string(input) + ")");
        return;
    }
    const int32_t size = expandedSize(input);
    platform::lzClose(input);
    if (size < 0 || static_cast<uint32_t>(size) != *declared)
        context.error(line, name + " expands to " +
                                (size < 0 ? "nothing (LZ error " + std::to_string(size) + ")"
                                          : std::to_string(size) + " bytes") +
                                ", but its header declares " + std::to_string(*declared) +
                                "; the utility refuses it");
}

}  // namespace check
