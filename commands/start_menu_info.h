#pragma once

#include "commands/generic_info.h"

// Creates program groups and shortcuts in the shell's special folders (Start menu, desktop
// and the like).
class StartMenuInfo : public GenericInfo {
  public:
    explicit StartMenuInfo(RunContext* engine);
    ~StartMenuInfo() override = default;

    // Initialises COM for the thread, which the shell's link object needs, then processes the
    // command sections.
    bool Process() override;
    bool HandleCommand(const std::vector<CStdStr>& arguments) override;

    // Whether a line's first argument names a special folder (any other name means the
    // programs folder).
    static bool isFolderName(const CStdStr& name);
};
