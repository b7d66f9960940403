// Runs one command with standard input and output on files and prints its CPU seconds
// (user+sys) and peak resident KiB. Started from this small process rather than from the
// benchmark's interpreter, the child inherits no large address space that would be torn
// down on its account or counted in its peak.
//
// Usage: measure INPUT OUTPUT COMMAND [ARG...]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: measure INPUT OUTPUT COMMAND [ARG...]\n");
        return 2;
    }
    // Emptying a large old output here keeps the cost of freeing it off the child's account.
    unlink(argv[2]);
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(argv[1], O_RDONLY);
        const int out = open(argv[2], O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (in < 0 || out < 0 || dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0) {
            _exit(127);
        }
        execv(argv[3], argv + 3);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) < 0) {
        std::perror("measure");
        return 2;
    }
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%.6f %ld\n", cpu, usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
