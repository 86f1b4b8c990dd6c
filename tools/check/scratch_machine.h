#pragma once

#include <filesystem>
#include <memory>
#include <string>

// The product's file functions take Windows paths, so the package is read on a simulated
// machine of its own: made fresh in a scratch directory, opened as the process's machine and
// removed with this object.
namespace check {

class ScratchMachine {
  public:
    // Null, with the reason in problem, when the machine cannot be made or opened.
    static std::unique_ptr<ScratchMachine> open(std::string* problem);
    ~ScratchMachine();
    ScratchMachine(const ScratchMachine&) = delete;
    ScratchMachine& operator=(const ScratchMachine&) = delete;

  private:
    explicit ScratchMachine(std::filesystem::path scratch) : scratch(std::move(scratch)) {}

    std::filesystem::path scratch;
};

}  // namespace check
