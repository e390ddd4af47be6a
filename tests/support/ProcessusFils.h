#pragma once

// Pieces of a test run in a child process, so that a file-size limit, a
// limit on open files or another user apply to that piece alone: the full
// disk and the folder that cannot be written, deterministically and even
// when the tests run as root.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kiv_test {

/**
 * Runs `corps` in a forked child and returns the child's exit code (what
 * `corps` returned, 0 .. 255), or -1 when the child did not exit normally.
 */
inline int dansUnFils(const std::function<int()>& corps)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int code = corps();
        std::fflush(nullptr);
        ::_exit(code);
    }
    if (pid < 0) {
        return -1;
    }
    int statut = 0;
    while (::waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
}

/**
 * This process may write files of at most `octets` bytes; a write beyond
 * fails with EFBIG (as on a full disk) instead of raising SIGXFSZ.
 */
inline bool limiterTailleFichiers(rlim_t octets)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite{};
    if (::getrlimit(RLIMIT_FSIZE, &limite) != 0) {
        return false;
    }
    limite.rlim_cur = octets;
    return ::setrlimit(RLIMIT_FSIZE, &limite) == 0;
}

/** Root drops to "nobody" (65534), whom folder rights stop; anyone else stays. */
inline bool sansPrivileges()
{
    if (::geteuid() != 0) {
        return true;
    }
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

} // namespace kiv_test
