#pragma once

#include <cstdint>
#include <vector>

#include "platform/registry.h"
#include "support/cstd_str.h"
#include "support/reg_value.h"

// The one gateway to the registry. Callers name a root by a short text ("HKLM", "HKCU", "HKU",
// "HKCC", "HKCR") and a subkey path, and exchange values as RegValue records. An object may be
// bound to another computer; the roots that make sense remotely are then connected on first
// use. Failing platform calls are written to the flight recorder; an absent key or value is an
// ordinary answer and is not. Nothing throws.
class Registry {
  public:
    Registry() = default;
    explicit Registry(const CStdStr& machine);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    void setMachine(const CStdStr& name);
    void closeKeys();

    // Root handles belong to this object: callers never close them.
    platform::RegKey getRootKey(const CStdStr& root);
    platform::RegKey getRemoteKey(platform::RegKey predefinedKey);
    // The caller closes the key it gets.
    platform::RegKey openKey(const CStdStr& root, const CStdStr& subKey, uint32_t access);

    bool KeyExists(const CStdStr& root, const CStdStr& subKey);
    bool ValueExists(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName);
    bool ReadValue(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName,
                   RegValue& value);
    CStdStr ReadString(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName);
    bool WriteValue(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName,
                    const RegValue& value);
    bool DeleteValue(const CStdStr& root, const CStdStr& subKey, const CStdStr& valueName);
    bool CreateKey(const CStdStr& root, const CStdStr& path, bool cloneAccess);

    // Copies the DACL of source onto target; the platform's error code, 0 on success.
    uint32_t cloneKeyAccess(platform::RegKey source, platform::RegKey target);

    // Hexadecimal text to bytes, two characters a byte; an odd length is padded with '0'.
    static std::vector<uint8_t> HexToBytes(const CStdStr& text);

  private:
    platform::RegKey localMachineRoot();
    platform::RegKey classesRoot();
    platform::RegKey openOrCreateComponent(platform::RegKey parent, const CStdStr& component,
                                           bool cloneAccess, uint32_t* error);
    bool writeTyped(platform::RegKey key, const CStdStr& valueName, const RegValue& value);

    CStdStr machineName;
    platform::RegKey hklmKey = nullptr;
    platform::RegKey hkuKey = nullptr;
    // "Software\\Classes" under hklmKey, opened on first use and closed with the other roots,
    // so that handing out the HKCR root never leaks a key.
    platform::RegKey hkcrKey = nullptr;
};
