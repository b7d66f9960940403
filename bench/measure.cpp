// Runs one command with standard input and output on files and prints its CPU seconds
// (user+sys), peak resident KiB and minor page faults. Started from this small process through
// posix_spawn rather than from the benchmark's interpreter, the child inherits no large address
// space that would be torn down, copied or counted on its account.
//
// Usage: measure INPUT OUTPUT COMMAND [ARG...]
//   OUTPUT "|" is a pipe that this process drains.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string_view>

extern char **environ;  // NOLINT(readability-redundant-declaration): not every unistd.h declares it

int main(int argc, char **argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: measure INPUT OUTPUT COMMAND [ARG...]\n");
        return 2;
    }
    posix_spawn_file_actions_t files{};
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, argv[1], O_RDONLY, 0);
    std::array<int, 2> drain{-1, -1};
    if (std::string_view(argv[2]) == "|") {
        if (pipe(drain.data()) != 0) {
            std::perror("measure");
            return 2;
        }
        posix_spawn_file_actions_adddup2(&files, drain[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&files, drain[0]);
    } else {
        // Emptying a large old output here keeps the cost of freeing it off the child's account.
        unlink(argv[2]);
        posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, argv[2], O_WRONLY | O_CREAT | O_EXCL, 0644);
    }
    pid_t child = 0;
    if (posix_spawn(&child, argv[3], &files, nullptr, argv + 3, environ) != 0) {
        std::perror("measure");
        return 2;
    }
    if (drain[0] >= 0) {
        close(drain[1]);
        std::array<char, 65536> chunk{};
        while (read(drain[0], chunk.data(), chunk.size()) > 0) {
        }
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0) {
        std::perror("measure");
        return 2;
    }
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%.6f %ld %ld\n", cpu, usage.ru_maxrss, usage.ru_minflt);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
