#pragma once

#include <filesystem>
#include <string>

// A fresh simulated machine in a temporary directory, opened as the process's machine while
// the object lives. The micro benchmarks run against it as the product runs against a real
// machine.
class BenchMachine {
  public:
    BenchMachine();
    ~BenchMachine();
    BenchMachine(const BenchMachine&) = delete;
    BenchMachine& operator=(const BenchMachine&) = delete;

    // Where a Windows path of the machine lives on the host; its directories are made.
    std::filesystem::path host(const std::string& windowsPath) const;
    void writeFile(const std::string& windowsPath, const std::string& content) const;

  private:
    std::filesystem::path root;
};

// Bytes of the given size that compress about as well as a driver library.
std::string mixedBytes(size_t size);
// The bytes in the SZDD format, every byte a literal: the expander does its full per-byte
// work without the test depending on a compressor.
std::string literalSzdd(const std::string& bytes);
