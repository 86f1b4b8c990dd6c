#include "tools/check/package_check.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dadazado_engine.h"
#include "support/inf_file.h"
#include "tools/check/check_context.h"
#include "tools/check/key_check.h"
#include "tools/check/models_check.h"
#include "tools/check/scratch_machine.h"
#include "tools/check/section_refs_check.h"
#include "tools/check/standard_lines_check.h"
#include "tools/check/string_sections_check.h"
#include "tools/check/uninstall_check.h"

namespace check {

namespace {

constexpr int kCannotRead = 2;

// The names a %name% macro may use: every string section's, and those the engine sets itself
// whatever the INF says.
std::set<CStdStr> macroNames(const PackageInf& inf, DadazadoEngine& engine) {
    std::set<CStdStr> names = stringNames(inf);
    engine.getStrings();
    for (const auto& [name, value] : engine.getMacros()) names.insert(name);
    return names;
}

void runChecks(const CheckContext& context) {
    const std::vector<InstallSection> installs = checkModels(context);
    for (const InstallSection& install : installs) {
        checkInstallKeys(context, install);
        checkStandardLines(context, install);
        checkNamedSections(context, checkUninstallInfo(context, install));
    }
    checkStringSections(context);
    checkSectionHeaders(context);
}

int failure(std::ostream& out, const std::string& problem) {
    out << "dadazado-check: " << problem << '\n';
    return kCannotRead;
}

}  // namespace

int checkPackage(const Options& options, std::ostream& out) {
    std::string problem;
    // First made, last gone: everything below reads through the machine.
    const std::unique_ptr<ScratchMachine> machine = ScratchMachine::open(&problem);
    if (!machine) return failure(out, problem);
    const std::optional<PackageLocation> location = PackageLocation::place(options, &problem);
    if (!location) return failure(out, problem);

    const InfFile infFile(location->infPath());
    const PackageInf inf(infFile, location->infName());
    DadazadoEngine engine;
    const CommandCatalog catalog;
    Report report;
    const CheckContext context{inf, catalog, *location, engine, macroNames(inf, engine), report};
    runChecks(context);
    report.print(out, location->infName());
    return report.errorCount() > 0 ? 1 : 0;
}

}  // namespace check
