#pragma once

#include "commands/generic_info.h"

// Runs the programs an INF names (self-extracting archives, setup programs, tools), or for a
// reserved keyword opens one of the printer driver's own dialogs. Type 0 reads the archives
// run before any file is installed, type 1 the programs run near the end.
class RunExeInfo : public GenericInfo {
  public:
    RunExeInfo(RunContext* engine, int type);
    ~RunExeInfo() override = default;

    bool HandleCommand(const std::vector<CStdStr>& arguments) override;

  private:
    void runProgram(const CStdStr& program, const std::vector<CStdStr>& arguments);
    void runDriver(const CStdStr& keyword);
};
