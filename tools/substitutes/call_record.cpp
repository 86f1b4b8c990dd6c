#include "tools/substitutes/call_record.h"

#include <cstdio>
#include <cstdlib>

#include "platform/sim/winsim_services.h"

namespace {
const WinSimServices* attached = nullptr;
}  // namespace

extern "C" void WinSimAttach(const WinSimServices* services) { attached = services; }

namespace substitute {

void recordCall(const std::string& line) {
    const char* path =
        attached != nullptr ? attached->journalPath : std::getenv("DADAZADO_SUBSTITUTE_LOG");
    if (path == nullptr) return;
    if (std::FILE* file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string localPath(const std::string& path) {
    if (attached == nullptr) return path;
    char host[4096];
    return attached->hostPath(path.c_str(), host, sizeof host) ? std::string(host) : path;
}

std::string quoted(const char* text) {
    if (text == nullptr) return "NULL";
    std::string result(1, '"');
    result.append(text);
    result.push_back('"');
    return result;
}

}  // namespace substitute
