#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The simulated registry: a tree of keys held in memory and kept in registry.reg. Changes are
// saved at flush() (see there) by writing a temporary file and renaming it over the old one.
//
// Key paths name their root in full or short form ("HKEY_LOCAL_MACHINE\\SOFTWARE\\x" or
// "HKLM\\SOFTWARE\\x"); HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\\Software\\Classes. Names
// compare without regard to case and keep the spelling they were created with. String data
// is held as the bytes the ANSI entry points exchange (8-bit text and its terminating NUL).
//
// Key security is kept in the registry itself, so that it is saved with everything else and can
// be edited by hand: under HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\KeySecurity, one REG_SZ value
// per key that has its own security, named by the key's full path with its root spelled out
// ("HKEY_LOCAL_MACHINE\\SOFTWARE\\X") and holding the SDDL text.
namespace sim::registry {

constexpr const char* kKeySecurityKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\KeySecurity";

// Replaces the registry with the content of file (a missing file is an empty registry), once
// the changes not yet flushed are saved.
// Empty on success, else "<file>:<line>: <problem>"; the registry is then left empty.
std::string load(const std::filesystem::path& file);

// Writes the changes not yet saved to registry.reg. Also done by itself when the process ends
// normally, before the machine starts a program and before a registry is loaded; whoever
// reads registry.reg while this process may still hold changes calls it first.
void flush();

// Grows with every change of the registry (a value or key written or removed, a file loaded
// or imported): what is derived from the registry is good while it stays the same.
uint64_t changeCount();

// Merges a .reg file (5.00, REGEDIT4 or UTF-16LE with its byte-order mark) into the registry,
// as the registry editor would, and saves the result. Empty on success, else
// "<file>:<line>: <problem>" and the registry is left exactly as it was.
std::string importFile(const std::filesystem::path& file);

// The registry, or the subtree of one key, as "Windows Registry Editor Version 5.00" text.
// An empty keyPath is the whole registry; a key that does not exist gives empty text.
std::string exportText(std::string_view keyPath);

// Whether a key or value of this name can be kept: a known root, key names of at most 255
// characters nested at most 512 deep (Windows' own limits) and no line breaks, which the
// line-based registry.reg could not hold. Other names are refused by the calls below.
bool isStorableKeyPath(std::string_view keyPath);
bool isStorableValueName(std::string_view name);

bool keyExists(std::string_view keyPath);
// Creates the key and its missing parents; true when it was new.
bool createKey(std::string_view keyPath);
bool readValue(std::string_view keyPath, std::string_view name, uint32_t* type, std::string* data);
// Creates the key when missing.
void writeValue(std::string_view keyPath, std::string_view name, uint32_t type, std::string data);
bool deleteValue(std::string_view keyPath, std::string_view name);
// Value names and data of a key, in stored order.
std::vector<std::pair<std::string, std::pair<uint32_t, std::string>>> values(
    std::string_view keyPath);
std::vector<std::string> subkeys(std::string_view keyPath);

// Text of a REG_SZ / REG_EXPAND_SZ value without its NUL, a REG_DWORD as decimal; else empty.
std::string readString(std::string_view keyPath, std::string_view name);

// Key security as SDDL text: the key's own, else the nearest ancestor's, else the default.
std::string keySecurity(std::string_view keyPath);
void setKeySecurity(std::string_view keyPath, const std::string& sddl);

}  // namespace sim::registry
