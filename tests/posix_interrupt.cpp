#include "posix_interrupt.hpp"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

namespace posix_test {

namespace {

using steady = std::chrono::steady_clock;

// Far beyond what blocking takes on a loaded machine; the test's own time limit is longer.
constexpr auto patience = std::chrono::seconds(10);
constexpr auto between_looks = std::chrono::microseconds(100);

// A signal handler reaches only static storage: this count is how the watcher learns that a
// signal landed, before it looks for the call blocking again.
std::atomic<int> handled{0};

void count(int /*signal*/) {
    handled.fetch_add(1);
}

const char *name(blocking_call in) {
    switch (in) {
        case blocking_call::read:
            return "read";
        case blocking_call::write:
            return "write";
        case blocking_call::poll:
            return "poll";
    }
    return "?";
}

// Architectures without poll(2) have the C library make ppoll(2) instead.
bool is(blocking_call in, long number) {
    switch (in) {
        case blocking_call::read:
            return number == SYS_read;
        case blocking_call::write:
            return number == SYS_write;
        case blocking_call::poll:
#ifdef SYS_poll
            if (number == SYS_poll) {
                return true;
            }
#endif
            return number == SYS_ppoll;
    }
    return false;
}

// The system call that thread `tid` sleeps in. The kernel answers only for a thread that is not
// running: "running" otherwise, and -1 for one that sleeps outside any system call.
long sleeping_in(pid_t tid, bool &readable) {
    std::ifstream file("/proc/self/task/" + std::to_string(tid) + "/syscall");
    readable = file.is_open();
    long number = -1;
    file >> number;
    return file ? number : -1;
}

struct watched {
    blocking_call in;
    int times;
    pid_t tid;
    pthread_t thread;
    const std::atomic<bool> &returned;
};

// Waits until `seen` holds; false once the call has returned without it, or at `until`.
template <class Seen>
bool await(const watched &w, steady::time_point until, Seen seen) {
    while (!seen()) {
        if (w.returned) {
            return seen();  // a signal is handled before the call it interrupted returns
        }
        if (steady::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(between_looks);
    }
    return true;
}

std::string watch(const watched &w, const std::function<void()> &release) {
    const steady::time_point until = steady::now() + patience;
    bool readable = false;
    std::string missed;
    for (int sent = 0; sent < w.times && missed.empty(); ++sent) {
        if (!await(w, until, [&w, &readable] { return is(w.in, sleeping_in(w.tid, readable)); })) {
            missed = std::string(w.returned ? "returned" : "was not seen blocked") + " after " +
                     std::to_string(sent) + " of " + std::to_string(w.times) + " signals, in " + name(w.in) +
                     (readable ? "" : ": /proc/self/task/<tid>/syscall is unreadable");
        } else if (pthread_kill(w.thread, SIGUSR1) != 0 ||
                   !await(w, until, [sent] { return handled == sent + 1; })) {
            missed = "signal " + std::to_string(sent + 1) + " was not handled";
        }
    }
    if (!w.returned) {
        release();
    }
    return missed;
}

}  // namespace

std::string interrupt(blocking_call in, int times, const std::function<void()> &call,
                      const std::function<void()> &release) {
    struct sigaction act {};  // no SA_RESTART: a read or write the signal lands in returns EINTR
    act.sa_handler = count;
    sigemptyset(&act.sa_mask);
    struct sigaction before {};
    if (sigaction(SIGUSR1, &act, &before) != 0) {
        return "no handler for SIGUSR1";
    }
    handled = 0;
    std::atomic<bool> returned{false};
    const watched w{in, times, gettid(), pthread_self(), returned};
    std::string missed;
    std::thread watcher([&w, &release, &missed] { missed = watch(w, release); });
    call();
    returned = true;
    watcher.join();
    sigaction(SIGUSR1, &before, nullptr);
    return missed;
}

}  // namespace posix_test
