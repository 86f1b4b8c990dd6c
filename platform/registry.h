#pragma once

#include <cstdint>
#include <string>

// The registry, with Win32 semantics: every call returns a Win32 error code (0 on success).
namespace platform {

struct RegKeyHandle;  // opaque; an HKEY on Windows
using RegKey = RegKeyHandle*;

enum class PredefinedKey { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };
RegKey predefinedKey(PredefinedKey which);

constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegDwordBigEndian = 5;
constexpr uint32_t kRegLink = 6;
constexpr uint32_t kRegMultiSz = 7;
constexpr uint32_t kRegQword = 11;

constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyAllAccess = 0xF003F;

constexpr uint32_t kDaclSecurityInformation = 0x4;

// RegOpenKeyEx.
uint32_t regOpenKey(RegKey parent, const std::string& subKey, uint32_t access, RegKey* result);
// RegCreateKeyEx with options 0, no class, default security; created tells whether the key
// is new (REG_CREATED_NEW_KEY) or was opened.
uint32_t regCreateKey(RegKey parent, const std::string& subKey, uint32_t access, RegKey* result,
                      bool* created);
// RegCloseKey. Closing a predefined key is harmless.
uint32_t regCloseKey(RegKey key);
// RegQueryValueEx. With data null only the size is reported; a buffer that is too small gives
// kMoreData with the needed size. type may be null.
uint32_t regQueryValue(RegKey key, const std::string& valueName, uint32_t* type, uint8_t* data,
                       uint32_t* size);
// RegSetValueEx.
uint32_t regSetValue(RegKey key, const std::string& valueName, uint32_t type, const uint8_t* data,
                     uint32_t size);
// RegDeleteValue.
uint32_t regDeleteValue(RegKey key, const std::string& valueName);
// RegConnectRegistry. An empty machine name is the local computer.
uint32_t regConnectRegistry(const std::string& machineName, RegKey predefined, RegKey* result);
// RegGetKeySecurity: the descriptor in the platform's own form (opaque to callers); with a
// buffer that is too small (or null) gives kInsufficientBuffer and the needed size.
uint32_t regGetKeySecurity(RegKey key, uint32_t securityInformation, uint8_t* descriptor,
                           uint32_t* size);
// RegSetKeySecurity with a descriptor that regGetKeySecurity produced.
uint32_t regSetKeySecurity(RegKey key, uint32_t securityInformation, const uint8_t* descriptor);

}  // namespace platform
