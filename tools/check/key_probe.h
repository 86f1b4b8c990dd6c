#pragma once

#include <vector>

#include "commands/run_context.h"

// A run context that has no INF to offer: the handlers can be built against it, and it notes
// which keys a handler asks for, so their names come from the handlers themselves.
namespace check {

class KeyProbe : public RunContext {
  public:
    bool getInfValue(const CStdStr& section, const CStdStr& key, CStdStr& value) const override;
    const std::vector<CStdStr>* findInfSection(const CStdStr&) const override { return nullptr; }
    const CStdStr& getInstallSection() const override { return empty; }
    CStdStr getInstallSection(const CStdStr&) const override { return {}; }
    bool isCommandForThisInstall(int) const override { return false; }
    CStdStr DecodeMacros(const CStdStr& text, int) const override { return text; }
    const CStdStr& getPrinterName() const override { return empty; }
    const CStdStr& getDriverName() const override { return empty; }
    const CStdStr& getLanguageIso() const override { return empty; }
    bool isSilentMode() const override { return false; }
    bool isCustomInstall() const override { return false; }
    CStdStr getDriverEnvironment() const override { return {}; }
    void logOperation(int32_t, const CStdStr&, const CStdStr&, bool) override {}
    void flushLogOps(const CStdStr&) override {}

    // The keys asked for since the last take, in the order asked; the list is emptied.
    std::vector<CStdStr> takeAskedKeys();

  private:
    CStdStr empty;
    mutable std::vector<CStdStr> asked;
};

}  // namespace check
