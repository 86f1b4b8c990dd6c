#include "commands/generic_info.h"

#include "commands/run_context.h"
#include "support/debug_log.h"
#include "support/string_tokenizer.h"

GenericInfo::GenericInfo(RunContext* engine, const CStdStr& commandKey,
                         const CStdStr& driverOverride)
    : engine(engine), commandKey(commandKey), driverOverride(driverOverride) {}

bool GenericInfo::Process() {
    LogLine("GenericInfo::Process: Processing ", commandKey);
    GetDebugLog().StartTimer();
    const CStdStr section = driverOverride.empty() ? engine->getInstallSection()
                                                   : engine->getInstallSection(driverOverride);
    const bool result = ReadINF(section);
    GetDebugLog().LogElapsed("GenericInfo::Process: Finished.  (Elapsed time: %f seconds.)");
    return result;
}

bool GenericInfo::ReadINF(const CStdStr& installSection) {
    CStdStr value;
    if (!engine->getInfValue(installSection, commandKey, value)) return false;
    StringTokenizer names(value, ',', 0);
    while (names.hasMore()) {
        CStdStr name;
        names.next(name);
        const std::vector<CStdStr>* lines = engine->findInfSection(name);
        if (lines == nullptr) {
            LogLine("GenericInfo::ReadINF: Section ", name, " not found");
            continue;
        }
        // A copy: a handler may not change the INF, but it must not matter if one did.
        const std::vector<CStdStr> commands = *lines;
        for (const CStdStr& line : commands)
            if (!ParseCommand(line)) logParseError(installSection, line);
    }
    return true;
}

bool GenericInfo::ParseCommand(const CStdStr& line) {
    std::vector<CStdStr> fields;
    StringTokenizer(line, ',', StringTokenizer::Quotes).all(fields);
    if (fields.size() < 2) {
        LogLine("GenericInfo::ParseCommand: command ", line, " is invalid!");
        return false;
    }
    if (!engine->isCommandForThisInstall(cstd::atoi(fields[1]))) return false;
    return HandleCommand(std::vector<CStdStr>(fields.begin() + 2, fields.end()));
}

bool GenericInfo::ParseCommandPlain(const CStdStr& line) {
    std::vector<CStdStr> fields;
    StringTokenizer(line, ',', StringTokenizer::Quotes).all(fields);
    HandleCommand(fields);
    return true;
}

void GenericInfo::logParseError(const CStdStr& installSection, const CStdStr& line) const {
    LogLine("GenericInfo::ReadINF: Error parsing command:");
    LogLine("\t\tSection: ", installSection);
    LogLine("\t\tCommand Name: ", commandKey);
    LogLine("\t\tCommand: ", line);
}
