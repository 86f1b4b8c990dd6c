#pragma once

#include "commands/generic_info.h"
#include "support/reg_value.h"

// The value an AddReg line asks for: a DWORD for the DWORD flag (and, with a message, for
// the binary flag, which is not supported), otherwise a string. A DWORD's data is read as
// Windows reads it: decimal, or hexadecimal after 0x.
RegValue setupRegValue(int flags, const CStdStr& data);

// Re-applies a driver's AddReg lines to the local registry and records every value written
// or found present.
class AddRegInfo : public GenericInfo {
  public:
    AddRegInfo(RunContext* engine, const CStdStr& driverName);
    ~AddRegInfo() override = default;

    bool ParseCommand(const CStdStr& line) override { return ParseCommandPlain(line); }
    bool HandleCommand(const std::vector<CStdStr>& arguments) override;
};

// Deletes the registry values a driver's DelReg lines name (never their keys).
class DeleteRegInfo : public GenericInfo {
  public:
    DeleteRegInfo(RunContext* engine, const CStdStr& driverName);
    ~DeleteRegInfo() override = default;

    bool ParseCommand(const CStdStr& line) override { return ParseCommandPlain(line); }
    bool HandleCommand(const std::vector<CStdStr>& arguments) override;
};
