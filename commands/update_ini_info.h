#pragma once

#include "commands/generic_info.h"

// Deletes one key and writes one key of a section of an INI file on the target system,
// creating the file when a key is to be written into one that does not exist yet. Its lines
// have no install-kind field: every field is an argument.
class UpdateIniInfo : public GenericInfo {
  public:
    explicit UpdateIniInfo(RunContext* engine);
    ~UpdateIniInfo() override = default;

    bool ParseCommand(const CStdStr& line) override { return ParseCommandPlain(line); }
    // Arguments: INI file, section, key=value to delete (or empty), key=value to write.
    bool HandleCommand(const std::vector<CStdStr>& arguments) override;
};
