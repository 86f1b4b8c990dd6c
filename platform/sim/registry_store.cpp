#include "platform/sim/registry_store.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/little_endian.h"
#include "platform/registry.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_file_reader.h"
#include "platform/sim/registry_file_writer.h"
#include "platform/sim/registry_tree.h"

namespace sim::registry {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultSecurity = "D:(A;;KA;;;BA)(A;;KA;;;SY)(A;;KR;;;BU)";

// Never destroyed: the flight recorder may still read the registry while statics are torn down.
struct State {
    Tree tree;
    fs::path file;
    bool persistent = false;  // a machine's registry.reg was loaded; changes are saved to it
    bool dirty = false;       // changes not yet in registry.reg
    bool exiting = false;     // the final save ran: later changes are saved at once
};

State& state() {
    static State* instance = new State;
    return *instance;
}

// A crash or a full disk leaves the previous registry.reg whole: the new text goes to a
// temporary file that replaces the old one only once it is completely written.
void writeFile() {
    State& s = state();
    if (!s.persistent || !s.dirty) return;
    fs::path temporary = s.file;
    temporary += ".tmp";
    const std::string text = render(s.tree);
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    std::error_code ec;
    if (out) fs::rename(temporary, s.file, ec);
    const bool saved = out && !ec;
    if (!saved) fs::remove(temporary, ec);
    s.dirty = !saved;  // a failed write is tried again at the next flush
}

void flushAtExit() {
    state().exiting = true;
    writeFile();
}

// Rewriting the whole file after every change made a run cost time in the square of its
// registry lines, so a change only marks the registry dirty; it reaches registry.reg at flush():
// when the process ends normally (return from main or exit, also for changes made while
// statics are torn down), before a program is started, when another registry is loaded, or
// whenever a caller asks. A killed process loses the changes since the last flush, and
// registry.reg still holds, per value, either the state before or after each change.
// Every change of the tree passes through save(), so this counts them.
uint64_t& changes() {
    static uint64_t count = 0;
    return count;
}

void save() {
    ++changes();
    State& s = state();
    if (!s.persistent) return;
    s.dirty = true;
    if (s.exiting) writeFile();
}

}  // namespace

void flush() { writeFile(); }

uint64_t changeCount() { return changes(); }

std::string load(const fs::path& file) {
    static const bool registered = std::atexit(flushAtExit) == 0;
    (void)registered;
    State& s = state();
    writeFile();
    s.dirty = false;
    s.tree = Tree();
    ++changes();
    s.persistent = false;
    s.file.clear();
    Tree loaded;
    std::string problem = parseFile(file, loaded);
    if (!problem.empty()) return problem;
    s.tree = std::move(loaded);
    ++changes();
    s.file = file;
    s.persistent = true;
    return {};
}

std::string importFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return located(file, 1, "no such file");
    // The file is read once into a scratch tree so that a fault on any line leaves the registry
    // untouched; the parser's verdict does not depend on what the tree already holds.
    Tree scratch;
    std::string problem = parseFile(file, scratch);
    if (!problem.empty()) return problem;
    problem = parseFile(file, state().tree);
    if (problem.empty()) save();
    return problem;
}

std::string exportText(std::string_view keyPath) {
    Tree& tree = state().tree;
    if (keyPath.empty()) return render(tree);
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(tree, path) : nullptr;
    if (key == nullptr) return {};
    std::string text = std::string(kHeader5) + "\r\n";
    std::string canonical = canonicalPath(tree, path);
    renderKey(*key, canonical, text);
    return text;
}

bool isStorableKeyPath(std::string_view keyPath) {
    KeyPath path;
    return parsedPath(keyPath, &path);
}

bool isStorableValueName(std::string_view name) { return !hasLineBreak(name); }

bool keyExists(std::string_view keyPath) {
    KeyPath path;
    return parsedPath(keyPath, &path) && findKey(state().tree, path) != nullptr;
}

bool createKey(std::string_view keyPath) {
    KeyPath path;
    if (!parsedPath(keyPath, &path)) return false;
    bool created = false;
    findOrCreateKey(state().tree, path, &created);
    if (created) save();
    return created;
}

bool readValue(std::string_view keyPath, std::string_view name, uint32_t* type, std::string* data) {
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(state().tree, path) : nullptr;
    Value* value = key == nullptr ? nullptr : findValue(*key, name);
    if (value == nullptr) return false;
    if (type != nullptr) *type = value->type;
    if (data != nullptr) *data = value->data;
    return true;
}

void writeValue(std::string_view keyPath, std::string_view name, uint32_t type, std::string data) {
    KeyPath path;
    if (!parsedPath(keyPath, &path) || !isStorableValueName(name)) return;
    bool created = false;
    storeValue(*findOrCreateKey(state().tree, path, &created), name, type, std::move(data));
    save();
}

bool deleteValue(std::string_view keyPath, std::string_view name) {
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(state().tree, path) : nullptr;
    if (key == nullptr || !removeValue(*key, name)) return false;
    save();
    return true;
}

std::vector<std::pair<std::string, std::pair<uint32_t, std::string>>> values(
    std::string_view keyPath) {
    std::vector<std::pair<std::string, std::pair<uint32_t, std::string>>> list;
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(state().tree, path) : nullptr;
    if (key == nullptr) return list;
    for (const Value& value : key->values) list.push_back({value.name, {value.type, value.data}});
    return list;
}

std::vector<std::string> subkeys(std::string_view keyPath) {
    std::vector<std::string> names;
    KeyPath path;
    Key* key = parsedPath(keyPath, &path) ? findKey(state().tree, path) : nullptr;
    if (key == nullptr) return names;
    for (const auto& sub : key->subkeys) names.push_back(sub->name);
    return names;
}

std::string readString(std::string_view keyPath, std::string_view name) {
    uint32_t type = 0;
    std::string data;
    if (!readValue(keyPath, name, &type, &data)) return {};
    if (type == platform::kRegSz || type == platform::kRegExpandSz)
        return data.substr(0, data.find('\0'));
    if (type != platform::kRegDword || data.size() != 4) return {};
    return std::to_string(platform::littleEndian32(data));
}

std::string keySecurity(std::string_view keyPath) {
    KeyPath path;
    if (!parsedPath(keyPath, &path)) return kDefaultSecurity;
    while (true) {
        const std::string own = readString(kKeySecurityKey, canonicalPath(state().tree, path));
        if (!own.empty()) return own;
        if (path.names.empty()) return kDefaultSecurity;
        path.names.pop_back();
    }
}

void setKeySecurity(std::string_view keyPath, const std::string& sddl) {
    KeyPath path;
    if (!parsedPath(keyPath, &path)) return;
    writeValue(kKeySecurityKey, canonicalPath(state().tree, path), platform::kRegSz, sddl + '\0');
}

}  // namespace sim::registry
