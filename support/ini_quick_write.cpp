#include "support/ini_quick_write.h"

#include <cstdint>
#include <vector>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/ini_line.h"
#include "support/path_object.h"
#include "support/text_file.h"

namespace {

struct IniEdit {
    CStdStr section;
    CStdStr key;
    CStdStr value;
    int mode;
};

// Copies the lines of a file, each trimmed, with the one entry changed, dropped or added.
class IniRewriter {
  public:
    explicit IniRewriter(const IniEdit& edit) : edit(edit) {}

    void take(const CStdStr& rawLine) {
        const CStdStr line = rawLine.Trimmed();
        const ini::LineKind kind = ini::classifyLine(line);
        if (done || kind == ini::LineKind::Empty || kind == ini::LineKind::Comment) {
            lines.push_back(line);
        } else if (kind == ini::LineKind::Header) {
            takeHeader(line);
        } else if (!inTargetSection()) {
            lines.push_back(line);
        } else {
            takeTargetLine(line);
        }
    }

    // The file ended: a key that was never met is added, under a new header unless the file
    // ended inside its section.
    std::vector<CStdStr> finish() {
        if (edit.mode == QuickWriteMode && !done) {
            if (!inTargetSection()) lines.push_back("[" + edit.section + "]");
            lines.push_back(newEntry());
        }
        return lines;
    }

  private:
    bool inTargetSection() const { return current.EqualsNoCase(edit.section); }
    CStdStr newEntry() const { return edit.key + "=" + edit.value; }

    // Leaving the target section without having met the key: the entry goes at its end.
    void takeHeader(const CStdStr& line) {
        if (inTargetSection() && edit.mode == QuickWriteMode) {
            lines.push_back(newEntry());
            done = true;
        }
        current = ini::headerName(line);
        lines.push_back(line);
    }

    void takeTargetLine(const CStdStr& line) {
        CStdStr name;
        CStdStr fileValue;
        if (!ini::splitNameValue(line, name, fileValue, ini::NameQuotes::Keep) ||
            !name.EqualsNoCase(edit.key)) {
            lines.push_back(line);
            return;
        }
        done = true;
        if (edit.mode == QuickWriteMode) {
            lines.push_back(name + "=" + edit.value);
        } else if (!edit.value.empty() && !edit.value.EqualsNoCase(fileValue)) {
            lines.push_back(line);  // another value than the one to delete
        }
    }

    const IniEdit& edit;
    CStdStr current;
    bool done = false;
    std::vector<CStdStr> lines;
};

bool readSource(const CStdStr& path, std::vector<CStdStr>& lines, int32_t& encoding) {
    TextFile file;
    if (!file.Open(path, TextFile::ReadMode, TextFile::UnknownText)) {
        GetDebugLog() << "quick_write_helper: could not open file " << path << " for reading."
                      << '\n';
        GetDebugLog().flush();
        return false;
    }
    encoding = file.GetEncoding();
    CStdStr line;
    while (file.ReadString(line)) lines.push_back(line);
    return true;
}

// In the file's own directory, so that putting it in place is a rename on the same volume.
PathObject tempBeside(const CStdStr& path) {
    const CStdStr dir = PathObject(path).GetDir();
    PathObject directory;
    directory.SetDir(dir.empty() ? CStdStr(".") : dir);
    return get_temp_name(directory);
}

void removeTemp(const PathObject& temp) {
    if (!temp.HasFileName() || platform::deleteFile(temp.GetFullPath())) return;
    GetDebugLog() << "quick_write_helper: could not delete temp file " << temp.GetFullPath()
                  << " (error " << platform::getLastError() << ")" << '\n';
    GetDebugLog().flush();
}

// The text file reports neither short writes nor a failed close, so the temporary file is
// read back: only a file that holds exactly the lines meant may replace the original. A
// value holding a line break fails here too, as it would change the file's structure.
bool writeTemp(const PathObject& temp, const std::vector<CStdStr>& lines, int32_t encoding) {
    TextFile file;
    if (!temp.HasFileName() || !file.Open(temp.GetFullPath(), TextFile::WriteMode, encoding)) {
        GetDebugLog() << "quick_write_helper: could not open file " << temp.GetFullPath()
                      << " for writing." << '\n';
        GetDebugLog().flush();
        return false;
    }
    for (const CStdStr& line : lines) file.WriteString(line + "\n");
    file.Close();
    if (ReadTextLines(temp.GetFullPath()) == lines) return true;
    GetDebugLog() << "quick_write_helper: temp file " << temp.GetFullPath()
                  << " does not read back as written." << '\n';
    GetDebugLog().flush();
    return false;
}

// Systems of the 9x family have no replacing rename: the old file steps aside under a
// temporary name until the new one is in place, and comes back if the new one cannot be.
bool swapByRenames(const CStdStr& temp, const CStdStr& path, uint32_t& code) {
    const PathObject aside = tempBeside(path);
    if (!aside.HasFileName()) {
        code = platform::getLastError();
        return false;
    }
    const CStdStr asidePath = aside.GetFullPath();
    // The temporary name is reserved by an empty file; the rename needs it free.
    if (!platform::deleteFile(asidePath) || !platform::moveFile(path, asidePath)) {
        code = platform::getLastError();
        return false;
    }
    if (!platform::moveFile(temp, path)) {
        code = platform::getLastError();
        platform::moveFile(asidePath, path);
        return false;
    }
    removeTemp(aside);
    return true;
}

bool putInPlace(const PathObject& temp, const CStdStr& path) {
    const CStdStr tempPath = temp.GetFullPath();
    if (platform::moveFileEx(tempPath, &path, platform::kMoveFileReplaceExisting)) return true;
    uint32_t code = platform::getLastError();
    if (code == platform::error::kCallNotImplemented && swapByRenames(tempPath, path, code))
        return true;
    GetDebugLog() << "quick_write_helper: could not copy temp file to destination (error " << code
                  << ")." << '\n';
    GetDebugLog() << "\tTemp file: " << tempPath << "\nDestination: " << path << '\n';
    GetDebugLog().flush();
    removeTemp(temp);
    return false;
}

}  // namespace

bool quick_write_helper(const CStdStr& path, const CStdStr& section, const CStdStr& key,
                        const CStdStr& value, int mode) {
    if (path.empty() || section.empty() || key.empty()) return false;
    if (mode != QuickWriteMode && mode != QuickDeleteMode) return false;
    std::vector<CStdStr> source;
    int32_t encoding = TextFile::UnknownText;
    if (!readSource(path, source, encoding)) return false;
    const IniEdit edit{section, key, value, mode};
    IniRewriter rewriter(edit);
    for (const CStdStr& line : source) rewriter.take(line);
    const std::vector<CStdStr> edited = rewriter.finish();
    const PathObject temp = tempBeside(path);
    if (!writeTemp(temp, edited, encoding)) {
        removeTemp(temp);
        return false;
    }
    return putInPlace(temp, path);
}

bool QuickWriteIniString(const CStdStr& path, const CStdStr& section, const CStdStr& key,
                         const CStdStr& value) {
    return quick_write_helper(path, section, key, value, QuickWriteMode);
}

bool QuickDeleteIniString(const CStdStr& path, const CStdStr& section, const CStdStr& key,
                          const CStdStr& value) {
    return quick_write_helper(path, section, key, value, QuickDeleteMode);
}
