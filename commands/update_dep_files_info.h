#pragma once

#include "commands/generic_info.h"
#include "platform/spooler.h"
#include "support/string_list.h"

// The files an install section's CopyFiles value names (a section's lines, or "@file"), by the
// names they get on the machine.
std::vector<CStdStr> copyFilesNames(const RunContext& run, const CStdStr& installSection);

// Brings an installed driver's dependent-file list up to date with the files the INF copies
// for it, and registers the driver again when the INF names a file the spooler lacks.
class UpdateDepFilesInfo : public GenericInfo {
  public:
    UpdateDepFilesInfo(RunContext* engine, platform::DriverInfo3* driver, int level);
    ~UpdateDepFilesInfo() override = default;

    bool Process() override;
    bool HandleCommand(const std::vector<CStdStr>&) override { return true; }

  private:
    CStdStringList infFileList(const CStdStr& installSection) const;
    bool isMainFile(const CStdStr& path) const;

    platform::DriverInfo3* driver;  // not owned
    int level;
};
