#include <cstdio>
#include <vector>

#include "platform/errors.h"
#include "platform/files.h"
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

CStdStr sectionHeader() { return CStdStr("[") + kSection + "]"; }

// The line after the section's last line, or npos when the file has no such section.
size_t sectionEnd(const std::vector<CStdStr>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!isHeader(lines[i]) || !ini::headerName(lines[i].Trimmed()).EqualsNoCase(kSection))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !isHeader(lines[end])) ++end;
        return end;
    }
    return CStdStr::npos;
}

bool endsInLineBreak(const CStdStr& path) {
    std::FILE* file = platform::openFile(path, "rb");
    if (file == nullptr) return true;
    const bool empty = std::fseek(file, 0, SEEK_END) != 0 || std::ftell(file) <= 0;
    const bool ended = empty || (std::fseek(file, -1, SEEK_END) == 0 && std::fgetc(file) == '\n');
    std::fclose(file);
    return ended;
}

// The file holds other installers' work: when the section is its last one, or it has none,
// the lines are appended, which cannot cost what is there; else the file is replaced whole.
bool addRenames(const CStdStr& path, const std::vector<CStdStr>& renames) {
    std::vector<CStdStr> lines = ReadTextLines(path);
    const size_t end = sectionEnd(lines);
    if (DetectEncoding(path) != TextFile::Utf16Text &&
        (end == CStdStr::npos || end == lines.size())) {
        CStdStr text = endsInLineBreak(path) ? CStdStr() : CStdStr("\n");
        if (end == CStdStr::npos) text += sectionHeader() + "\n";
        for (const CStdStr& rename : renames) text += rename + "\n";
        return platform::appendTextFile(path, text);
    }
    size_t at = end;
    while (lines[at - 1].Trimmed().empty()) --at;  // stops at the header
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), renames.begin(), renames.end());
    return ReplaceTextLines(path, lines);
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
    if (!addRenames(path, renames)) {
        LogLine("FileOp::writePendingRenames: could not write ", path, " (error ",
                platform::getLastError(), ")");
        return;
    }
    LogLine("FileOp::writePendingRenames: wrote ", renames.size(),
            " line(s) to the [Rename] section of ", path);
    renames.clear();
}

}  // namespace FileOp
