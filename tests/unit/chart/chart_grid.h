// A one-file sample grid for the chart tests: rows one minute apart from midnight of
// 01-JAN-2024 (UTC), with the span facts the loader leaves, and the per-parameter steps
// of the run sequence up to the chart.
#pragma once
#include <ctime>
#include <memory>

#include "../stats/grid.h"
#include "chart/draw.h"
#include "chart/geometry.h"
#include "harness.h"
#include "stats/listing.h"
#include "stats/statistics.h"

inline constexpr time_t JAN1 = 1704067200;  // 01-JAN-2024 00:00:00 UTC

// Sets TZ for its lifetime (UTC unless told otherwise).
struct Utc {
    std::unique_ptr<EnvVar> tz;
    explicit Utc(const char* zone = "UTC") : tz(std::make_unique<EnvVar>("TZ", zone)) { tzset(); }
    ~Utc() {
        tz.reset();
        tzset();
    }
};

inline RunState chart_grid(const std::vector<std::vector<double>>& series,
                           const std::vector<std::string>& labels = {}) {
    RunState rs = make_grid({series}, labels);
    rs.set_opt().qflag = 1;
    rs.set_opt().iflag = 1;
    rs.rangestart = JAN1;
    rs.rangeend = JAN1 + 60 * static_cast<time_t>(rs.num - 1);
    rs.rangedursecs = rs.rangeend - rs.rangestart;
    rs.dur = rs.rangedursecs;
    rs.miss_ar.assign(rs.num + 1, 0);
    rs.files.assign(1, InputFile{});
    rs.files[0].samp = 60;
    rs.sampint = 60;
    rs.max_xvals = rs.num + 2;
    rs.files[0].nodenam = "NODEA";
    rs.ch_start_t = "00:00:00";
    rs.ch_end_t = rs.x_vals[rs.num - 1].substr(12);
    return rs;
}

// Statistics, file name, listing line, X and Y mapping of parameter w, as the unsorted
// pass makes them; 1 when the chart is to be drawn.
inline int prepare_chart(RunState& rs, int w, ParamStats& st) {
    setup_min_max(rs, w, st);
    int skipped = calc_stats(rs, w, st) == -1;
    makePNGname(rs, w);
    capture([&] { print_vals(rs, st, w, skipped); });
    adjust_vals_for_size(rs, st, w);
    setup_scale(rs, st, w);
    return !skipped;
}
