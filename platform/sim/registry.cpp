#include "platform/registry.h"

#include <cstring>
#include <string>

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_store.h"
#include "platform/system_info.h"

namespace platform {

struct RegKeyHandle {
    std::string path;         // full key path, root spelled out
    bool predefined = false;  // one of the stable root handles, never freed
    bool remote = false;      // obtained from RegConnectRegistry with a computer name
};

namespace {

constexpr size_t kPredefinedCount = 5;

// Handles live for the whole process (never destroyed): code running at exit may still use them.
RegKeyHandle* predefinedHandles() {
    static RegKeyHandle* handles =
        new RegKeyHandle[kPredefinedCount]{{"HKEY_CLASSES_ROOT", true, false},
                                           {"HKEY_CURRENT_USER", true, false},
                                           {"HKEY_LOCAL_MACHINE", true, false},
                                           {"HKEY_USERS", true, false},
                                           {"HKEY_CURRENT_CONFIG", true, false}};
    return handles;
}

std::string subKeyPath(RegKey parent, const std::string& subKey) {
    return subKey.empty() ? parent->path : parent->path + "\\" + subKey;
}

std::string valuePath(RegKey key, const std::string& valueName) {
    return key->path + "\\" + valueName;
}

RegKey newHandle(const std::string& path, bool remote) {
    return new RegKeyHandle{path, false, remote};
}

// The machine name without its leading backslashes.
std::string bareComputerName(const std::string& machineName) {
    size_t start = 0;
    while (start < machineName.size() && start < 2 && machineName[start] == '\\') ++start;
    return machineName.substr(start);
}

bool isPredefined(RegKey key, PredefinedKey which) { return key == predefinedKey(which); }

// A remote registry offers only these two roots.
bool isRemoteRoot(RegKey key) {
    return isPredefined(key, PredefinedKey::LocalMachine) ||
           isPredefined(key, PredefinedKey::Users);
}

}  // namespace

RegKey predefinedKey(PredefinedKey which) {
    const size_t index = static_cast<size_t>(which);
    return index < kPredefinedCount ? &predefinedHandles()[index] : nullptr;
}

uint32_t regOpenKey(RegKey parent, const std::string& subKey, uint32_t /*access*/, RegKey* result) {
    if (parent == nullptr) return error::kInvalidHandle;
    if (result == nullptr) return error::kInvalidParameter;
    const std::string path = subKeyPath(parent, subKey);
    if (uint32_t fault = sim::injectedFault("RegOpenKeyEx", path)) return fault;
    if (!sim::registry::keyExists(path)) return error::kFileNotFound;
    *result = newHandle(path, parent->remote);
    return error::kSuccess;
}

uint32_t regCreateKey(RegKey parent, const std::string& subKey, uint32_t /*access*/, RegKey* result,
                      bool* created) {
    if (parent == nullptr) return error::kInvalidHandle;
    if (result == nullptr) return error::kInvalidParameter;
    const std::string path = subKeyPath(parent, subKey);
    if (uint32_t fault = sim::injectedFault("RegCreateKeyEx", path)) return fault;
    if (!sim::registry::isStorableKeyPath(path)) return error::kInvalidParameter;
    const bool isNew = sim::registry::createKey(path);
    if (created != nullptr) *created = isNew;
    *result = newHandle(path, parent->remote);
    return error::kSuccess;
}

uint32_t regCloseKey(RegKey key) {
    if (key == nullptr) return error::kInvalidHandle;
    if (!key->predefined) delete key;
    return error::kSuccess;
}

uint32_t regQueryValue(RegKey key, const std::string& valueName, uint32_t* type, uint8_t* data,
                       uint32_t* size) {
    if (key == nullptr) return error::kInvalidHandle;
    if (data != nullptr && size == nullptr) return error::kInvalidParameter;
    if (uint32_t fault = sim::injectedFault("RegQueryValueEx", valuePath(key, valueName)))
        return fault;
    uint32_t storedType = 0;
    std::string stored;
    if (!sim::registry::readValue(key->path, valueName, &storedType, &stored))
        return error::kFileNotFound;
    if (type != nullptr) *type = storedType;
    if (size == nullptr) return error::kSuccess;
    const uint32_t needed = static_cast<uint32_t>(stored.size());
    const bool fits = data == nullptr || *size >= needed;
    if (data != nullptr && fits) std::memcpy(data, stored.data(), stored.size());
    *size = needed;
    return fits ? error::kSuccess : error::kMoreData;
}

uint32_t regSetValue(RegKey key, const std::string& valueName, uint32_t type, const uint8_t* data,
                     uint32_t size) {
    if (key == nullptr) return error::kInvalidHandle;
    if (data == nullptr && size != 0) return error::kInvalidParameter;
    if (uint32_t fault = sim::injectedFault("RegSetValueEx", valuePath(key, valueName)))
        return fault;
    if (!sim::registry::isStorableValueName(valueName)) return error::kInvalidParameter;
    const std::string bytes =
        size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
    sim::registry::writeValue(key->path, valueName, type, bytes);
    return error::kSuccess;
}

uint32_t regDeleteValue(RegKey key, const std::string& valueName) {
    if (key == nullptr) return error::kInvalidHandle;
    if (uint32_t fault = sim::injectedFault("RegDeleteValue", valuePath(key, valueName)))
        return fault;
    return sim::registry::deleteValue(key->path, valueName) ? error::kSuccess
                                                            : error::kFileNotFound;
}

// Only the local computer exists. Named, even by its own name, it is reached as a remote
// registry would be, which offers HKLM and HKU alone.
uint32_t regConnectRegistry(const std::string& machineName, RegKey predefined, RegKey* result) {
    if (result == nullptr) return error::kInvalidParameter;
    if (uint32_t fault = sim::injectedFault("RegConnectRegistry", machineName)) return fault;
    if (predefined == nullptr || !predefined->predefined) return error::kInvalidHandle;
    const std::string name = bareComputerName(machineName);
    if (name.empty()) {
        *result = newHandle(predefined->path, false);
        return error::kSuccess;
    }
    if (!sim::equalsIgnoringCase(name, getComputerName())) return error::kBadNetPath;
    if (!isRemoteRoot(predefined)) return error::kInvalidHandle;
    *result = newHandle(predefined->path, true);
    return error::kSuccess;
}

uint32_t regGetKeySecurity(RegKey key, uint32_t /*securityInformation*/, uint8_t* descriptor,
                           uint32_t* size) {
    if (key == nullptr) return error::kInvalidHandle;
    if (size == nullptr) return error::kInvalidParameter;
    if (uint32_t fault = sim::injectedFault("RegGetKeySecurity", key->path)) return fault;
    const std::string sddl = sim::registry::keySecurity(key->path);
    const uint32_t needed = static_cast<uint32_t>(sddl.size() + 1);
    const bool fits = descriptor != nullptr && *size >= needed;
    if (fits) std::memcpy(descriptor, sddl.c_str(), needed);
    *size = needed;
    return fits ? error::kSuccess : error::kInsufficientBuffer;
}

uint32_t regSetKeySecurity(RegKey key, uint32_t /*securityInformation*/,
                           const uint8_t* descriptor) {
    if (key == nullptr) return error::kInvalidHandle;
    if (descriptor == nullptr) return error::kInvalidParameter;
    if (uint32_t fault = sim::injectedFault("RegSetKeySecurity", key->path)) return fault;
    const std::string sddl(reinterpret_cast<const char*>(descriptor));
    if (sddl.empty()) return error::kInvalidParameter;
    sim::registry::setKeySecurity(key->path, sddl);
    return error::kSuccess;
}

}  // namespace platform
