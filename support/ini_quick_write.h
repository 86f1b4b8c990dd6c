#pragma once

#include "support/cstd_str.h"

// Changes one key of an existing INI file and leaves every other line (comments and blank
// lines included) where it was. The file is rewritten into a temporary file beside it, which
// then takes the file's place in one step, so a failure at any point leaves the file as it
// was. Failures are logged; nothing throws.

constexpr int QuickWriteMode = 1;
constexpr int QuickDeleteMode = 2;

// Replaces the key's value in the section, or adds the key (and the section when it is
// missing). True when the file holds the new entry.
bool QuickWriteIniString(const CStdStr& path, const CStdStr& section, const CStdStr& key,
                         const CStdStr& value);

// Removes the first line of the key in the section; a non-empty value restricts that to a
// line whose value matches it (case ignored). True when the file was rewritten.
bool QuickDeleteIniString(const CStdStr& path, const CStdStr& section, const CStdStr& key,
                          const CStdStr& value);

// The routine behind both, with QuickWriteMode or QuickDeleteMode. An empty path, section or
// key is refused without a message and touches no file.
bool quick_write_helper(const CStdStr& path, const CStdStr& section, const CStdStr& key,
                        const CStdStr& value, int mode);
