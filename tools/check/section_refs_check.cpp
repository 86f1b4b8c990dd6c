#include "tools/check/section_refs_check.h"

#include <set>

#include "tools/check/command_lines_check.h"
#include "tools/check/standard_lines_check.h"
#include "tools/driver_package/system_printer_inf.h"

namespace check {

namespace {

// The print-processor handler finds its keys in the section this key names.
constexpr const char* kDataSectionKey = "DataSection";

void checkCommandKey(const CheckContext& context, const InstallScope& scope, const KeyLine& key,
                     const LineLayout& layout) {
    for (const CStdStr& name : sectionNames(key.value)) {
        const InfSection* section = context.inf.section(name);
        // A standard directive's comment is reported on its own.
        if (section == nullptr && layout.plain && commentStart(name) != CStdStr::npos) continue;
        if (section == nullptr)
            context.error(key.line,
                          "section [" + name + "] named by " + key.name + " does not exist");
        else
            checkCommandLines(context, scope, key.name, layout, *section);
    }
}

// A data section that the system's printer INF gives the install section through Include=.
bool isIncludedDataSection(const InfSection& install, const CStdStr& name) {
    const std::optional<KeyLine> include = PackageInf::firstKey(install, "Include");
    return include && driver_package::includesSystemPrinterInf(include->value) &&
           driver_package::systemDataSection(name) != nullptr;
}

void checkDataSection(const CheckContext& context, const InfSection& install, const KeyLine& key) {
    if (context.inf.section(key.value) != nullptr || commentStart(key.value) != CStdStr::npos ||
        isIncludedDataSection(install, key.value))
        return;
    context.error(key.line, "data section [" + key.value + "] does not exist");
}

}  // namespace

void checkNamedSections(const CheckContext& context, const InstallScope& scope) {
    // Only the first line of a key counts: every look-up of the utility stops there.
    std::set<CStdStr> seen;
    for (const KeyLine& key : PackageInf::keyLines(*scope.install->section)) {
        if (!seen.insert(key.name.ToLower()).second) continue;
        if (const LineLayout* layout = context.catalog.commandLayout(key.name))
            checkCommandKey(context, scope, key, *layout);
        else if (key.name.EqualsNoCase(kDataSectionKey))
            checkDataSection(context, *scope.install->section, key);
    }
}

}  // namespace check
