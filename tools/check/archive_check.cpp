#include "tools/check/archive_check.h"

#include <vector>

#include "support/zip_extract.h"

namespace check {

namespace {

std::string hostStyle(std::string member) {
    for (char& c : member)
        if (c == '\\') c = '/';
    return member;
}

}  // namespace

void checkArchive(const CheckContext& context, const CStdStr& path, const std::string& name,
                  int line) {
    std::vector<CStdStr> members;
    if (!ZipListContents(path.c_str(), ZipList, nullptr, &members)) {
        context.error(line, "archive " + name + " does not open as a zip archive");
        return;
    }
    for (const CStdStr& member : members)
        if (zipMemberLeavesTarget(member))
            context.warning(line, "archive " + name + ": member " + hostStyle(member) +
                                      " leads out of the target directory; the utility skips it");
}

}  // namespace check
