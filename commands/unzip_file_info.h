#pragma once

#include "commands/generic_info.h"

// Unpacks zip archives delivered with the driver, before the other commands use their
// contents.
class UnzipFileInfo : public GenericInfo {
  public:
    explicit UnzipFileInfo(RunContext* engine);
    ~UnzipFileInfo() override = default;

    bool HandleCommand(const std::vector<CStdStr>& arguments) override;
};
