#pragma once

#include <filesystem>

// SZDD files made and read back by the peer tools (mscompress, msexpand), so that the
// simulation's expander is checked against an implementation that is not its own.
// False when the tool cannot be run or fails.
bool makeSzdd(const std::filesystem::path& plain, const std::filesystem::path& compressed);
bool expandSzdd(const std::filesystem::path& compressed, const std::filesystem::path& plain);
