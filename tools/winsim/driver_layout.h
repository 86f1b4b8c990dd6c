#pragma once

#include <cstdint>
#include <string>

// Where the machine's spooler keeps drivers: their keys and the directory of their files.
namespace winsim {

// The machine's own environment: "Windows 4.0" on the 9x family, else "Windows NT x86".
std::string nativeEnvironment();
// The version a driver made for the machine has: 0 on 9x, 2 on NT4, 3 from 2000 on.
uint32_t nativeDriverVersion();

// The known environment of this name (case ignored) as the spooler spells it; empty if none.
std::string knownEnvironment(const std::string& name);

// The spooler keeps bare file names; a path would place the file outside the driver directory.
bool isBareFileName(const std::string& name);

std::string environmentsKey();
std::string driverKey(const std::string& environment, uint32_t version, const std::string& name);

// Windows directory of a driver's files: the system directory on 9x, else the environment's
// spooler driver directory with one directory per version.
std::string driverFileDirectory(const std::string& environment, uint32_t version);

}  // namespace winsim
