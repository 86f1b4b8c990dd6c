#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The spooler's two-call queries: ask, grow the buffer to the size the spooler names, ask again.
namespace platform::win32 {

// Storage aligned for the pointers and 64-bit numbers the spooler's records hold.
class SpoolerBuffer {
  public:
    BYTE* data() { return storage.empty() ? nullptr : reinterpret_cast<BYTE*>(storage.data()); }
    DWORD size() const { return static_cast<DWORD>(storage.size() * sizeof(uint64_t)); }
    void resize(DWORD bytes) {
        storage.assign((bytes + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0);
    }

  private:
    std::vector<uint64_t> storage;
};

// Calls call(buffer, size, &needed) until it succeeds; a few rounds cover a spooler whose
// answer grows in between (a printer added meanwhile).
template <typename Call>
bool querySpooler(SpoolerBuffer* buffer, Call call) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD needed = 0;
        if (call(buffer->data(), buffer->size(), &needed)) return true;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer->size()) return false;
        buffer->resize(needed);
    }
    return false;
}

inline std::string textOf(const char* text) { return text != nullptr ? text : ""; }

// A list of strings each ended by a NUL, the list ended by one more.
inline std::vector<std::string> listOf(const char* list) {
    std::vector<std::string> items;
    for (const char* item = list; item != nullptr && *item != '\0'; item += items.back().size() + 1)
        items.emplace_back(item);
    return items;
}

}  // namespace platform::win32
