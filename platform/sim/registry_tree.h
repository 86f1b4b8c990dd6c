#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The simulated registry's tree of keys and values, and the key paths that name them: what the
// store, the .reg reader and the .reg writer share. Nothing outside them uses it.
namespace sim::registry {

// Windows' own limits on key names.
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxKeyNameLength = 255;

struct Value {
    std::string name;
    uint32_t type = 0;
    std::string data;
};

struct Key {
    std::string name;
    std::vector<Value> values;
    // Positions in values by case-folded name: a key written value after value would otherwise
    // cost time in the square of its values.
    std::unordered_map<std::string, size_t> valuePositions;
    std::vector<std::unique_ptr<Key>> subkeys;
};

constexpr size_t kRootCount = 4;
constexpr const char* kRootNames[kRootCount] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
                                                "HKEY_USERS", "HKEY_CURRENT_CONFIG"};

struct Tree {
    std::array<Key, kRootCount> roots;
    Tree() {
        for (size_t i = 0; i < kRootCount; ++i) roots[i].name = kRootNames[i];
    }
};

struct KeyPath {
    size_t root = 0;
    std::vector<std::string> names;
};

bool hasLineBreak(std::string_view text);
// Empty when the path can be kept, else what is wrong with it.
std::string parsePath(std::string_view text, KeyPath* path);
bool parsedPath(std::string_view text, KeyPath* path);

Key* findSubkey(Key& key, std::string_view name);
Value* findValue(Key& key, std::string_view name);
Key* findKey(Tree& tree, const KeyPath& path);
// Creates the missing keys on the path; *created tells whether any was new.
Key* findOrCreateKey(Tree& tree, const KeyPath& path, bool* created);
void deleteKeyTree(Tree& tree, const KeyPath& path);
// The path with its root spelled out and existing keys spelled as they were created.
std::string canonicalPath(Tree& tree, const KeyPath& path);

void storeValue(Key& key, std::string_view name, uint32_t type, std::string data);
bool removeValue(Key& key, std::string_view name);

}  // namespace sim::registry
