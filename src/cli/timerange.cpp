#include "cli/timerange.h"

#include <cstdio>

#include "base/out.h"
#include "base/run_end.h"
#include "input/timestamps.h"

// "dd-mmm-yyyy:hh:mm" reads as a date and a time once its first ':' is a blank.
static time_t date_secs(std::string text) {
    size_t colon = text.find(':');
    if (colon != std::string::npos) text[colon] = ' ';
    std::string compact;
    cvtdate(text, compact);
    return cvttime(compact);
}

static void date_range(RunState& rs, const std::string& v) {
    rs.tflag = 1;
    size_t comma = v.find(',');
    rs.rstsecs = date_secs(v.substr(0, comma));
    rs.rendsecs = date_secs(v.substr(comma + 1));
    if (rs.rendsecs < rs.rstsecs) {
        out("Time range Start Time is later than time range End Time!\n");
        end_run(END_ERROR);
    }
}

// The whole value must be "h:m,h:m" or "h:m:s,h:m:s"; fields need no zero padding.
static bool read_times_of_day(RunState& rs, const std::string& v) {
    int used = -1;
    rs.sss = rs.ess = 0;
    if (std::sscanf(v.c_str(), "%d:%d,%d:%d%n", &rs.shh, &rs.smm, &rs.ehh, &rs.emm, &used) == 4 &&
        used == static_cast<int>(v.size()))
        return true;
    used = -1;
    return std::sscanf(v.c_str(), "%d:%d:%d,%d:%d:%d%n", &rs.shh, &rs.smm, &rs.sss, &rs.ehh,
                       &rs.emm, &rs.ess, &used) == 6 &&
           used == static_cast<int>(v.size());
}

static bool in_range(int v, int hi) {
    return v >= 0 && v <= hi;
}

static void time_of_day_range(RunState& rs, const std::string& v) {
    rs.tflag = 2;
    bool ok = read_times_of_day(rs, v);
    ok = ok && in_range(rs.shh, 23) && in_range(rs.ehh, 23) && in_range(rs.smm, 59) &&
         in_range(rs.emm, 59) && in_range(rs.sss, 59) && in_range(rs.ess, 59);
    if (!ok) {
        out("Invalid /timerange syntax %s\n", v.c_str());
        end_run(END_ERROR);
    }
    long start = rs.shh * 3600L + rs.smm * 60L + rs.sss;
    long end = rs.ehh * 3600L + rs.emm * 60L + rs.ess;
    if (start > end)
        out("Time range Start Time is later than time range End Time! "
            "Use /t=dd-mmm-yyyy:hh:mm,dd-mmm-yyyy:hh:mm\n");
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
