#pragma once

#include <cstdint>
#include <vector>

#include "support/cstd_str.h"

// What a command handler sees of the run: the INF, macro expansion, the printer and driver it
// works for, the run settings it reads, and the record of what it installed. The engine is
// the one implementation; handlers hold a non-owning pointer to it.
class RunContext {
  public:
    virtual ~RunContext() = default;

    // The INF.
    virtual bool getInfValue(const CStdStr& section, const CStdStr& key, CStdStr& value) const = 0;
    virtual const std::vector<CStdStr>* findInfSection(const CStdStr& name) const = 0;
    // The install section of the run's driver, and that of any model the INF lists.
    virtual const CStdStr& getInstallSection() const = 0;
    virtual CStdStr getInstallSection(const CStdStr& model) const = 0;
    // Whether a command line's install-kind mask selects this run (local or point and print).
    virtual bool isCommandForThisInstall(int mask) const = 0;
    virtual CStdStr DecodeMacros(const CStdStr& text, int flags) const = 0;

    // The run's printer and driver, and its settings.
    virtual const CStdStr& getPrinterName() const = 0;
    virtual const CStdStr& getDriverName() const = 0;
    virtual const CStdStr& getLanguageIso() const = 0;
    virtual bool isSilentMode() const = 0;
    virtual bool isCustomInstall() const = 0;
    // The spooler environment of this system's printer drivers.
    virtual CStdStr getDriverEnvironment() const = 0;

    // Records an installed item for the logging library, and hands all records to it.
    virtual void logOperation(int32_t type, const CStdStr& owner, const CStdStr& item,
                              bool useArgument) = 0;
    virtual void flushLogOps(const CStdStr& argument) = 0;
};
