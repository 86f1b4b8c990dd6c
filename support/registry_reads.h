#pragma once

#include <cstdint>

#include "platform/registry.h"
#include "support/cstd_str.h"
#include "support/reg_value.h"

// Reading keys and values below an open root key: what the registry wrapper and the OS
// identification both need, so that neither depends on the other. Failing platform calls are
// written to the flight recorder; an absent key or value is an ordinary answer and is not.
namespace registry_reads {

// A key opened for one operation, closed on every way out of it.
class ScopedKey {
  public:
    explicit ScopedKey(platform::RegKey opened) : key(opened) {}
    ~ScopedKey();
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    platform::RegKey get() const { return key; }
    explicit operator bool() const { return key != nullptr; }

  private:
    platform::RegKey key;
};

// The caller closes the key it gets. A null root opens nothing.
platform::RegKey openKey(platform::RegKey root, const CStdStr& subKey, uint32_t access);
bool keyExists(platform::RegKey root, const CStdStr& subKey);
bool valueExists(platform::RegKey root, const CStdStr& subKey, const CStdStr& valueName);
bool readValue(platform::RegKey root, const CStdStr& subKey, const CStdStr& valueName,
               RegValue& value);
// Text of a string value, a DWORD as its signed decimal text; empty for anything else.
CStdStr readString(platform::RegKey root, const CStdStr& subKey, const CStdStr& valueName);

}  // namespace registry_reads
