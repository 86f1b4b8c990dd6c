#pragma once

#include <filesystem>

#include "platform/file_ops.h"

// The times the host keeps for an entry, as FILETIME ticks.
namespace sim {

// Last write and last access; creation is the host's birth time where its file system keeps
// one, else the last write. False, with errno set, when the entry cannot be read.
bool readHostTimes(const std::filesystem::path& host, platform::FileTimes* times);

}  // namespace sim
