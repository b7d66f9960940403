#pragma once
// Interrupts a system call only once it is seen blocked in the kernel, never on a timer, so that a
// test that wants EINTR gets it however loaded the machine is. Linux only: it reads /proc.

#include <functional>
#include <string>

namespace posix_test {

enum class blocking_call { read, write, poll };

// Makes `call` on this thread while another thread watches it: each time the call is seen blocked
// in `in`, it is sent a signal whose handler has no SA_RESTART, `times` times in all, each once
// the last was handled; then `release` makes its descriptor ready so that it can return. Returns
// "" once that is done, or what was not seen: the call returned early, or it was not seen blocked
// before a deadline, in which case `release` is called anyway so that the test never hangs.
std::string interrupt(blocking_call in, int times, const std::function<void()> &call,
                      const std::function<void()> &release);

}  // namespace posix_test
