#pragma once

#include <string>
#include <vector>

#include "tools/winsim/machine_changes.h"

// What a trial found on each Windows version, as text for a person and as JSON.
namespace winsim {

struct TrialResult {
    std::string version;
    std::string architecture;           // x86 or x64
    bool windowsInstalls = false;       // Windows would install the model on this version
    std::string notInstalled;           // why it would not, when it would not
    std::string driverName;             // the driver's name as Windows gives it
    int exitCode = -1;                  // -1: the utility did not run
    std::string explanation;            // why the utility ended as it did, where it says more
    std::string problem;                // why the machine could not be set up, if it could not
    std::vector<std::string> failures;  // flight-recorder lines that report a failure
    MachineChanges changes;
};

// The meaning of one of the utility's exit codes.
std::string exitMeaning(int exitCode);

// The flight-recorder lines that report a failure, by their wording.
std::vector<std::string> failureLines(const std::string& flightRecorder);

std::string describeResult(const TrialResult& result);
// One line a version: exit code, failures and the size of each kind of change.
std::string resultTable(const std::vector<TrialResult>& results);
std::string resultJson(const std::string& package, const std::string& model,
                       const std::vector<TrialResult>& results);

}  // namespace winsim
