#pragma once

#include "commands/generic_info.h"
#include "support/path_object.h"

// Puts single files in place: expands or copies a source onto a destination when the
// destination is missing or older, copes with destinations in use, and records the file.
class InstFileInfo : public GenericInfo {
  public:
    explicit InstFileInfo(RunContext* engine);
    ~InstFileInfo() override = default;

    bool HandleCommand(const std::vector<CStdStr>& arguments) override;
    // Expands an SZDD file, or copies any other file, onto destination.
    bool ourLZCopy(const PathObject& source, const PathObject& destination);

  private:
    PathObject pathArgument(const CStdStr& text) const;
    // Whether the destination is what it should be: the new file, the new file at the next
    // restart, or an existing file that is not older.
    bool install(const PathObject& source, const PathObject& destination, const PathObject& temp);
    bool replaceInUse(const PathObject& source, const PathObject& destination,
                      const PathObject& temp);
    void record(const PathObject& destination, int logKind);
};
