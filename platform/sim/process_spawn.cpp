#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/host_files.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/process_host.h"
#include "platform/sim/registry_store.h"

extern char** environ;

namespace sim::process {

namespace {

constexpr uint32_t kBadExeFormat = 193;
constexpr uint32_t kDirectoryInvalid = 267;

uint32_t win32ErrorOfErrno(int error) {
    switch (error) {
        case ENOENT:
            return platform::error::kFileNotFound;
        case EACCES:
        case EPERM:
            return platform::error::kAccessDenied;
        case ENOMEM:
            return platform::error::kNotEnoughMemory;
        default:
            return kBadExeFormat;
    }
}

// The caller's environment with WINSIM_MACHINE naming this machine.
std::vector<std::string> childEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "WINSIM_MACHINE=", 15) != 0) entries.emplace_back(*entry);
    entries.push_back("WINSIM_MACHINE=" + sim::machineDirectory().string());
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Only async-signal-safe calls between fork and exec; a failed exec sends its errno back
// through the pipe, which closes by itself when the exec succeeds.
[[noreturn]] void becomeProgram(const char* directory, const char* program, char** argv,
                                char** envp, int reportFd) {
    int error = 0;
    if (chdir(directory) == 0) execve(program, argv, envp);
    error = errno;
    (void)!write(reportFd, &error, sizeof error);
    _exit(127);
}

std::vector<pid_t>& adopted() {
    static std::vector<pid_t>* children = new std::vector<pid_t>;
    return *children;
}

}  // namespace

uint32_t spawnHostProgram(const std::string& hostPath, const std::vector<std::string>& words,
                          pid_t* pid) {
    reapAdopted();
    // The program reads registry.reg and may change any file of the machine.
    sim::registry::flush();
    sim::forgetDirectoryListings();
    const sim::ResolvedPath cwd = sim::resolvePath(sim::machineState().currentDirectory);
    if (!cwd.exists || !sim::isDirectory(cwd.host)) return kDirectoryInvalid;
    const std::string directory = cwd.host.string();
    std::vector<std::string> arguments = words;
    std::vector<std::string> environment = childEnvironment();
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(environment);
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return platform::error::kNotEnoughMemory;
    const pid_t child = fork();
    if (child == 0)
        becomeProgram(directory.c_str(), hostPath.c_str(), argv.data(), envp.data(), report[1]);
    close(report[1]);
    if (child < 0) {
        close(report[0]);
        return platform::error::kNotEnoughMemory;
    }
    int error = 0;
    ssize_t got = 0;
    do got = read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        waitpid(child, nullptr, 0);
        return win32ErrorOfErrno(error);
    }
    *pid = child;
    return 0;
}

uint32_t exitCodeOfStatus(int status) {
    if (WIFEXITED(status)) return static_cast<uint32_t>(WEXITSTATUS(status));
    // A program ended by a signal reports it as a shell does.
    if (WIFSIGNALED(status)) return 128u + static_cast<uint32_t>(WTERMSIG(status));
    return 0;
}

void adoptUnfinished(pid_t pid) { adopted().push_back(pid); }

void reapAdopted() {
    std::vector<pid_t>& children = adopted();
    std::erase_if(children, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

}  // namespace sim::process
