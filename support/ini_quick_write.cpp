#include "support/ini_quick_write.h"

#include <cstdint>
#include <functional>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/ini_line.h"
#include "support/line_digest.h"
#include "support/path_object.h"
#include "support/text_file.h"

namespace {

struct IniEdit {
    CStdStr section;
    CStdStr key;
    CStdStr value;
    int mode;
};

// One line for the output: a line of the file, kept in its own bytes (trimmed), or a line
// the edit makes, which goes through the ANSI code page.
struct OutputLine {
    CStdStr text;
    const std::string* kept = nullptr;
};

// Passes the lines of a file on as they come, each trimmed, with the one entry changed,
// dropped or added: a file of any size is rewritten in the memory of one line. The lines the
// edit does not change keep their bytes, so text the ANSI code page cannot hold survives.
class IniRewriter {
  public:
    using Sink = std::function<void(const OutputLine&)>;
    IniRewriter(const IniEdit& edit, Sink emit) : edit(edit), emit(std::move(emit)) {}

    // The line trimmed, and its trimmed bytes in the file's encoding.
    void take(const CStdStr& line, const std::string& bytes) {
        kept = &bytes;
        const ini::LineKind kind = ini::classifyLine(line);
        if (done || kind == ini::LineKind::Empty || kind == ini::LineKind::Comment) {
            keep();
        } else if (kind == ini::LineKind::Header) {
            takeHeader(line);
        } else if (!inTargetSection()) {
            keep();
        } else {
            takeTargetLine(line);
        }
    }

    // The file ended: a key that was never met is added, under a new header unless the file
    // ended inside its section.
    void finish() {
        if (edit.mode == QuickWriteMode && !done) {
            if (!inTargetSection()) emit({"[" + edit.section + "]"});
            emit({newEntry()});
        }
    }

  private:
    bool inTargetSection() const { return current.EqualsNoCase(edit.section); }
    CStdStr newEntry() const { return edit.key + "=" + edit.value; }
    void keep() { emit({CStdStr(), kept}); }

    // Leaving the target section without having met the key: the entry goes at its end.
    void takeHeader(const CStdStr& line) {
        if (inTargetSection() && edit.mode == QuickWriteMode) {
            emit({newEntry()});
            done = true;
        }
        current = ini::headerName(line);
        keep();
    }

    void takeTargetLine(const CStdStr& line) {
        CStdStr name;
        CStdStr fileValue;
        if (!ini::splitNameValue(line, name, fileValue, ini::NameQuotes::Keep) ||
            !name.EqualsNoCase(edit.key)) {
            keep();
            return;
        }
        done = true;
        if (edit.mode == QuickWriteMode) {
            emit({name + "=" + edit.value});
        } else if (!edit.value.empty() && !edit.value.EqualsNoCase(fileValue)) {
            keep();  // another value than the one to delete
        }
    }

    const IniEdit& edit;
    Sink emit;
    CStdStr current;
    const std::string* kept = nullptr;
    bool done = false;
};

bool openSource(const CStdStr& path, TextFile& file) {
    if (file.Open(path, TextFile::ReadMode, TextFile::UnknownText)) return true;
    LogLine("quick_write_helper: could not open file ", path, " for reading.");
    return false;
}

void removeTemp(const PathObject& temp) {
    if (!temp.HasFileName() || platform::deleteFile(temp.GetFullPath())) return;
    LogLine("quick_write_helper: could not delete temp file ", temp.GetFullPath(), " (error ",
            platform::getLastError(), ")");
}

bool openTemp(const PathObject& temp, TextFile& file, int32_t encoding) {
    if (temp.HasFileName() && file.Open(temp.GetFullPath(), TextFile::WriteMode, encoding))
        return true;
    LogLine("quick_write_helper: could not open file ", temp.GetFullPath(), " for writing.");
    return false;
}

// Streams the edited lines of the source into the temporary file; the digest is of the lines
// meant, whatever reached the disk.
LineDigest writeEdited(TextFile& source, TextFile& temp, const IniEdit& edit) {
    LineDigest meant;
    IniRewriter rewriter(edit, [&](const OutputLine& line) {
        if (line.kept != nullptr) {
            temp.WriteLineBytes(*line.kept);
            meant.add(temp.DecodeBytes(*line.kept));
        } else {
            temp.WriteString(line.text + "\n");
            meant.add(line.text);
        }
    });
    CStdStr line;
    std::string bytes;
    while (source.ReadLine(line, bytes)) {
        const std::string trimmed = source.TrimBytes(bytes);
        rewriter.take(line.Trimmed(), trimmed);
    }
    rewriter.finish();
    // Half a unit ended the file; it ends it again.
    temp.WriteBytes(source.LeftoverByte());
    return meant;
}

// The text file reports neither short writes nor a failed close, so the temporary file is
// read back: only a file that holds exactly the lines meant may replace the original. A
// value holding a line break fails here too, as it would change the file's structure.
bool readsBackAs(const PathObject& temp, const LineDigest& meant) {
    LineDigest found;
    TextFile file;
    if (file.Open(temp.GetFullPath(), TextFile::ReadMode, TextFile::UnknownText)) {
        CStdStr line;
        while (file.ReadString(line)) found.add(line);
    }
    if (found == meant) return true;
    LogLine("quick_write_helper: temp file ", temp.GetFullPath(),
            " does not read back as written.");
    return false;
}

// Both files are closed before the temporary one takes the original's place, which Windows
// refuses for a file that is open.
bool writeTemp(TextFile& source, const PathObject& temp, const IniEdit& edit) {
    TextFile out;
    if (!openTemp(temp, out, source.GetEncoding())) return false;
    const LineDigest meant = writeEdited(source, out, edit);
    out.Close();
    source.Close();
    return readsBackAs(temp, meant);
}

// A read-only file or one another program holds is refused, and stays as it was.
bool putInPlace(const PathObject& temp, const CStdStr& path) {
    if (FileOp::PutInPlace(temp, PathObject(path))) return true;
    LogLine("quick_write_helper: could not copy temp file to destination (error ",
            platform::getLastError(), ").");
    LogLine("\tTemp file: ", temp.GetFullPath(), "\nDestination: ", path);
    removeTemp(temp);
    return false;
}

}  // namespace

bool quick_write_helper(const CStdStr& path, const CStdStr& section, const CStdStr& key,
                        const CStdStr& value, int mode) {
    if (path.empty() || section.empty() || key.empty()) return false;
    if (mode != QuickWriteMode && mode != QuickDeleteMode) return false;
    TextFile source;
    if (!openSource(path, source)) return false;
    // In the file's own directory, so that putting it in place is a rename on the same volume.
    PathObject beside(path);
    if (beside.GetDir().empty()) beside.SetDir(".");
    const PathObject temp = get_temp_name(beside);
    if (!writeTemp(source, temp, IniEdit{section, key, value, mode})) {
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
