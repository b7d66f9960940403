#include "stand_in.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace stand_in {

script &current() {
    static script played;
    return played;
}

namespace {

constexpr std::size_t most_written = 1 << 20;  // far more than any script calls for

// The next answer on `fd`, or none when the script has no such call next: a surprise. After one,
// every call fails, as on a descriptor gone bad, so that a faulty console stops instead of looping.
bool next(int fd, bool waits, step &answer) {
    script &s = current();
    if (!s.surprises.empty()) {
        return false;
    }
    std::deque<step> *queue = fd == input ? &s.reads : fd == output ? &s.writes : nullptr;
    if (queue != nullptr && !queue->empty() && queue->front().waits == waits) {
        answer = std::move(queue->front());
        queue->pop_front();
        return true;
    }
    if (queue == &s.writes && queue->empty() && !waits && s.written.size() < most_written) {
        answer = take(0);
        return true;
    }
    s.surprises.push_back((waits ? "wait on " : "call on ") + std::to_string(fd));
    return false;
}

}  // namespace

}  // namespace stand_in

namespace platform {

result read(int fd, std::span<char> buf) {
    stand_in::step s;
    if (!stand_in::next(fd, false, s) || fd != stand_in::input) {
        return {outcome::failed, 0, EBADF};
    }
    if (s.what != outcome::moved) {
        return {s.what, 0, s.error};
    }
    const std::size_t n = std::min(buf.size(), s.arrives.size());
    std::memcpy(buf.data(), s.arrives.data(), n);
    if (n < s.arrives.size()) {
        // The rest arrives with the next read.
        stand_in::current().reads.push_front(stand_in::arrive(s.arrives.substr(n)));
    }
    return {outcome::moved, n, 0};
}

result write(int fd, std::span<const char> buf) {
    stand_in::step s;
    if (!stand_in::next(fd, false, s) || fd != stand_in::output) {
        return {outcome::failed, 0, EBADF};
    }
    if (s.what != outcome::moved) {
        return {s.what, 0, s.error};
    }
    const std::size_t n = s.takes == 0 ? buf.size() : std::min(buf.size(), s.takes);
    stand_in::current().written.append(buf.data(), n);
    return {outcome::moved, n, 0};
}

int wait(int fd, direction /*way*/) {
    stand_in::step s;
    if (!stand_in::next(fd, true, s)) {
        return EBADF;
    }
    return s.what == outcome::moved ? 0 : s.error;
}

bool is_terminal(int /*fd*/) {
    return false;
}

bool is_file(int /*fd*/) {
    return false;
}

const bool end_of_input_leaves_line_open = true;

}  // namespace platform
