#include "console/transfer.hpp"

#include <cerrno>

namespace console_internal {

namespace {

// The one place a failure is given a reason where the platform gave none: EIO, as for a device
// that stopped taking or giving bytes.
platform::result failure(int error) {
    return {platform::outcome::failed, 0, error != 0 ? error : EIO};
}

// Makes `call` until it moves bytes, ends or fails.
template <class Call>
platform::result settled(int fd, platform::direction way, Call call) {
    for (;;) {
        const platform::result r = call();
        switch (r.what) {
            case platform::outcome::interrupted:
                break;
            case platform::outcome::would_block:
                if (const int error = platform::wait(fd, way); error != 0) {
                    return failure(error);
                }
                break;
            case platform::outcome::failed:
                return failure(r.error);
            case platform::outcome::ended:
                // A write that takes nothing makes no progress and never will.
                return way == platform::direction::out ? failure(0) : r;
            case platform::outcome::moved:
                return r;
        }
    }
}

}  // namespace

platform::result read_some(int fd, std::span<char> buf) {
    return settled(fd, platform::direction::in, [fd, buf] { return platform::read(fd, buf); });
}

int write_all(int fd, std::span<const char> text) {
    while (!text.empty()) {
        const platform::result r =
            settled(fd, platform::direction::out, [fd, text] { return platform::write(fd, text); });
        if (r.what != platform::outcome::moved) {
            return r.error;
        }
        text = text.subspan(r.bytes);
    }
    return 0;
}

}  // namespace console_internal
