#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Machine data for the file tests: files held open, restart-time operations, file times.
void setFileInUse(const std::string& windowsPath, uint32_t code);
// A holder of another kind: "share=none", "share=read,delete", "image", ...
void setFileHeld(const std::string& windowsPath, const std::string& how);
// PendingFileRenameOperations as its list of texts (empty when the value is missing).
std::vector<std::string> pendingFileRenames();
void setLastWriteTime(const std::string& windowsPath, uint64_t fileTime);
// Names in a directory of the machine that the system's temporary-name scheme made.
std::vector<std::string> tempFilesIn(const std::string& windowsDirectory);
