#include "commands/update_ini_info.h"

#include "commands/run_context.h"
#include "support/debug_log.h"
#include "support/ini_quick_write.h"
#include "support/path_object.h"
#include "support/string_tokenizer.h"
#include "support/text_file.h"

namespace {

struct KeyValue {
    CStdStr key;
    CStdStr value;
};

// Split at the first '='; the value ends at a second one.
KeyValue splitKeyValue(const CStdStr& field) {
    KeyValue entry;
    StringTokenizer words(field, '=', 0);
    words.next(entry.key);
    words.next(entry.value);
    entry.key.TrimRight();
    entry.value.TrimLeft();
    return entry;
}

void createEmptyFile(const CStdStr& path) {
    TextFile file;
    file.Open(path, TextFile::WriteMode, TextFile::AnsiText);
}

void logWriteFailure(const CStdStr& file, const CStdStr& section, const KeyValue& entry) {
    LogLine("UpdateIniInfo::HandleCommand: QuickWriteIniString failed.");
    LogLine("\tFile = ", file);
    LogLine("\tSection = ", section);
    LogLine("\tKey Name = ", entry.key);
    LogLine("\tValue = ", entry.value);
}

bool writeKey(const CStdStr& file, const CStdStr& section, const KeyValue& entry) {
    if (!PathObject(file).Exists()) createEmptyFile(file);
    if (QuickWriteIniString(file, section, entry.key, entry.value)) return true;
    logWriteFailure(file, section, entry);
    return false;
}

}  // namespace

UpdateIniInfo::UpdateIniInfo(RunContext* engine) : GenericInfo(engine, "UpdateInis") {}

// True when at least one edit was asked for and every edit asked for succeeded: a failed
// delete is not reported as success.
bool UpdateIniInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.size() < 3) {
        LogLine("UpdateIniInfo::HandleCommand: not enough arguments!");
        return false;
    }
    const CStdStr file = engine->DecodeMacros(arguments[0], 255);
    const CStdStr section = engine->DecodeMacros(arguments[1], 255);
    const CStdStr toDelete = engine->DecodeMacros(arguments[2], 255);
    const CStdStr toWrite =
        arguments.size() > 3 ? engine->DecodeMacros(arguments[3], 255) : CStdStr();
    if (toDelete.empty() && toWrite.empty()) return false;
    bool result = true;
    if (!toDelete.empty()) {
        const KeyValue entry = splitKeyValue(toDelete);
        result = QuickDeleteIniString(file, section, entry.key, entry.value);
    }
    if (!toWrite.empty() && !writeKey(file, section, splitKeyValue(toWrite))) result = false;
    return result;
}
