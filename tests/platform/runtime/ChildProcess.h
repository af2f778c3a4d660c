#pragma once
// Runs a piece of a test in a forked child process and reports its exit code.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

namespace test {

/// The exit code of `body` run in a child (125 when it threw, -1 when the child did not exit).
inline int RunInChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 125;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

/// In a child: files may grow to `bytes` at most, so a larger write fails (EFBIG) even for root.
inline void LimitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit {
        bytes, bytes
    };
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace test
