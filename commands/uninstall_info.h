#pragma once

#include "commands/generic_info.h"
#include "support/path_object.h"

// Installs the uninstaller through the install engine carried in an archive, then hands the
// operations recorded during the run to the logging library.
class UninstallInfo : public GenericInfo {
  public:
    explicit UninstallInfo(RunContext* engine);
    ~UninstallInfo() override = default;

    bool HandleCommand(const std::vector<CStdStr>& arguments) override;

  private:
    void installUninstaller(const PathObject& archive);
    void runEngine(const PathObject& workingDir);
};
