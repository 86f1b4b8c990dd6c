#pragma once

#include <filesystem>
#include <string>

// Changing one member of a zip archive that stays otherwise as it was.
namespace winsim {

// Whether the archive (a host file) holds a member of this name ('/' or '\\' between the
// parts, case ignored).
bool archiveHasMember(const std::filesystem::path& archive, const std::string& name);

// Rewrites the archive with that member's content replaced by content; every other member is
// copied as stored. False (the archive left as it was) when it cannot be read or written.
bool replaceArchiveMember(const std::filesystem::path& archive, const std::string& name,
                          const std::string& content);

}  // namespace winsim
