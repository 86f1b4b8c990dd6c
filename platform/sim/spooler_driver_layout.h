#pragma once

#include <cstdint>
#include <string>

#include "platform/sim/spooler_keys.h"

// Where the simulated spooler keeps drivers and print processors of each environment: their
// registry keys and the directories of their files. Shared by the calls that read and write
// them.
namespace sim::spooler {

constexpr uint32_t kErrorInvalidEnvironment = 1805;

std::string environmentsKey();
// The environment's key name as stored, else as asked for.
std::string storedEnvironmentName(const std::string& name);
// An empty environment is the machine's own, as a null one is for the Win32 calls.
std::string requestedEnvironment(const std::string& environment);

// The directory drivers are staged in before they are added: the environment's directory
// below spool\drivers on the NT family, the system directory on 9x.
std::string driverDirectory(const EnvironmentInfo& environment);
// Where an added driver's files live: below the driver directory, one directory per driver
// version ("3"), on the NT family; the system directory on 9x.
std::string driverVersionDirectory(const EnvironmentInfo& environment, const std::string& version);
// The environment's directory below spool\prtprocs on the NT family; the system directory on 9x.
std::string printProcessorDirectory(const EnvironmentInfo& environment);

}  // namespace sim::spooler
