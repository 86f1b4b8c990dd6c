#include <vector>

#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/ini_line.h"
#include "support/os_info.h"
#include "support/system_path.h"
#include "support/text_file.h"

namespace {

constexpr const char* kSection = "Rename";

bool isHeader(const CStdStr& line) {
    return ini::classifyLine(line.Trimmed()) == ini::LineKind::Header;
}

// Where new lines of the section go: after its last line, before the next section. The
// section is added at the end when the file has none.
size_t insertionPoint(std::vector<CStdStr>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!isHeader(lines[i]) || !ini::headerName(lines[i].Trimmed()).EqualsNoCase(kSection))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !isHeader(lines[end])) ++end;
        while (end > i + 1 && lines[end - 1].Trimmed().empty()) --end;
        return end;
    }
    lines.push_back(CStdStr("[") + kSection + "]");
    return lines.size();
}

bool writeLines(const CStdStr& path, const std::vector<CStdStr>& lines) {
    TextFile file;
    if (!file.Open(path, TextFile::WriteMode, TextFile::AnsiText)) return false;
    bool written = true;
    for (const CStdStr& line : lines) written = file.WriteString(CStdStr(line + "\n")) && written;
    file.Close();
    return written;
}

}  // namespace

namespace FileOp {

// Systems of the 9x family refuse delayed moves but carry out, while they start, the
// target=source lines of [Rename] in WININIT.INI (NUL as the target of a deletion).
void writePendingRenames() {
    std::vector<CStdStr>& renames = pendingRenames();
    if (renames.empty()) return;
    if (!OSInfo::current().isWin9x()) {
        for (const CStdStr& rename : renames)
            LogLine(
                "FileOp::writePendingRenames: this system takes no WININIT.INI; not "
                "scheduled: " +
                rename);
        renames.clear();
        return;
    }
    PathObject wininit{SystemPath(SystemPath::WINDOWS_DIR)};
    wininit.SetFileName("WININIT.INI");
    const CStdStr path = wininit.GetFullPath();
    std::vector<CStdStr> lines = ReadTextLines(path);
    const size_t at = insertionPoint(lines);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), renames.begin(), renames.end());
    if (!writeLines(path, lines)) {
        LogLine("FileOp::writePendingRenames: could not write " + path);
        return;
    }
    LogLine("FileOp::writePendingRenames: wrote ", renames.size(),
            " line(s) to the [Rename] section of ", path);
    renames.clear();
}

}  // namespace FileOp
