#pragma once

#include "commands/generic_info.h"

// Removes files or empty directories now, now or at the next restart, or only at restart.
class DeleteFileInfo : public GenericInfo {
  public:
    explicit DeleteFileInfo(RunContext* engine);
    ~DeleteFileInfo() override = default;

    bool HandleCommand(const std::vector<CStdStr>& arguments) override;
};
