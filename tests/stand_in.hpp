#pragma once
// A scripted stand-in for the platform, linked into a test program in place of posix.cpp or
// windows.cpp: each read, write and wait takes its answer from a script, so the console's
// handling of every outcome can be shown without real signals, timers or devices.

#include <deque>
#include <string>
#include <vector>

#include "console/platform.hpp"

namespace stand_in {

constexpr int input = 0;
constexpr int output = 1;

// One answer of the stand-in.
struct step {
    bool waits;              // answers a wait rather than a read or write
    platform::outcome what;  // a wait answers moved when it can wait, failed (with `error`) when it cannot
    std::string arrives;     // a read that moves: the bytes that arrive, as many as fit each time
    std::size_t takes;       // a write that moves: the most it takes (0: everything)
    int error;
};

inline step arrive(std::string bytes) {
    return {false, platform::outcome::moved, std::move(bytes), 0, 0};
}
inline step take(std::size_t bytes) {
    return {false, platform::outcome::moved, {}, bytes, 0};
}
inline step end() {
    return {false, platform::outcome::ended, {}, 0, 0};
}
inline step interrupt() {
    return {false, platform::outcome::interrupted, {}, 0, 0};
}
inline step block() {
    return {false, platform::outcome::would_block, {}, 0, 0};
}
inline step fail(int error) {
    return {false, platform::outcome::failed, {}, 0, error};
}
inline step wake() {
    return {true, platform::outcome::moved, {}, 0, 0};
}
inline step stuck(int error) {
    return {true, platform::outcome::failed, {}, 0, error};
}

struct script {
    std::deque<step> reads;              // answers, in order, to reads and waits on `input`
    std::deque<step> writes;             // the same on `output`; once spent, every write takes everything
    std::string written;                 // every byte a write took
    std::vector<std::string> surprises;  // calls that the script did not expect
};

// The script the stand-in plays; a test sets it before driving a console on `input` and `output`.
script &current();

}  // namespace stand_in
