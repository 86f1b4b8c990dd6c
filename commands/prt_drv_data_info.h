#pragma once

#include "commands/generic_info.h"
#include "platform/spooler.h"

// Writes printer data values onto one installed printer through the spooler. Its sections
// come from the install section of that printer's driver.
class PrtDrvDataInfo : public GenericInfo {
  public:
    PrtDrvDataInfo(RunContext* engine, const platform::PrinterInfo2& printer);
    ~PrtDrvDataInfo() override = default;

    bool HandleCommand(const std::vector<CStdStr>& arguments) override;

    // Whether a line's type field names a type (any other text is written as a string).
    static bool isTypeName(const CStdStr& name);

  private:
    bool writeValue(platform::PrinterHandle handle, const CStdStr& name, uint32_t type,
                    const CStdStr& data, int flags) const;
    void logDetails(const CStdStr& name, const CStdStr& data) const;

    CStdStr printerName;
};
