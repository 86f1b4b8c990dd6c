#pragma once

#include <string>
#include <vector>

// The subcommands; each receives the words after its own name and returns the exit code.
namespace winsim {

int runNew(const std::vector<std::string>& words);
int runRegImport(const std::vector<std::string>& words);
int runRegExport(const std::vector<std::string>& words);
int runPrinterAdd(const std::vector<std::string>& words);
int runDriverAdd(const std::vector<std::string>& words);
int runMonitorAdd(const std::vector<std::string>& words);
int runProcessorAdd(const std::vector<std::string>& words);
int runShow(const std::vector<std::string>& words);
int runExec(const std::vector<std::string>& words);
int runDump(const std::vector<std::string>& words);
int runHold(const std::vector<std::string>& words);
int runTry(const std::vector<std::string>& words);

// The Windows versions `new` makes, as its --os spells them ("98se", "xp").
std::vector<std::string> knownVersions();
bool isKnownVersion(const std::string& name);

}  // namespace winsim
