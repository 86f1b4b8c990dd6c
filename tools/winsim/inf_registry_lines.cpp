#include "tools/winsim/inf_registry_lines.h"

#include <cstdlib>

#include "platform/sim/names.h"
#include "platform/sim/registry_store.h"
#include "support/registry.h"
#include "support/system_path.h"

namespace winsim {

namespace {

// Flags of an AddReg line, as the INF documentation gives them.
constexpr uint32_t kTypeMask = 0xFFFF0001;
constexpr uint32_t kTypeSz = 0x00000000, kTypeBinary = 0x00000001, kTypeMultiSz = 0x00010000,
                   kTypeExpandSz = 0x00020000, kTypeDword = 0x00010001, kTypeNone = 0x00020001;
constexpr uint32_t kNoClobber = 0x2, kDeleteValue = 0x4, kAppend = 0x8, kKeyOnly = 0x10,
                   kOverwriteOnly = 0x20;

// Setup reads numbers with a 0x prefix as hexadecimal, others as decimal.
uint32_t number(const std::string& text) {
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 0));
}

// Setup puts the directory in place of a %dirid% it knows in the strings it writes.
std::string withDirectories(const std::string& text) {
    static const std::pair<const char*, int> kDirectoryIds[] = {
        {"10", SystemPath::WINDOWS_DIR},
        {"11", SystemPath::SYSTEM_DIR},
        {"20", SystemPath::FONTS_DIR},
        {"51", SystemPath::SPOOL_DIR},
        {"52", SystemPath::SPOOL_DRIVERS_DIR},
        {"66000", SystemPath::PRINTER_DRIVER_DIR},
        {"66001", SystemPath::PRINT_PROCESSOR_DIR},
        {"16422", SystemPath::PROGRAM_FILES_DIR}};
    std::string out;
    size_t at = 0;
    for (size_t open; (open = text.find('%', at)) != std::string::npos;) {
        const size_t close = text.find('%', open + 1);
        if (close == std::string::npos) break;
        const std::string id = text.substr(open + 1, close - open - 1);
        std::string directory;
        for (const auto& [known, code] : kDirectoryIds)
            if (id == known) directory = SystemPath(code, true).GetFullPath();
        while (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
        out += text.substr(at, open - at) +
               (directory.empty() ? text.substr(open, close - open + 1) : directory);
        at = close + 1;
    }
    return out + text.substr(at);
}

std::string field(const std::vector<std::string>& fields, size_t i) {
    return i < fields.size() ? fields[i] : std::string();
}

std::string rootName(const std::string& root) {
    for (const char* known : {"HKLM", "HKCU", "HKCR", "HKU"})
        if (sim::equalsIgnoringCase(root, known)) return known;
    return {};
}

std::string hostKeyPath(const std::string& root, const std::string& subKey) {
    const char* full = root == "HKLM"   ? "HKEY_LOCAL_MACHINE"
                       : root == "HKCU" ? "HKEY_CURRENT_USER"
                       : root == "HKU"  ? "HKEY_USERS"
                                        : "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes";
    return subKey.empty() ? full : std::string(full) + "\\" + subKey;
}

// A key's values and its subkeys' values; the simulated registry keeps empty keys.
void deleteKeyValues(const std::string& keyPath) {
    for (const std::string& subkey : sim::registry::subkeys(keyPath))
        deleteKeyValues(keyPath + "\\" + subkey);
    for (const auto& [name, value] : sim::registry::values(keyPath))
        sim::registry::deleteValue(keyPath, name);
}

// The data fields from index 4 on as the value the flags describe.
bool valueOf(uint32_t type, const std::vector<std::string>& fields, RegValue* value) {
    const size_t first = 4;
    switch (type) {
        case kTypeSz:
        case kTypeExpandSz:
            value->kind = type == kTypeSz ? Reg_String : Reg_Expand_String;
            value->text = withDirectories(field(fields, first));
            return true;
        case kTypeMultiSz:
            value->kind = Reg_Multi_String;
            for (size_t i = first; i < fields.size(); ++i)
                value->list.push_back(withDirectories(fields[i]));
            return true;
        case kTypeDword:
            value->kind = Reg_Dword;
            if (fields.size() <= first + 1) {
                value->number = number(field(fields, first));
                return true;
            }
            // Written as four bytes, low byte first.
            for (size_t i = 0; i < 4 && first + i < fields.size(); ++i)
                value->number |= (std::strtoul(fields[first + i].c_str(), nullptr, 16) & 0xFF)
                                 << (8 * i);
            return true;
        case kTypeNone:
            return false;
        default:
            // Binary data, also with a type of its own in the high word: hex bytes.
            value->kind = Reg_Binary;
            for (size_t i = first; i < fields.size(); ++i) {
                std::string byte = fields[i];
                if (byte.size() > 2 && (byte[1] == 'x' || byte[1] == 'X')) byte.erase(0, 2);
                value->text += std::string(byte.size() < 2 ? 2 - byte.size() : 0, '0') + byte;
            }
            return true;
    }
}

bool addLine(Registry& registry, const std::vector<std::string>& fields) {
    const std::string root = rootName(field(fields, 0));
    const CStdStr subKey(field(fields, 1));
    const CStdStr name(field(fields, 2));
    const uint32_t flags = number(field(fields, 3));
    if (flags & kDeleteValue) {
        registry.DeleteValue(CStdStr(root), subKey, name);
        return true;
    }
    if (!registry.CreateKey(CStdStr(root), subKey, false)) return false;
    if ((flags & kKeyOnly) || fields.size() <= 2) return true;
    const bool exists = registry.ValueExists(CStdStr(root), subKey, name);
    if (((flags & kNoClobber) && exists) || ((flags & kOverwriteOnly) && !exists)) return true;
    RegValue value;
    if (!valueOf(flags & kTypeMask, fields, &value)) return true;
    if ((flags & kAppend) && value.kind == Reg_Multi_String && exists) {
        RegValue old;
        if (registry.ReadValue(CStdStr(root), subKey, name, old) && old.kind == Reg_Multi_String) {
            for (const CStdStr& item : value.list) {
                bool present = false;
                for (const CStdStr& had : old.list) present = present || had.EqualsNoCase(item);
                if (!present) old.list.push_back(item);
            }
            value = old;
        }
    }
    if (value.kind != Reg_Multi_String)
        return registry.WriteValue(CStdStr(root), subKey, name, value);
    // The utility's registry class writes no multi-strings (it never needs to); Windows does.
    std::string data;
    for (const CStdStr& item : value.list) data += item + '\0';
    data += '\0';
    platform::RegKey key = registry.openKey(CStdStr(root), subKey, platform::kKeyAllAccess);
    if (key == nullptr) return false;
    const uint32_t code = platform::regSetValue(key, name, platform::kRegMultiSz,
                                                reinterpret_cast<const uint8_t*>(data.data()),
                                                static_cast<uint32_t>(data.size()));
    platform::regCloseKey(key);
    return code == 0;
}

}  // namespace

std::vector<std::string> applyRegistryLines(const std::vector<std::vector<std::string>>& delReg,
                                            const std::vector<std::vector<std::string>>& addReg) {
    std::vector<std::string> failed;
    auto describe = [](const char* kind, const std::vector<std::string>& fields) {
        std::string text = kind;
        for (size_t i = 0; i < fields.size(); ++i) text += (i ? "," : " ") + fields[i];
        return text;
    };
    Registry registry;
    for (const std::vector<std::string>& fields : delReg) {
        const std::string root = rootName(field(fields, 0));
        if (root.empty()) continue;
        if (fields.size() >= 3)
            registry.DeleteValue(CStdStr(root), CStdStr(fields[1]), CStdStr(fields[2]));
        else if (!field(fields, 1).empty())
            deleteKeyValues(hostKeyPath(root, fields[1]));
    }
    for (const std::vector<std::string>& fields : addReg) {
        if (rootName(field(fields, 0)).empty()) continue;
        if (!addLine(registry, fields)) failed.push_back(describe("AddReg", fields));
    }
    return failed;
}

}  // namespace winsim
