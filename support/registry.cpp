#include "support/registry.h"

#include <algorithm>
#include <string>

#include "platform/errors.h"
#include "support/debug_log.h"
#include "support/os_info.h"

using platform::RegKey;

namespace {

// What a plain open (no access argument) asks for.
constexpr uint32_t kMaximumAllowed = 0x02000000;

template <typename... Parts>
void logLine(const Parts&... parts) {
    DebugLog& log = GetDebugLog();
    (log << ... << parts) << '\n';
    log.flush();
}

// A key opened for one operation, closed on every way out of it.
class ScopedKey {
  public:
    explicit ScopedKey(RegKey opened) : key(opened) {}
    ~ScopedKey() {
        if (key != nullptr) platform::regCloseKey(key);
    }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    RegKey get() const { return key; }
    explicit operator bool() const { return key != nullptr; }

  private:
    RegKey key;
};

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

uint32_t littleEndianNumber(const std::vector<uint8_t>& data, uint32_t size) {
    uint32_t number = 0;
    const uint32_t count = std::min<uint32_t>(size, 4);
    for (uint32_t i = 0; i < count; ++i) number |= static_cast<uint32_t>(data[i]) << (8 * i);
    return number;
}

// The text that starts at offset and ends at the first NUL or at end, whichever comes first.
CStdStr textAt(const std::vector<uint8_t>& data, size_t offset, size_t end) {
    const auto first = data.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto last = std::find(first, data.begin() + static_cast<std::ptrdiff_t>(end), 0);
    return CStdStr(first, last);
}

std::vector<CStdStr> multiStrings(const std::vector<uint8_t>& data, uint32_t size) {
    std::vector<CStdStr> strings;
    size_t offset = 0;
    while (offset < size) {
        CStdStr text = textAt(data, offset, size);
        if (text.empty()) break;
        offset += text.size() + 1;
        strings.push_back(std::move(text));
    }
    return strings;
}

bool decodeValue(uint32_t type, const std::vector<uint8_t>& data, uint32_t size,
                 const CStdStr& valueName, RegValue& value) {
    switch (type) {
        case platform::kRegSz:
        case platform::kRegExpandSz:
            value.text = textAt(data, 0, size);
            value.kind = type == platform::kRegSz ? Reg_String : Reg_Expand_String;
            return true;
        case platform::kRegDword:
            value.number = littleEndianNumber(data, size);
            value.kind = Reg_Dword;
            return true;
        case platform::kRegMultiSz:
            value.list = multiStrings(data, size);
            value.kind = Reg_Multi_String;
            return true;
        default:
            value.kind = Reg_None;
            logLine("Registry::ReadValue: registry entry ", valueName,
                    " had unsupported data type ", type);
            return false;
    }
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
    logLine("Registry::getRootKey: invalid root key ", root);
    return nullptr;
}

RegKey Registry::getRemoteKey(RegKey predefinedKey) {
    RegKey connected = nullptr;
    const uint32_t code = platform::regConnectRegistry(machineName, predefinedKey, &connected);
    if (code == 0) return connected;
    logLine("Registry::getRemoteKey: could not access computer ", machineName, " (error ", code,
            ")");
    return nullptr;
}

RegKey Registry::openKey(const CStdStr& root, const CStdStr& subKey, uint32_t access) {
    const RegKey rootKey = getRootKey(root);
    if (rootKey == nullptr) return nullptr;
    RegKey key = nullptr;
    const uint32_t code = platform::regOpenKey(rootKey, subKey, access, &key);
    if (code == 0) return key;
    if (code != platform::error::kFileNotFound)
        logLine("Registry::openKey: could not open key ", subKey, " (error code ", code, ")");
    return nullptr;
}

bool Registry::KeyExists(const CStdStr& root, const CStdStr& subKey) {
    const ScopedKey key(openKey(root, subKey, platform::kKeyRead));
    return static_cast<bool>(key);
}

bool Registry::ValueExists(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName) {
    const ScopedKey key(openKey(root, subKey, platform::kKeyRead));
    if (!key) return false;
    uint32_t size = 0;
    const uint32_t queried = platform::regQueryValue(key.get(), valueName, nullptr, nullptr, &size);
    // A value that cannot be read may well be there: a caller that keeps existing values must
    // not replace it.
    if (queried != 0 && queried != platform::error::kFileNotFound) {
        logLine("Registry::ValueExists: could not query value ", valueName, " (error ", queried,
                ")");
        return true;
    }
    if (queried != 0 || size == 0) return false;
    std::vector<uint8_t> data(size, 0);
    const uint32_t code =
        platform::regQueryValue(key.get(), valueName, nullptr, data.data(), &size);
    return code == 0 && size != 0;
}

bool Registry::ReadValue(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName,
                         RegValue& value) {
    const ScopedKey key(openKey(root, subKey, platform::kKeyRead));
    if (!key) return false;
    uint32_t size = 0;
    platform::regQueryValue(key.get(), valueName, nullptr, nullptr, &size);
    if (size == 0) return false;
    // Two zero bytes past the data end a string or list that was stored without its NULs.
    std::vector<uint8_t> data(static_cast<size_t>(size) + 2, 0);
    uint32_t type = platform::kRegNone;
    const uint32_t code = platform::regQueryValue(key.get(), valueName, &type, data.data(), &size);
    if (code != 0) {
        logLine("Registry::ReadValue: could not query value ", valueName, " (return code ", code,
                ")");
        return false;
    }
    size = std::min<uint32_t>(size, static_cast<uint32_t>(data.size()));
    return decodeValue(type, data, size, valueName, value);
}

CStdStr Registry::ReadString(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName) {
    RegValue value;
    if (!ReadValue(root, subKey, valueName, value)) return {};
    switch (value.kind) {
        case Reg_Dword:
            return CStdStr(std::to_string(static_cast<int32_t>(value.number)));
        case Reg_String:
        case Reg_Expand_String:
            return value.text;
        default:
            return {};
    }
}

bool Registry::WriteValue(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName,
                          const RegValue& value) {
    const ScopedKey key(openKey(root, subKey, platform::kKeyAllAccess));
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
            logLine("Registry::WriteValue: unsupported registry type Reg_Multi_String");
            return false;
        default:
            logLine("Registry::WriteValue: unsupported registry type ", value.kind);
            return false;
    }
    if (code == 0) return true;
    logLine("Registry::WriteValue: RegSetValueEx returned with code ", code);
    return false;
}

bool Registry::DeleteValue(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName) {
    const ScopedKey key(openKey(root, subKey, platform::kKeyAllAccess));
    if (!key) return false;
    const uint32_t code = platform::regDeleteValue(key.get(), valueName);
    if (code == 0) return true;
    logLine("Registry::DeleteValue: RegDeleteValue returned error code", code);
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
            logLine("Registry::CreateKey: RegCreteKeyEx of ", component, " failed with code ",
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
    if (OSInfo().isWin9x()) return 0;
    uint32_t size = 0;
    uint32_t code =
        platform::regGetKeySecurity(source, platform::kDaclSecurityInformation, nullptr, &size);
    if (code != platform::error::kInsufficientBuffer) {
        logLine("Registry::cloneKeyAccess: ruh roh, something went wrong; error ", code);
        return code;
    }
    if (size == 0) {
        logLine("Registry::cloneKeyAccess: size is an unbelievable value...");
        return 1;
    }
    std::vector<uint8_t> descriptor(size, 0);
    code = platform::regGetKeySecurity(source, platform::kDaclSecurityInformation,
                                       descriptor.data(), &size);
    if (code != 0) {
        logLine("Registry::cloneKeyAccess: RegGetKeySecurity returned ", code);
        return code;
    }
    code =
        platform::regSetKeySecurity(target, platform::kDaclSecurityInformation, descriptor.data());
    if (code != 0) logLine("Registry::cloneKeyAccess: RegSetKeySecurity returned ", code);
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
