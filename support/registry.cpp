#include "support/registry.h"

#include <algorithm>
#include <string>

#include "platform/errors.h"
#include "support/debug_log.h"
#include "support/os_info.h"
#include "support/registry_reads.h"

using platform::RegKey;

namespace {

// What a plain open (no access argument) asks for.
constexpr uint32_t kMaximumAllowed = 0x02000000;

void closeUnlessRoot(RegKey key, RegKey root) {
    if (key != nullptr && key != root) platform::regCloseKey(key);
}

// The components of a key path; empty ones (a leading, doubled or trailing separator) name
// nothing and are passed over.
std::vector<CStdStr> pathComponents(const CStdStr& path) {
    std::vector<CStdStr> components;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == CStdStr::npos) end = path.size();
        if (end > start) components.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

const uint8_t* bytesOf(const CStdStr& text) {
    return reinterpret_cast<const uint8_t*>(text.c_str());
}

}  // namespace

Registry::Registry(const CStdStr& machine) { setMachine(machine); }

Registry::~Registry() { closeKeys(); }

void Registry::setMachine(const CStdStr& name) {
    if (name.EqualsNoCase(machineName)) return;
    closeKeys();
    machineName = name;
    if (machineName.empty()) {
        hklmKey = platform::predefinedKey(platform::PredefinedKey::LocalMachine);
        hkuKey = platform::predefinedKey(platform::PredefinedKey::Users);
    }
}

void Registry::closeKeys() {
    // The classes key lives under hklmKey, so it goes first.
    for (RegKey* key : {&hkcrKey, &hklmKey, &hkuKey}) {
        if (*key != nullptr) platform::regCloseKey(*key);
        *key = nullptr;
    }
}

RegKey Registry::localMachineRoot() {
    if (hklmKey == nullptr)
        hklmKey = getRemoteKey(platform::predefinedKey(platform::PredefinedKey::LocalMachine));
    return hklmKey;
}

RegKey Registry::classesRoot() {
    if (hkcrKey != nullptr) return hkcrKey;
    const RegKey machineKey = localMachineRoot();
    if (machineKey == nullptr) return nullptr;
    RegKey classes = nullptr;
    if (platform::regOpenKey(machineKey, "Software\\Classes", kMaximumAllowed, &classes) != 0)
        return nullptr;
    hkcrKey = classes;
    return hkcrKey;
}

RegKey Registry::getRootKey(const CStdStr& root) {
    if (root.EqualsNoCase("HKLM")) return localMachineRoot();
    if (root.EqualsNoCase("HKU")) {
        if (hkuKey == nullptr)
            hkuKey = getRemoteKey(platform::predefinedKey(platform::PredefinedKey::Users));
        return hkuKey;
    }
    // The current user and configuration exist only on the computer this process runs on.
    if (root.EqualsNoCase("HKCU"))
        return machineName.empty() ? platform::predefinedKey(platform::PredefinedKey::CurrentUser)
                                   : nullptr;
    if (root.EqualsNoCase("HKCC"))
        return machineName.empty() ? platform::predefinedKey(platform::PredefinedKey::CurrentConfig)
                                   : nullptr;
    if (root.EqualsNoCase("HKCR")) return classesRoot();
    LogLine("Registry::getRootKey: invalid root key ", root);
    return nullptr;
}

RegKey Registry::getRemoteKey(RegKey predefinedKey) {
    RegKey connected = nullptr;
    const uint32_t code = platform::regConnectRegistry(machineName, predefinedKey, &connected);
    if (code == 0) return connected;
    LogLine("Registry::getRemoteKey: could not access computer ", machineName, " (error ", code,
            ")");
    return nullptr;
}

RegKey Registry::openKey(const CStdStr& root, const CStdStr& subKey, uint32_t access) {
    const RegKey rootKey = getRootKey(root);
    return rootKey == nullptr ? nullptr : registry_reads::openKey(rootKey, subKey, access);
}

bool Registry::KeyExists(const CStdStr& root, const CStdStr& subKey) {
    return registry_reads::keyExists(getRootKey(root), subKey);
}

bool Registry::ValueExists(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName) {
    return registry_reads::valueExists(getRootKey(root), subKey, valueName);
}

bool Registry::ReadValue(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName,
                         RegValue& value) {
    return registry_reads::readValue(getRootKey(root), subKey, valueName, value);
}

CStdStr Registry::ReadString(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName) {
    return registry_reads::readString(getRootKey(root), subKey, valueName);
}

bool Registry::WriteValue(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName,
                          const RegValue& value) {
    const registry_reads::ScopedKey key(openKey(root, subKey, platform::kKeyAllAccess));
    if (!key) return false;
    return writeTyped(key.get(), valueName, value);
}

bool Registry::writeTyped(RegKey key, const CStdStr& valueName, const RegValue& value) {
    uint32_t code = 0;
    switch (value.kind) {
        case Reg_Dword: {
            const uint8_t bytes[4] = {
                static_cast<uint8_t>(value.number), static_cast<uint8_t>(value.number >> 8),
                static_cast<uint8_t>(value.number >> 16), static_cast<uint8_t>(value.number >> 24)};
            code = platform::regSetValue(key, valueName, platform::kRegDword, bytes, sizeof bytes);
            break;
        }
        case Reg_String:
        case Reg_Expand_String: {
            const uint32_t type =
                value.kind == Reg_String ? platform::kRegSz : platform::kRegExpandSz;
            code = platform::regSetValue(key, valueName, type, bytesOf(value.text),
                                         static_cast<uint32_t>(value.text.size() + 1));
            break;
        }
        case Reg_Binary: {
            const std::vector<uint8_t> bytes = HexToBytes(value.text);
            code = platform::regSetValue(key, valueName, platform::kRegBinary, bytes.data(),
                                         static_cast<uint32_t>(bytes.size()));
            break;
        }
        case Reg_Multi_String:
            LogLine("Registry::WriteValue: unsupported registry type Reg_Multi_String");
            return false;
        default:
            LogLine("Registry::WriteValue: unsupported registry type ", value.kind);
            return false;
    }
    if (code == 0) return true;
    LogLine("Registry::WriteValue: RegSetValueEx returned with code ", code);
    return false;
}

bool Registry::DeleteValue(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName) {
    const registry_reads::ScopedKey key(openKey(root, subKey, platform::kKeyAllAccess));
    if (!key) return false;
    const uint32_t code = platform::regDeleteValue(key.get(), valueName);
    if (code == 0) return true;
    LogLine("Registry::DeleteValue: RegDeleteValue returned error code", code);
    return false;
}

bool Registry::CreateKey(const CStdStr& root, const CStdStr& path, bool cloneAccess) {
    const RegKey rootKey = getRootKey(root);
    if (rootKey == nullptr) return false;
    RegKey parent = rootKey;
    for (const CStdStr& component : pathComponents(path)) {
        uint32_t code = 0;
        const RegKey child = openOrCreateComponent(parent, component, cloneAccess, &code);
        closeUnlessRoot(parent, rootKey);
        if (child == nullptr) {
            LogLine("Registry::CreateKey: RegCreteKeyEx of ", component, " failed with code ",
                    code);
            return false;
        }
        parent = child;
    }
    closeUnlessRoot(parent, rootKey);
    return true;
}

RegKey Registry::openOrCreateComponent(RegKey parent, const CStdStr& component, bool cloneAccess,
                                       uint32_t* error) {
    RegKey key = nullptr;
    if (platform::regOpenKey(parent, component, platform::kKeyRead, &key) == 0) return key;
    key = nullptr;
    bool created = false;
    *error = platform::regCreateKey(parent, component, platform::kKeyAllAccess, &key, &created);
    if (*error != 0) return nullptr;
    // A new key starts with the rights of its parent rather than the default ones; a failure
    // to copy them leaves the key usable, so it does not fail the creation.
    if (created && cloneAccess) cloneKeyAccess(parent, key);
    return key;
}

uint32_t Registry::cloneKeyAccess(RegKey source, RegKey target) {
    // The 9x family keeps no security on keys.
    if (OSInfo::current().isWin9x()) return 0;
    uint32_t size = 0;
    uint32_t code =
        platform::regGetKeySecurity(source, platform::kDaclSecurityInformation, nullptr, &size);
    if (code != platform::error::kInsufficientBuffer) {
        LogLine("Registry::cloneKeyAccess: ruh roh, something went wrong; error ", code);
        return code;
    }
    if (size == 0) {
        LogLine("Registry::cloneKeyAccess: size is an unbelievable value...");
        return 1;
    }
    std::vector<uint8_t> descriptor(size, 0);
    code = platform::regGetKeySecurity(source, platform::kDaclSecurityInformation,
                                       descriptor.data(), &size);
    if (code != 0) {
        LogLine("Registry::cloneKeyAccess: RegGetKeySecurity returned ", code);
        return code;
    }
    code =
        platform::regSetKeySecurity(target, platform::kDaclSecurityInformation, descriptor.data());
    if (code != 0) LogLine("Registry::cloneKeyAccess: RegSetKeySecurity returned ", code);
    return code;
}

std::vector<uint8_t> Registry::HexToBytes(const CStdStr& text) {
    CStdStr hex = text;
    if (hex.size() % 2 != 0) hex += '0';
    std::vector<uint8_t> bytes(hex.size() / 2);
    const std::string_view digits(hex);
    // Each pair reads like strtol in base 16, so it stops at the first character that is not
    // a hexadecimal digit ("5z" is 5, "zz" is 0).
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(cstd::strtolHex(digits.substr(2 * i, 2)));
    return bytes;
}
