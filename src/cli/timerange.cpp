#include "cli/timerange.h"

#include <cstdio>

#include "base/out.h"
#include "base/run_end.h"
#include "base/scan.h"
#include "core/timestamps.h"

// "dd-mmm-yyyy:hh:mm" reads as a date and a time once its first ':' is a blank (an ISO
// date and time keeps its 'T' or blank).
static time_t date_secs(std::string text) {
    size_t colon = text.find(':');
    if (colon != std::string::npos && !is_iso_stamp(text)) text[colon] = ' ';
    return stamp_secs(text);
}

static void date_range(RunState& rs, const std::string& v) {
    TimeRange& tr = rs.set_opt().timerange;
    tr.kind = TimeRange::DATES;
    size_t comma = v.find(',');
    tr.start = date_secs(v.substr(0, comma));
    tr.end = date_secs(v.substr(comma + 1));
    if (tr.end < tr.start) {
        out("Time range Start Time is later than time range End Time!\n");
        end_run(END_ERROR);
    }
}

struct Clock {
    int hh = 0, mm = 0, ss = 0;
};

// The whole value must be "h:m,h:m" or "h:m:s,h:m:s"; fields need no zero padding.
static bool read_times_of_day(const std::string& v, Clock& s, Clock& e) {
    int used = -1;
    s.ss = e.ss = 0;
    if (std::sscanf(v.c_str(), "%d:%d,%d:%d%n", &s.hh, &s.mm, &e.hh, &e.mm, &used) == 4 &&
        used == static_cast<int>(v.size()))
        return true;
    used = -1;
    return std::sscanf(v.c_str(), "%d:%d:%d,%d:%d:%d%n", &s.hh, &s.mm, &s.ss, &e.hh, &e.mm, &e.ss,
                       &used) == 6 &&
           used == static_cast<int>(v.size());
}

static bool in_range(int v, int hi) {
    return v >= 0 && v <= hi;
}

static bool valid(const Clock& c) {
    return in_range(c.hh, 23) && in_range(c.mm, 59) && in_range(c.ss, 59);
}

// A start later than the end passes midnight: the window is kept on every night.
static void time_of_day_range(RunState& rs, const std::string& v) {
    Clock s, e;
    if (!read_times_of_day(v, s, e) || !valid(s) || !valid(e)) {
        out("Invalid /timerange syntax %s\n", v.c_str());
        end_run(END_ERROR);
    }
    TimeRange& tr = rs.set_opt().timerange;
    tr.kind = TimeRange::DAILY;
    tr.from = clock_secs(s.hh, s.mm, s.ss);
    tr.to = clock_secs(e.hh, e.mm, e.ss);
}

void set_timerange(RunState& rs, const std::string& value) {
    if (value.find(',') == std::string::npos || value.find(':') == std::string::npos) {
        out("timerange expects format: /t=dd-mmm-yyyy:hh:mm,dd-mmm-yyyy:hh:mm or "
            "hh:mm,hh:mm\n");
        end_run(END_ERROR);
    }
    if (value.find_first_of("-/") != std::string::npos)
        date_range(rs, value);
    else
        time_of_day_range(rs, value);
}
