#pragma once
// While one of these lives, the non-throwing allocation gives nothing, as an exhausted heap does.
struct exhausted_heap {
    exhausted_heap();
    ~exhausted_heap();
    exhausted_heap(const exhausted_heap &) = delete;
    exhausted_heap &operator=(const exhausted_heap &) = delete;
};
