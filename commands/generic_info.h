#pragma once

#include <vector>

#include "support/cstd_str.h"

class RunContext;

// The common base of every command handler. The install section names, under the handler's
// key, the INF sections that hold its commands; each line of those sections is one command,
// filtered by install kind and split into arguments before the handler sees it.
class GenericInfo {
  public:
    GenericInfo(RunContext* engine, const CStdStr& commandKey,
                const CStdStr& driverOverride = CStdStr());
    virtual ~GenericInfo() = default;
    GenericInfo(const GenericInfo&) = delete;
    GenericInfo& operator=(const GenericInfo&) = delete;

    virtual bool ReadINF(const CStdStr& installSection);
    virtual bool Process();
    virtual bool ParseCommand(const CStdStr& line);
    // Arguments are the fields from the third on, trimmed and unquoted.
    virtual bool HandleCommand(const std::vector<CStdStr>& arguments) = 0;

    const CStdStr& getCommandKey() const { return commandKey; }

  protected:
    // The split that the standard directives (AddReg, DelReg, UpdateInis) use: every field
    // goes to HandleCommand, there is no install-kind field, and the line always counts as
    // parsed.
    bool ParseCommandPlain(const CStdStr& line);

    RunContext* engine;  // not owned

  private:
    void logParseError(const CStdStr& installSection, const CStdStr& line) const;

    CStdStr commandKey;
    CStdStr driverOverride;
};
