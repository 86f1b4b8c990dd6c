#include "tools/check/uninstall_check.h"

#include "support/string_tokenizer.h"

namespace check {

namespace {

bool namesSection(const CheckContext& context, const CStdStr& value, const InfSection* section) {
    for (const CStdStr& name : sectionNames(value))
        if (context.inf.section(name) == section) return true;
    return false;
}

// The directory code of an install-directory value: its first comma-separated word.
int installDirCodeOf(const CStdStr& value) {
    CStdStr code;
    StringTokenizer(value, ',', 0).next(code);
    return cstd::atoi(code);
}

bool setsInstallDir(const CheckContext& context, const KeyLine& dirLine) {
    const int code = installDirCodeOf(dirLine.value);
    if (code != DadazadoEngine::kInstallDirCode &&
        !context.engine.LookupDir(code).GetFullPath().empty())
        return true;
    context.warning(dirLine.line, std::string(DadazadoEngine::kInstallDirKey) +
                                      " names directory code " + std::to_string(code) +
                                      ", which the utility does not know; the install "
                                      "directory stays empty");
    return false;
}

}  // namespace

InstallScope checkUninstallInfo(const CheckContext& context, const InstallSection& install) {
    InstallScope scope{&install, false};
    const CStdStr& key = context.catalog.uninstallKey();
    const std::optional<KeyLine> uninstall = PackageInf::firstKey(*install.section, key);
    const CStdStr infoName =
        uninstall ? uninstall->value : CStdStr(DadazadoEngine::kDefaultUninstallInfoSection);
    const InfSection* info = context.inf.section(infoName);
    if (info == nullptr) {
        // A name without commas is a command section too, and reported as one.
        if (uninstall && infoName.find(',') != CStdStr::npos)
            context.error(uninstall->line,
                          "uninstall-information section [" + infoName +
                              "] does not exist: the utility takes the whole value of " + key +
                              " as its name");
        return scope;
    }
    const std::optional<KeyLine> dirLine =
        PackageInf::firstKey(*info, DadazadoEngine::kInstallDirKey);
    if (!dirLine) return scope;
    scope.installDirSet = setsInstallDir(context, *dirLine);
    if (uninstall && namesSection(context, uninstall->value, info))
        context.warning(dirLine->line,
                        std::string(DadazadoEngine::kInstallDirKey) + " stands in [" + info->name +
                            "], which " + key +
                            " also names as a command section: the utility reads the line as "
                            "an uninstaller command too and logs an \"Error parsing command\" "
                            "block for it on every run");
    return scope;
}

}  // namespace check
