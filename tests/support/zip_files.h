#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Zip archives for the extraction tests.
struct ZipMember {
    std::string name;  // stored exactly as given, separators included
    std::string content;
    // The stored date and time; month counts from 1. Out-of-range fields are stored as the
    // bit fields hold them, as a damaged archive would.
    int year = 2021;
    int month = 3;
    int day = 14;
    int hours = 15;
    int minutes = 9;
    int seconds = 26;
    bool stored = false;  // without compression
};

// Written with minizip's zip interface, which stores names and dates as given. False when
// the archive cannot be written.
bool writeZipArchive(const std::filesystem::path& archive, const std::vector<ZipMember>& members);

// The contents of directory (with its subdirectories, as entries of their own) packed by
// Info-ZIP zip, with times stored as universal time. False when zip cannot be run or fails.
bool zipDirectory(const std::filesystem::path& directory, const std::filesystem::path& archive);
