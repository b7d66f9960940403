#pragma once
// The console's answer to what the platform reports, written once for reading and writing:
// an interrupted call is made again, and a descriptor that someone made non-blocking is waited
// on, never spun on.

#include <span>

#include "console/platform.hpp"

namespace console_internal {

// One read into `buf` that brought bytes (moved), or found the end of the input (ended), or
// failed, always with an errno. A descriptor that can be neither waited on nor made to wait
// fails with wait's errno.
platform::result read_some(int fd, std::span<char> buf);

// Writes the whole of `text`. Returns 0, or the errno of the failure that stopped it.
int write_all(int fd, std::span<const char> text);

}  // namespace console_internal
