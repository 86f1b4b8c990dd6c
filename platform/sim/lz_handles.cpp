#include "platform/sim/lz_handles.h"

#include <map>

namespace sim {

namespace {

constexpr int32_t kFirstHandle = 0x400;

struct LzTable {
    std::map<int32_t, LzStream> streams;
    int32_t nextHandle = kFirstHandle;
};

LzTable& table() {
    static LzTable instance;
    return instance;
}

}  // namespace

// Handles are not reused, so a stale handle kept after LZClose stays invalid.
int32_t addLzStream(const LzStream& stream) {
    LzTable& t = table();
    const int32_t handle = t.nextHandle;
    t.nextHandle = t.nextHandle == INT32_MAX ? kFirstHandle : t.nextHandle + 1;
    t.streams[handle] = stream;
    return handle;
}

LzStream* findLzStream(int32_t handle) {
    auto it = table().streams.find(handle);
    return it == table().streams.end() ? nullptr : &it->second;
}

void closeLzStream(int32_t handle) {
    auto it = table().streams.find(handle);
    if (it == table().streams.end()) return;
    std::fclose(it->second.file);
    table().streams.erase(it);
}

}  // namespace sim
