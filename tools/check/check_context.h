#pragma once

#include <set>
#include <string>

#include "app/dadazado_engine.h"
#include "tools/check/command_catalog.h"
#include "tools/check/findings.h"
#include "tools/check/package_inf.h"
#include "tools/check/package_location.h"

// What every check reads, and where it reports.
namespace check {

struct CheckContext {
    const PackageInf& inf;
    const CommandCatalog& catalog;
    const PackageLocation& package;
    // The utility's own macro expansion and directory codes, on the scratch machine.
    const DadazadoEngine& engine;
    // Names a %name% macro may use: those some string section defines and the engine's own,
    // in lower case.
    std::set<CStdStr> macroNames;
    Report& report;

    void error(int line, const std::string& text) const {
        report.error(inf.fileName(), line, text);
    }
    void warning(int line, const std::string& text) const {
        report.warning(inf.fileName(), line, text);
    }
    void add(int line, Severity severity, const std::string& text) const {
        report.add(inf.fileName(), line, severity, text);
    }
};

// An install section some model names, as the utility finds it.
struct InstallSection {
    CStdStr name;
    const InfSection* section = nullptr;
};

// What the macros of an install section's commands can resolve to: %777% needs an install
// directory from the uninstall-information section.
struct InstallScope {
    const InstallSection* install = nullptr;
    bool installDirSet = false;
};

}  // namespace check
