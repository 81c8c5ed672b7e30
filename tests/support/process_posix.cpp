#include "support/process.h"

#include "driver/run.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

RunResult collect(pid_t pid, int readEnd)
{
    RunResult result{-1, {}};
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(readEnd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(readEnd);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.status = 128 + WTERMSIG(status);
    return result;
}

// Forks with the child's standard output on a pipe; calls `child` there
// (which must not return) and collects what it printed and its status.
template <class Child>
RunResult forkAndCollect(const std::filesystem::path& workDir, Child child)
{
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(125);
        child();
        ::_exit(126);
    }
    ::close(out[1]);
    return collect(pid, out[0]);
}

std::vector<char*> argumentVector(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return args;
}

}  // namespace

RunResult runHxdemuxForked(const std::vector<std::string>& argv,
                           const std::filesystem::path& workDir)
{
    return forkAndCollect(workDir, [&] {
        std::vector<char*> args = argumentVector(argv);
        const int status = runHxdemux(static_cast<int>(argv.size()), args.data());
        std::fflush(stdout);
        ::_exit(status);
    });
}

RunResult runProgram(const std::string& program, const std::vector<std::string>& argv,
                     const RunOptions& options)
{
    return forkAndCollect(options.workDir, [&] {
        if (options.addressSpaceLimit != 0) {
            const rlimit limit{options.addressSpaceLimit, options.addressSpaceLimit};
            if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(125);
        }
        for (const std::string& entry : options.environment) {
            ::putenv(const_cast<char*>(entry.c_str()));
        }
        std::vector<char*> args = argumentVector(argv);
        ::execv(program.c_str(), args.data());
    });
}
