// The floor for sessions whose time goes into walking the list: the same appends, deletes and
// counts as the session asks for, as bare pointer walks with no console at all.
// Reads the session's answers (well-formed only) from standard input; prints a checksum.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct link {
    std::int32_t data;
    link *next;
};

link **tail_slot(link *&head) {
    link **slot = &head;
    while (*slot != nullptr) {
        slot = &(*slot)->next;
    }
    return slot;
}

// Unlinks the node at index `at` (from 0), walking to it from the head.
void unlink(link *&head, std::int64_t at) {
    link **slot = &head;
    for (; at > 0; --at) {
        slot = &(*slot)->next;
    }
    link *gone = *slot;
    *slot = gone->next;
    delete gone;
}

std::int64_t length(const link *head) {
    std::int64_t n = 0;
    for (; head != nullptr; head = head->next) {
        ++n;
    }
    return n;
}

}  // namespace

int main() {
    std::vector<std::int64_t> answers;
    long long value = 0;
    while (std::scanf("%lld", &value) == 1) {
        answers.push_back(value);
    }
    link *head = nullptr;
    std::int64_t checksum = 0;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        switch (answers[i]) {
            case 1:
                *tail_slot(head) = new link{static_cast<std::int32_t>(answers[++i]), nullptr};
                break;
            case 2:
                for (const link *at = head; at != nullptr; at = at->next) {
                    checksum += at->data;
                }
                break;
            case 3:
                if (head != nullptr) {
                    unlink(head, 0);
                }
                break;
            case 4:
                if (head != nullptr) {
                    link **slot = &head;
                    while ((*slot)->next != nullptr) {
                        slot = &(*slot)->next;
                    }
                    delete *slot;
                    *slot = nullptr;
                }
                break;
            case 5: {
                // Positions in these sessions are valid: count, then walk to the node.
                const std::int64_t position = answers[++i];
                if (const std::int64_t n = length(head); n > 0) {
                    unlink(head, std::min(position, n) - 1);
                }
                break;
            }
            case 6:
                checksum += length(head);
                std::printf("%lld\n", static_cast<long long>(checksum));
                // The nodes go with the process, as the program's do.
                return 0;  // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
            default:
                break;
        }
    }
    return 1;  // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks): a session that never chose 6
}
