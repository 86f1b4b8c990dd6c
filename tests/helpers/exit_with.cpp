// A program for the launcher tests to start: records its arguments, working directory and
// machine in exit_with.out beside itself, then exits with the code its first argument names.
// An argument --sleep-ms=N makes it take that long first.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const std::string sleepOption = "--sleep-ms=";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(sleepOption, 0) == 0)
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::atoi(arg.c_str() + sleepOption.size())));
    }
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return 120;
    const char* machine = std::getenv("WINSIM_MACHINE");
    // Written under another name and renamed, so a reader never sees half a record.
    const fs::path record = self.parent_path() / "exit_with.out";
    const fs::path partial = self.parent_path() / "exit_with.out.partial";
    {
        std::ofstream out(partial, std::ios::binary);
        out << "cwd=" << fs::current_path(ec).string() << '\n';
        out << "machine=" << (machine != nullptr ? machine : "") << '\n';
        for (int i = 1; i < argc; ++i) out << "arg=" << argv[i] << '\n';
    }
    fs::rename(partial, record, ec);
    return argc > 1 ? std::atoi(argv[1]) : 0;
}
