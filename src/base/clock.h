// Where a run reads the wall clock: the history file is named after the day and verbose
// runs tell the time they start and end. A test sets a fixed time instead.
#pragma once
#include <ctime>
#include <functional>

struct WallClock {
    std::function<time_t()> read;  // empty: the system clock

    time_t now() const { return read ? read() : time(nullptr); }
    static WallClock fixed(time_t t) {
        return WallClock{[t] { return t; }};
    }
};
