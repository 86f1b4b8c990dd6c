#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/machine_template.h"

// A fresh simulated machine in a temporary directory, opened as the process's machine for
// the lifetime of the object and removed afterwards.
class TestMachine {
  public:
    explicit TestMachine(const sim::MachineOptions& options = {});
    ~TestMachine();
    TestMachine(const TestMachine&) = delete;
    TestMachine& operator=(const TestMachine&) = delete;

    const std::filesystem::path& dir() const { return root; }
    // Where a Windows path of this machine lives on the host (the path need not exist).
    std::filesystem::path host(const std::string& windowsPath) const;
    // Writes a file at a Windows path, making its directories.
    void writeFile(const std::string& windowsPath, const std::string& content) const;
    std::string readFile(const std::string& windowsPath) const;
    // Re-reads registry.reg after a test edited it by hand.
    void reload() const;

  private:
    std::filesystem::path root;
};

// Host-file helpers for tests.
std::string readHostFile(const std::filesystem::path& path);
void writeHostFile(const std::filesystem::path& path, const std::string& content);
std::vector<std::string> splitLines(const std::string& text);  // on "\r\n" or "\n"

// Points the flight recorder at a file for the lifetime of the object and reads it back.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    std::string text() const;
    std::vector<std::string> lines() const;
    bool contains(const std::string& fragment) const;

  private:
    std::filesystem::path file;
};
