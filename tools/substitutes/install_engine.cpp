// Stands in for the outside install engine: records every call, reads the script it is given
// into the record, and reports the error code that the file "ErrorCode.txt" in its working
// directory holds (0 without one), so that tests can choose the outcome.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tools/substitutes/call_record.h"

using substitute::quoted;

namespace {

std::string workingDir;
int32_t errorCode = 0;

std::string scriptText(const char* script) {
    std::ifstream in(substitute::localPath(script ? script : ""), std::ios::binary);
    std::string text, line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!text.empty()) text += "|";
        text += line;
    }
    return text;
}

int32_t chosenErrorCode() {
    std::ifstream in(substitute::localPath(workingDir + "\\ErrorCode.txt"));
    long code = 0;
    return (in >> code) ? static_cast<int32_t>(code) : 0;
}

}  // namespace

extern "C" void SetWorkingDirA(const char* dir) {
    workingDir = dir ? dir : "";
    substitute::recordCall("Engine.dll SetWorkingDirA(" + quoted(dir) + ")");
}

extern "C" void SetLanguageA(const char* language) {
    substitute::recordCall("Engine.dll SetLanguageA(" + quoted(language) + ")");
}

extern "C" bool DoInstallA(const char* script, const char* first, const char* second) {
    errorCode = chosenErrorCode();
    substitute::recordCall("Engine.dll DoInstallA(" + quoted(script) + ", " + quoted(first) + ", " +
                           quoted(second) + ") script: " + scriptText(script));
    return errorCode == 0;
}

extern "C" int32_t GetErrorCode() {
    substitute::recordCall("Engine.dll GetErrorCode() = " + std::to_string(errorCode));
    return errorCode;
}
