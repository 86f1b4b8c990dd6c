#include "tools/check/package_files.h"

#include <optional>

#include "support/path_object.h"
#include "tools/check/archive_check.h"
#include "tools/check/macro_check.h"
#include "tools/check/szdd_check.h"

namespace check {

namespace {

bool isAbsolute(const CStdStr& path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && path.front() == '\\');
}

// The argument as a Windows path in the package, or none when it leads elsewhere or where it
// leads depends on the run. The utility runs with the package as its current directory, so
// %1% and relative paths of files lead there; a bare program name is searched for like any
// other command, so only a program named with a directory is the package's.
std::optional<CStdStr> pathInPackage(const CheckContext& context, const CStdStr& argument,
                                     Use use) {
    if (hasNamedMacro(argument)) return std::nullopt;
    CStdStr path = context.engine.DecodeMacros(argument, 255);
    if (path.empty() || path.find("..") != CStdStr::npos) return std::nullopt;
    if (!isAbsolute(path)) {
        if (use == Use::Program && path.find('\\') == CStdStr::npos) return std::nullopt;
        path = context.package.dir() + "\\" + path;
    }
    if (!context.package.contains(path)) return std::nullopt;
    return path;
}

const char* kindOf(Use use) {
    switch (use) {
        case Use::Archive:
            return "archive";
        case Use::Program:
            return "program";
        default:
            return "source file";
    }
}

}  // namespace

void checkPackageFile(const CheckContext& context, const CStdStr& argument, Use use, int line) {
    const std::optional<CStdStr> path = pathInPackage(context, argument, use);
    if (!path) return;
    const std::string name = context.package.nameInPackage(*path);
    if (!PathObject(*path).Exists()) {
        context.error(line, std::string(kindOf(use)) + " " + name + " is not in the package");
        return;
    }
    if (use == Use::Archive) checkArchive(context, *path, name, line);
    if (use == Use::SourceFile) checkSzddFile(context, *path, name, line);
}

}  // namespace check
