#include "platform/win32/handle_counts.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace platform::win32 {
namespace {

struct Counter {
    const char* name;
    std::atomic<long> opened{0};
    std::atomic<long> closed{0};
};

Counter counters[] = {{"printer handles"}, {"registry keys"}, {"libraries"}};

Counter& counterOf(CountedHandle kind) { return counters[static_cast<int>(kind)]; }

}  // namespace

void countOpened(CountedHandle kind) { ++counterOf(kind).opened; }

void countClosed(CountedHandle kind) { ++counterOf(kind).closed; }

void reportHandleCounts() {
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("DADAZADO_HANDLE_COUNTS", path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    FILE* out = std::fopen(path, "w");
    if (out == nullptr) return;
    for (const Counter& counter : counters)
        std::fprintf(out, "%s: opened %ld, closed %ld\n", counter.name, counter.opened.load(),
                     counter.closed.load());
    std::fclose(out);
}

}  // namespace platform::win32
