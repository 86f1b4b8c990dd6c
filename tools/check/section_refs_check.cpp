#include "tools/check/section_refs_check.h"

#include <set>

#include "tools/check/command_lines_check.h"

namespace check {

namespace {

// The print-processor handler finds its keys in the section this key names.
constexpr const char* kDataSectionKey = "DataSection";

void checkCommandKey(const CheckContext& context, const InstallScope& scope, const KeyLine& key,
                     const LineLayout& layout) {
    for (const CStdStr& name : sectionNames(key.value)) {
        const InfSection* section = context.inf.section(name);
        if (section == nullptr)
            context.error(key.line,
                          "section [" + name + "] named by " + key.name + " does not exist");
        else
            checkCommandLines(context, scope, key.name, layout, *section);
    }
}

}  // namespace

void checkNamedSections(const CheckContext& context, const InstallScope& scope) {
    // Only the first line of a key counts: every look-up of the utility stops there.
    std::set<CStdStr> seen;
    for (const KeyLine& key : PackageInf::keyLines(*scope.install->section)) {
        if (!seen.insert(key.name.ToLower()).second) continue;
        if (const LineLayout* layout = context.catalog.commandLayout(key.name))
            checkCommandKey(context, scope, key, *layout);
        else if (key.name.EqualsNoCase(kDataSectionKey) &&
                 context.inf.section(key.value) == nullptr)
            context.error(key.line, "data section [" + key.value + "] does not exist");
    }
}

}  // namespace check
