#include "tests/support/program_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/sim/registry_store.h"

namespace {

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    return text;
}

}  // namespace

std::vector<std::string> testWrapperCommand() {
    std::vector<std::string> words;
    const char* wrapper = std::getenv("DADAZADO_TEST_WRAPPER");
    std::istringstream in(wrapper ? wrapper : "");
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& extraEnvironment) {
    // The program reads the machine's registry.reg: the test's own changes go there first.
    sim::registry::flush();
    int errPipe[2];
    if (pipe(errPipe) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(errPipe[1], 2);
        close(errPipe[0]);
        close(errPipe[1]);
        for (const auto& [name, value] : extraEnvironment) setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(errPipe[1]);
    ProgramResult result;
    result.standardError = readAll(errPipe[0]);
    close(errPipe[0]);
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

ProgramResult runDadazado(const std::filesystem::path& machine,
                          const std::vector<std::string>& args) {
    std::vector<std::string> command = testWrapperCommand();
    if (command.empty())
        return runProgram(DADAZADO_BINARY, args, {{"WINSIM_MACHINE", machine.string()}});
    const std::string program = command.front();
    command.erase(command.begin());
    command.push_back(DADAZADO_BINARY);
    command.insert(command.end(), args.begin(), args.end());
    return runProgram(program, command, {{"WINSIM_MACHINE", machine.string()}});
}
