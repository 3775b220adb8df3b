// A time stamp once read, and the time range that decides which rows a run keeps.
#pragma once
#include <ctime>

struct StampTime {
    time_t secs = -1;
    long long day = 0;   // days from 1970-01-01 to the date of the local clock reading
    long long tod = 0;   // seconds of that clock reading within its day
    bool dated = false;  // the text has a date of its own
};

inline constexpr long long DAY_SECS = 86400;

// The one range test of every mode (count, load, extract, merge, correlation):
// - dates: rows at or after `start` and before `end`;
// - times of day: rows whose clock time is at or after `from` and before `to`, on
//   every day of the data; a window whose start is later than its end passes midnight
//   (22:00 to 06:00 is the night shift).
struct TimeRange {
    enum Kind { ALL, DATES, DAILY };
    Kind kind = ALL;
    time_t start = 0, end = 0;
    long long from = 0, to = 0;

    bool active() const { return kind != ALL; }
    bool wraps() const { return kind == DAILY && from > to; }
    bool holds_tod(long long tod) const {
        return wraps() ? (tod >= from || tod < to) : (tod >= from && tod < to);
    }
    bool holds(const StampTime& st) const {
        if (kind == DATES) return st.secs >= start && st.secs < end;
        if (kind == DAILY) return holds_tod(st.tod);
        return true;
    }
    // The window a kept row belongs to, counted in days: rows of one window share it.
    // A night window belongs to the day it starts on.
    long long window_of(const StampTime& st) const {
        return wraps() && st.tod < to ? st.day - 1 : st.day;
    }
};
