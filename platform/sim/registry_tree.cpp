#include "platform/sim/registry_tree.h"

#include <algorithm>
#include <cctype>

#include "platform/sim/names.h"

namespace sim::registry {

namespace {

std::vector<std::string> splitNames(std::string_view path) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == path.npos) end = path.size();
        if (end > start) names.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// The root index and the names the root stands for (HKEY_CLASSES_ROOT lies inside HKLM).
bool parseRoot(std::string_view name, KeyPath* path) {
    static constexpr const char* kShortNames[kRootCount] = {"HKLM", "HKCU", "HKU", "HKCC"};
    for (size_t i = 0; i < kRootCount; ++i) {
        if (equalsIgnoringCase(name, kRootNames[i]) || equalsIgnoringCase(name, kShortNames[i])) {
            path->root = i;
            return true;
        }
    }
    if (equalsIgnoringCase(name, "HKEY_CLASSES_ROOT") || equalsIgnoringCase(name, "HKCR")) {
        path->root = 0;
        path->names = {"Software", "Classes"};
        return true;
    }
    return false;
}

// Whether a sorts before b in a hive's index of subkeys: by the names in upper case.
bool sortsBefore(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(a[i])));
        const auto y = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(b[i])));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

using Subkeys = std::vector<std::unique_ptr<Key>>;

// Where a subkey of that name is or would go: the index is sorted, so a lookup among many
// siblings costs the logarithm of their number.
Subkeys::iterator placeOf(Subkeys& subs, std::string_view name) {
    return std::lower_bound(
        subs.begin(), subs.end(), name,
        [](const auto& sub, std::string_view n) { return sortsBefore(sub->name, n); });
}

Subkeys::iterator foundSubkey(Subkeys& subs, std::string_view name) {
    const auto place = placeOf(subs, name);
    return place != subs.end() && equalsIgnoringCase((*place)->name, name) ? place : subs.end();
}

// A hive keeps each key's subkeys sorted by name, so that is the order they are enumerated
// in, whatever order they were created in.
Key* insertSubkey(Key& key, const std::string& name) {
    Key* sub = key.subkeys.insert(placeOf(key.subkeys, name), std::make_unique<Key>())->get();
    sub->name = name;
    return sub;
}

}  // namespace

Key* findSubkey(Key& key, std::string_view name) {
    const auto found = foundSubkey(key.subkeys, name);
    return found == key.subkeys.end() ? nullptr : found->get();
}

Value* findValue(Key& key, std::string_view name) {
    const auto found = key.valuePositions.find(folded(name));
    return found == key.valuePositions.end() ? nullptr : &key.values[found->second];
}

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

std::string parsePath(std::string_view text, KeyPath* path) {
    std::vector<std::string> names = splitNames(text);
    if (names.empty()) return "missing root key";
    if (!parseRoot(names.front(), path)) return "unknown root key \"" + names.front() + "\"";
    for (size_t i = 1; i < names.size(); ++i) {
        if (names[i].size() > kMaxKeyNameLength) return "key name longer than 255 characters";
        if (hasLineBreak(names[i])) return "key name holds a line break";
        path->names.push_back(std::move(names[i]));
    }
    if (path->names.size() > kMaxKeyDepth) return "keys nested deeper than 512 levels";
    return {};
}

bool parsedPath(std::string_view text, KeyPath* path) { return parsePath(text, path).empty(); }

Key* findKey(Tree& tree, const KeyPath& path) {
    Key* key = &tree.roots[path.root];
    for (const std::string& name : path.names) {
        key = findSubkey(*key, name);
        if (key == nullptr) return nullptr;
    }
    return key;
}

Key* findOrCreateKey(Tree& tree, const KeyPath& path, bool* created) {
    Key* key = &tree.roots[path.root];
    for (const std::string& name : path.names) {
        Key* sub = findSubkey(*key, name);
        if (sub == nullptr) {
            sub = insertSubkey(*key, name);
            *created = true;
        }
        key = sub;
    }
    return key;
}

void deleteKeyTree(Tree& tree, const KeyPath& path) {
    KeyPath parentPath = path;
    parentPath.names.pop_back();
    Key* parent = findKey(tree, parentPath);
    if (parent == nullptr) return;
    const auto found = foundSubkey(parent->subkeys, path.names.back());
    if (found != parent->subkeys.end()) parent->subkeys.erase(found);
}

std::string canonicalPath(Tree& tree, const KeyPath& path) {
    std::string text = kRootNames[path.root];
    Key* key = &tree.roots[path.root];
    for (const std::string& name : path.names) {
        key = key == nullptr ? nullptr : findSubkey(*key, name);
        text += "\\" + (key == nullptr ? name : key->name);
    }
    return text;
}

void storeValue(Key& key, std::string_view name, uint32_t type, std::string data) {
    Value* value = findValue(key, name);
    if (value == nullptr) {
        key.valuePositions.emplace(folded(name), key.values.size());
        key.values.push_back(Value{std::string(name), type, std::move(data)});
        return;
    }
    value->type = type;
    value->data = std::move(data);
}

bool removeValue(Key& key, std::string_view name) {
    const auto found = key.valuePositions.find(folded(name));
    if (found == key.valuePositions.end()) return false;
    key.values.erase(key.values.begin() + static_cast<std::ptrdiff_t>(found->second));
    key.valuePositions.clear();
    for (size_t i = 0; i < key.values.size(); ++i)
        key.valuePositions.emplace(folded(key.values[i].name), i);
    return true;
}

}  // namespace sim::registry
