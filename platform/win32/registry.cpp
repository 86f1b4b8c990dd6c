#include "platform/registry.h"

#include <windows.h>

#include <array>

#include "platform/win32/handle_counts.h"
#include "platform/win32/system_entry.h"

namespace platform {

namespace {

HKEY toHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
RegKey toRegKey(HKEY key) { return reinterpret_cast<RegKey>(key); }

bool isPredefined(HKEY key) {
    static const std::array<HKEY, 5> predefined = {
        HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG};
    for (HKEY candidate : predefined)
        if (candidate == key) return true;
    return false;
}

void countOpenedKey(LONG status, HKEY key) {
    if (status == ERROR_SUCCESS && key != nullptr && !isPredefined(key))
        win32::countOpened(win32::CountedHandle::RegistryKey);
}

}  // namespace

RegKey predefinedKey(PredefinedKey which) {
    switch (which) {
        case PredefinedKey::ClassesRoot:
            return toRegKey(HKEY_CLASSES_ROOT);
        case PredefinedKey::CurrentUser:
            return toRegKey(HKEY_CURRENT_USER);
        case PredefinedKey::LocalMachine:
            return toRegKey(HKEY_LOCAL_MACHINE);
        case PredefinedKey::Users:
            return toRegKey(HKEY_USERS);
        case PredefinedKey::CurrentConfig:
            return toRegKey(HKEY_CURRENT_CONFIG);
    }
    return nullptr;
}

uint32_t regOpenKey(RegKey parent, const std::string& subKey, uint32_t access, RegKey* result) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(toHkey(parent), subKey.c_str(), 0, access, &opened);
    countOpenedKey(status, opened);
    *result = toRegKey(opened);
    return static_cast<uint32_t>(status);
}

uint32_t regCreateKey(RegKey parent, const std::string& subKey, uint32_t access, RegKey* result,
                      bool* created) {
    HKEY opened = nullptr;
    DWORD disposition = 0;
    const LONG status =
        RegCreateKeyExA(toHkey(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                        nullptr, &opened, &disposition);
    countOpenedKey(status, opened);
    *result = toRegKey(opened);
    if (created != nullptr)
        *created = status == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return static_cast<uint32_t>(status);
}

uint32_t regCloseKey(RegKey key) {
    if (isPredefined(toHkey(key))) return ERROR_SUCCESS;
    const LONG status = RegCloseKey(toHkey(key));
    if (status == ERROR_SUCCESS) win32::countClosed(win32::CountedHandle::RegistryKey);
    return static_cast<uint32_t>(status);
}

uint32_t regQueryValue(RegKey key, const std::string& valueName, uint32_t* type, uint8_t* data,
                       uint32_t* size) {
    DWORD valueType = 0;
    DWORD valueSize = size != nullptr ? *size : 0;
    const LONG status =
        RegQueryValueExA(toHkey(key), valueName.c_str(), nullptr, type ? &valueType : nullptr, data,
                         size ? &valueSize : nullptr);
    if (type != nullptr) *type = valueType;
    if (size != nullptr) *size = valueSize;
    return static_cast<uint32_t>(status);
}

uint32_t regSetValue(RegKey key, const std::string& valueName, uint32_t type, const uint8_t* data,
                     uint32_t size) {
    return static_cast<uint32_t>(
        RegSetValueExA(toHkey(key), valueName.c_str(), 0, type, data, size));
}

uint32_t regDeleteValue(RegKey key, const std::string& valueName) {
    return static_cast<uint32_t>(RegDeleteValueA(toHkey(key), valueName.c_str()));
}

uint32_t regConnectRegistry(const std::string& machineName, RegKey predefined, RegKey* result) {
    HKEY connected = nullptr;
    const LONG status = RegConnectRegistryA(machineName.empty() ? nullptr : machineName.c_str(),
                                            toHkey(predefined), &connected);
    countOpenedKey(status, connected);
    *result = toRegKey(connected);
    return static_cast<uint32_t>(status);
}

// Key security exists on the NT family only; the 9x family's stubs answer
// ERROR_CALL_NOT_IMPLEMENTED, and so does a system that lacks the entry.
uint32_t regGetKeySecurity(RegKey key, uint32_t securityInformation, uint8_t* descriptor,
                           uint32_t* size) {
    const auto getKeySecurity =
        win32::systemEntry<decltype(&RegGetKeySecurity)>("ADVAPI32.DLL", "RegGetKeySecurity");
    if (getKeySecurity == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    DWORD descriptorSize = *size;
    const LONG status =
        getKeySecurity(toHkey(key), securityInformation, descriptor, &descriptorSize);
    *size = descriptorSize;
    return static_cast<uint32_t>(status);
}

uint32_t regSetKeySecurity(RegKey key, uint32_t securityInformation, const uint8_t* descriptor) {
    const auto setKeySecurity =
        win32::systemEntry<decltype(&RegSetKeySecurity)>("ADVAPI32.DLL", "RegSetKeySecurity");
    if (setKeySecurity == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    // The system only reads the descriptor; its prototype just does not say so.
    return static_cast<uint32_t>(
        setKeySecurity(toHkey(key), securityInformation, const_cast<uint8_t*>(descriptor)));
}

}  // namespace platform
