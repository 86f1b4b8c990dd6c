#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>

// Resolving a path without regard to case lists directories. The listings are kept, by
// case-folded name, so that a run does not read a large directory again for every file it
// puts there. A listing is read again when the directory's modification time moves under it
// (something else changed it), the machine's own calls keep the listings they change up to
// date through EntryChange, and starting or ending a program drops them all.
namespace sim {

// The real name of the entry of dir that matches name without regard to case; false when
// there is none.
bool findListedEntry(const std::filesystem::path& dir, const std::string& name,
                     std::string* realName);

// Held around every call of the machine that creates, removes or renames the host entry:
// a change the machine did not make itself since the listing was read drops the listing, and
// the machine's own change is written into it.
class EntryChange {
  public:
    explicit EntryChange(const std::filesystem::path& host);
    ~EntryChange();
    EntryChange(const EntryChange&) = delete;
    EntryChange& operator=(const EntryChange&) = delete;

  private:
    std::filesystem::path host;
};

// The host directory a Windows directory path (drive and components, folded: "c:\\out\\d000")
// resolved to when it was last walked. Kept until a directory at or above it goes away or
// moves through the machine's own calls, or a program runs: resolving a file below it then
// looks at its last component only.
bool findResolvedDirectory(const std::string& windowsDir, std::filesystem::path* host);
void rememberResolvedDirectory(const std::string& windowsDir, const std::filesystem::path& host);

// Drops the listings and the resolved directories.
void forgetDirectoryListings();

}  // namespace sim
