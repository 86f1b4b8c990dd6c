#include "tools/check/standard_lines_check.h"

#include <map>

#include "support/string_tokenizer.h"
#include "tools/driver_package/windows_inf.h"

namespace check {

namespace {

constexpr const char* kCopyFilesKey = "CopyFiles";
constexpr const char* kDataSectionKey = "DataSection";

// Directives whose every line Windows carries out; the utility's look-up stops at the first.
constexpr const char* kListDirectives[] = {"CopyFiles", "AddReg", "DelReg", "UpdateInis"};

// What the utility leaves undone when it reads only the first line of a directive.
const char* firstLineOnlyEffect(const CStdStr& key) {
    if (key.EqualsNoCase(kCopyFilesKey))
        return "so it leaves the files named here out when it compares the driver's "
               "dependent files with the spooler's";
    if (key.EqualsNoCase("AddReg"))
        return "so it neither re-applies the values named here nor records them for the "
               "uninstaller";
    return "so it does not carry out the sections named here";
}

bool isListDirective(const CStdStr& key) {
    for (const char* directive : kListDirectives)
        if (key.EqualsNoCase(directive)) return true;
    return false;
}

void checkFurtherLines(const CheckContext& context, const InstallSection& install) {
    std::map<CStdStr, int> firstLines;  // lower-case key, its first line
    for (const KeyLine& key : PackageInf::keyLines(*install.section)) {
        if (!isListDirective(key.name)) continue;
        const auto [first, isFirst] = firstLines.emplace(key.name.ToLower(), key.line);
        if (isFirst) continue;
        context.warning(key.line,
                        "a further " + key.name + " line: Windows carries out every " + key.name +
                            " line, but the utility reads only the first (line " +
                            std::to_string(first->second) + "), " + firstLineOnlyEffect(key.name) +
                            "; name all the sections on the first line");
    }
}

// Standard directives whose value the utility reads too. The utility's own keys are no
// directive of Windows: a comment there makes a missing section, reported as such.
bool bothRead(const CheckContext& context, const CStdStr& key) {
    const LineLayout* layout = context.catalog.commandLayout(key);
    return (layout != nullptr && layout->plain) || key.EqualsNoCase(kCopyFilesKey) ||
           key.EqualsNoCase(kDataSectionKey);
}

void checkValueComments(const CheckContext& context, const InstallSection& install) {
    for (const KeyLine& key : PackageInf::keyLines(*install.section)) {
        if (!bothRead(context, key.name) || commentStart(key.value) == CStdStr::npos) continue;
        context.warning(key.line, key.name + " value '" + key.value +
                                      "': Windows ends the value at ';', but the utility reads "
                                      "the comment as part of it and looks for a section "
                                      "whose name ends in it, which does not exist; put the "
                                      "comment on a line of its own");
    }
}

// The file name the utility takes from a file-list line: the text before an "=" that is not
// the first character, else the whole line.
CStdStr utilityFileName(const CStdStr& line) {
    const size_t equals = line.find('=');
    return equals != CStdStr::npos && equals > 0 ? CStdStr(line.substr(0, equals)) : line;
}

// The destination Windows copies to: the line's first field.
CStdStr windowsFileName(const CStdStr& line) {
    const std::vector<std::string> fields = driver_package::splitInfFields(line);
    return fields.empty() ? CStdStr() : CStdStr(fields.front());
}

void checkFileListLine(const CheckContext& context, const CStdStr& text, int line) {
    if (text.find('=') != CStdStr::npos) return;  // not the documented form
    const CStdStr windows = windowsFileName(text);
    if (utilityFileName(text) == windows) return;
    context.warning(line, "file-list line '" + text + "': Windows copies " + windows +
                              ", but the utility takes the whole line as the file's name when it "
                              "compares the driver's dependent files with the spooler's, finds "
                              "that name missing on every run and re-registers the driver with "
                              "it (on the NT family this fails with \"dependent file not "
                              "found\"); write the file name alone, " +
                              windows +
                              ", with the source file of the same name and no flags or comment");
}

void checkFileLists(const CheckContext& context, const InstallSection& install) {
    const std::optional<KeyLine> copyFiles = PackageInf::firstKey(*install.section, kCopyFilesKey);
    if (!copyFiles) return;
    std::vector<CStdStr> names;
    StringTokenizer(copyFiles->value, ',', StringTokenizer::TrimBefore).all(names);
    for (const CStdStr& name : names) {
        if (name.empty() || name[0] == '@') continue;
        const InfSection* list = context.inf.section(name);
        if (list == nullptr) continue;
        for (size_t i = 0; i < list->lines.size(); ++i)
            checkFileListLine(context, list->lines[i], list->lineNumbers[i]);
    }
}

}  // namespace

size_t commentStart(const CStdStr& text) {
    bool quoted = false;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '"') quoted = !quoted;
        if (text[at] == ';' && !quoted) return at;
    }
    return CStdStr::npos;
}

bool isCommentedHeader(const CStdStr& line) {
    const size_t comment = commentStart(line);
    if (line.empty() || line[0] != '[' || comment == CStdStr::npos) return false;
    const CStdStr header = CStdStr(line.substr(0, comment)).Trimmed();
    return header.size() > 1 && header.back() == ']';
}

void checkSectionHeaders(const CheckContext& context) {
    for (const InfSection& section : context.inf.sections())
        for (size_t i = 0; i < section.lines.size(); ++i) {
            const CStdStr& line = section.lines[i];
            if (!isCommentedHeader(line)) continue;
            const CStdStr header = CStdStr(line.substr(0, commentStart(line))).Trimmed();
            context.warning(section.lineNumbers[i],
                            "section header '" + line + "': Windows starts section " + header +
                                " here, but the utility takes a line for a header only when it "
                                "ends in ']', so it reads this line and those after it as lines "
                                "of [" +
                                section.name + "] and never finds " + header +
                                "; put the comment on a line of its own");
        }
}

void checkStandardLines(const CheckContext& context, const InstallSection& install) {
    checkFurtherLines(context, install);
    checkValueComments(context, install);
    checkFileLists(context, install);
}

}  // namespace check
