#pragma once

#include <filesystem>
#include <string>

#include "tools/driver_package/windows_install.h"
#include "tools/winsim/trial_versions.h"

// One trial of a driver package: a fresh machine of one Windows version, set up as the driver
// installation leaves it before it starts the utility, and the utility's run on it.
namespace winsim {

struct Trial {
    std::filesystem::path package;  // the package directory on the host
    std::string inf;                // the INF's file name in it
    std::string model;
    std::string printer;  // empty: the driver's name, as the printer wizard proposes it
    std::string port, language;
    bool updateAll = false;
    std::filesystem::path regFile;   // imported before the run, when not empty
    std::filesystem::path filesDir;  // copied onto drive C: before the run, when not empty
    std::filesystem::path dadazado, loggingLibrary, installEngine;  // host programs
};

// Where the package lands on the machine, and where the flight recorder writes.
std::string packageDirectory(const Trial& trial);
constexpr const char* kTrialFlightRecorder = "C:\\dadazado-try.log";

// Makes the machine of version in dir (missing or empty) and sets it up with the driver that
// Windows installs for the model. Empty on success, else what stopped it; the machine is then
// open.
std::string prepareTrialMachine(const Trial& trial, const TrialVersion& version,
                                const driver_package::WindowsModel& model,
                                const std::filesystem::path& dir);

// Runs the utility on the open machine as the driver installation starts it, and opens the
// machine again afterwards; the utility's exit code, or -1 when it could not be started.
int runUtility(const Trial& trial, const TrialVersion& version,
               const driver_package::WindowsModel& model, const std::filesystem::path& dir);

}  // namespace winsim
