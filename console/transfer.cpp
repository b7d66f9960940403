#include "console/transfer.hpp"

#include <cerrno>

namespace console_internal {

namespace {

// Makes `call` until it moves bytes, ends or fails.
template <class Call>
platform::result settled(int fd, platform::direction way, Call call) {
    for (;;) {
        const platform::result r = call();
        if (r.what == platform::outcome::would_block) {
            const int error = platform::wait(fd, way);
            if (error != 0) {
                return {platform::outcome::failed, 0, error};
            }
        } else if (r.what == platform::outcome::failed && r.error == 0) {
            return {platform::outcome::failed, 0, EIO};  // a failure is never reported as none
        } else if (r.what != platform::outcome::interrupted) {
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
            return r.error != 0 ? r.error : EIO;  // a write that ends takes nothing: no progress
        }
        text = text.subspan(r.bytes);
    }
    return 0;
}

}  // namespace console_internal
