#pragma once

#include "commands/generic_info.h"
#include "platform/spooler.h"
#include "support/string_list.h"

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
    std::vector<CStdStr> copyFilesNames(const CStdStr& installSection) const;
    bool isMainFile(const CStdStr& path) const;

    platform::DriverInfo3* driver;  // not owned
    int level;
};
