#include "chart/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "chart/colours.h"
#include "chart/overlay.h"
#include "core/timestamps.h"
#include "stats/rules.h"
#include "stats/statistics.h"

namespace {

constexpr int MAXTICS = 1200;

bool has_dot(const std::string& s) {
    return s.find('.') != std::string::npos;
}

// A pixel coordinate from a double: truncated toward zero, held to the int range.
int pixel(double v) {
    return trunc_to_int(v);
}

// base − trunc(d). A value far off the chart is held some 500 million pixels away: far
// enough that what is drawn of it does not change, near enough that the drawing's own
// sums (a line's thickness around it, the distance between two points, in the
// program and in libgd) stay inside the int range.
int row_below(int base, double d) {
    constexpr long long FAR = 1LL << 29;
    long long y = static_cast<long long>(base) - trunc_to_int(d);
    return static_cast<int>(std::clamp<long long>(y, -FAR, FAR));
}

struct tm clock_of(time_t secs) {
    struct tm t {};
    if (!local_standard_time(secs, t)) t = {};
    return t;
}

std::string date_text(time_t secs) {
    return day_text(secs);
}

void label_tick(RunState& rs, size_t i, time_t secs) {
    struct tm t = clock_of(secs);
    rs.ticvals[i] = strfmt("%02d:%02d", t.tm_hour, t.tm_min);
    if (rs.start_d != rs.end_d)
        rs.ticvals2[i] = strfmt("%02d-%3.3s", t.tm_mday, month_abbrev((t.tm_mon % 12 + 12) % 12));
}

const std::string& xval(const RunState& rs, long long i) {
    static const std::string none;
    return i >= 0 && static_cast<size_t>(i) < rs.x_vals.size() ? rs.x_vals[i] : none;
}

void size_tick_labels(RunState& rs) {
    rs.ticvals.assign(static_cast<size_t>(rs.numtics) + 1, std::string());
    rs.ticvals2.assign(static_cast<size_t>(rs.numtics) + 1, std::string());
}

// Tick labels: record numbers, texts of the axis column, or clock times of the ticks.
void tick_labels(RunState& rs, time_t t0) {
    size_tick_labels(rs);
    if (rs.opt().axiscol == -1 || rs.opt().datalinerow != -1) {
        for (int i = 0; i <= rs.numtics; ++i)
            rs.ticvals[i] = strfmt("%d", rs.num / (rs.numtics + 1) * i);
    } else if (rs.opt().axiscol > 0) {
        rs.ch_start_t = xval(rs, 0);
        rs.ch_end_t = xval(rs, rs.num - 1);
        rs.numtics = rs.opt().lflag && rs.opt().axisflag ? rs.ticsecs / 60 : 10;
        rs.numtics = std::clamp(rs.numtics, 1, MAXTICS);
        size_tick_labels(rs);
        for (int i = 0; i <= rs.numtics; ++i)
            rs.ticvals[i] = xval(rs, static_cast<long long>(rs.num / (rs.numtics + 1)) * i);
    } else if (!rs.opt().ignoreflag && rs.range_windows <= 1) {
        for (int i = 0; i <= rs.numtics; ++i)
            label_tick(rs, i, t0 + static_cast<time_t>(i) * rs.ticsecs);
    } else {
        // Gaps (or the time between the windows of a time-of-day range) are left out of
        // the axis, so each tick takes the time of its sample.
        int samp0 = rs.files.empty() ? 0 : rs.files[0].samp;
        for (int i = 0; i < rs.numtics && samp0 > 0; ++i) {
            double at =
                (static_cast<double>(t0 - rs.rangestart) + static_cast<double>(i) * rs.ticsecs) /
                    samp0 +
                0.5;
            long long idx = trunc_to_int(at);
            if (idx >= rs.max_xvals || static_cast<size_t>(idx) >= rs.x_vals.size()) {
                if (rs.opt().verbose)
                    out("Warning: trying to access x_vals[%lld] - out of bounds.  i=%d\n", idx, i);
                break;
            }
            if (idx < 0 || rs.x_vals[idx].empty()) continue;
            label_tick(rs, i, stamp_secs(rs.x_vals[idx]));
        }
    }
    if (rs.opt().axiscol != -1 && rs.opt().axisflag && rs.numtics > 0) rs.ppertic = rs.wi / rs.numtics;
}

// The tick interval, the first tick and the tick labels.
void setup_time_axis(RunState& rs) {
    // A /lines value of 0 reads as no value: a zero interval has no ticks to place.
    bool given = rs.opt().lflagval && rs.opt().tictime > 0;
    rs.ticsecs = given ? rs.opt().tictime : 3600;
    if (rs.opt().ignoreflag) {
        rs.rangedursecs -= rs.totmisssecs;
        rs.totmisssecs = 0;
    }
    if (rs.rangedursecs <= 0) rs.rangedursecs = 14400;
    if (!given) rs.ticsecs = tick_interval(rs.rangedursecs);

    if (rs.wi <= 0) rs.wi = 1;
    double s = static_cast<double>(rs.rangedursecs) / rs.wi;
    if (s == 0) s = 1.0;
    time_t tic = rs.ticsecs;
    time_t t0 = (tic + rs.rangestart - 1) / tic * tic;
    rs.firstticpixels = pixel(static_cast<double>(t0 - rs.rangestart) / s + 0.5);
    rs.ppertic = rs.ticsecs / s;
    if (rs.ppertic < 0.001) {
        out("\nGrid lines are too close. Use larger /l value\n");
        end_run(END_ERROR);
    }
    rs.start_d = rs.ch_start_d = date_text(rs.rangestart);
    rs.end_d = rs.ch_end_d = date_text(rs.rangeend);
    long long n = (rs.rangedursecs - (t0 - rs.rangestart)) / tic + 1;
    rs.numtics = static_cast<int>(std::clamp<long long>(n, 0, MAXTICS));
    tick_labels(rs, t0);
}

// X pixel of sample i: the first sample on the plot's left edge, the last on its right.
int sample_column(const RunState& rs, double i, int offset) {
    int x = rs.num > 1 ? pixel(i / (rs.num - 1) * rs.wi) : 0;
    return x + offset + rs.opt().BORDERxval;
}

// A single chart needs only its own pixels; the previous parameter's are released.
void release_previous_points(RunState& rs, int w) {
    int prev = rs.points_prev;
    rs.points_prev = w;
    if (rs.opt().oflag || prev < 0 || prev == w) return;
    for (auto& file : rs.points)
        if (static_cast<size_t>(prev) < file.size())
            std::vector<RunState::ChartPoint>().swap(file[prev]);
    if (static_cast<size_t>(prev) < rs.mapixels.size())
        std::vector<RunState::ChartPoint>().swap(rs.mapixels[prev]);
}

std::vector<RunState::ChartPoint>* series_points(RunState& rs, int f, int p) {
    if (f < 0 || p < 0 || static_cast<size_t>(f) >= rs.points.size() ||
        static_cast<size_t>(p) >= rs.points[f].size())
        return nullptr;
    return &rs.points[f][p];
}

const std::vector<double>* series_values(const RunState& rs, int f, int p) {
    if (f < 0 || p < 0 || static_cast<size_t>(f) >= rs.pts.size() ||
        static_cast<size_t>(p) >= rs.pts[f].size())
        return nullptr;
    return &rs.pts[f][p];
}

int rounding_step(int max_y_10) {
    if (max_y_10 >= 6 && max_y_10 <= 19) return 5;
    if (max_y_10 >= 20 && max_y_10 <= 69) return 10;
    if (max_y_10 >= 70 && max_y_10 <= 199) return 20;
    if (max_y_10 >= 200 && max_y_10 <= 4999) return 100;
    if (max_y_10 >= 5000) return 1000;
    return 1;
}

// Grid rows and their labels, in the style of the scale in use.
void grid_rows(RunState& rs, const ParamStats& st) {
    int horiz = rs.opt().horiz;
    rs.ytics.assign(static_cast<size_t>(std::max(horiz, 2)), 0);
    rs.y_ticvals.assign(static_cast<size_t>(std::max(horiz, 2)), std::string());
    double ratio = rs.max_y_ratio != 0 ? rs.max_y_ratio : 1;
    double maxv = rs.scale_top.number();
    int maxi = rs.scale_top.whole_int();
    for (int i = 1; i < horiz; ++i) {
        rs.ytics[i] = (rs.hi + rs.boryt) - (i * rs.hi) / horiz;
        std::string& t = rs.y_ticvals[i];
        if (rs.opt().oflag) {
            t = maxi > 9 ? strfmt("%d", maxi / horiz * i) : strfmt("%.2f", maxv / horiz * i);
        } else if (zero_scale(rs)) {
            if (maxv > 10.0)
                t = strfmt("%lld", static_cast<long long>(trunc_to_int(rs.scale_y_max / ratio)) /
                                       horiz * i);
            else
                t = strfmt("%.2f", rs.scale_y_max * 100 / ratio / (horiz * 100.0) * i);
        } else if (maxi > 100 || maxi < 0) {
            long long step = trunc_to_int((rs.scale_y_max - rs.scale_y_min) / ratio / horiz);
            t = strfmt("%lld", trunc_to_int(rs.scale_y_min / ratio) + step * i);
        } else {
            t = strfmt("%.2f",
                       (rs.scale_y_max - rs.scale_y_min) * 100 / ratio / (horiz * 100.0) * i +
                           rs.scale_y_min / ratio);
        }
    }
    if (st.max_y == 0 && !rs.opt().oflag) {
        rs.scale_top = {100, 0};
        rs.scale_y_max = 100;
        for (int i = 0; i < horiz; ++i) rs.y_ticvals[i] = strfmt("%d", 100 / horiz * i);
    }
}

// The scale maximum rounded up to a step, labels rewritten to the scale.
void round_scale(RunState& rs, const ParamStats& st, int w) {
    bool dot = rs.scale_top.decimals();
    if (dot) {
        rs.max_y_10 = trunc_to_int(st.max_y);
        if (st.max_y > 1) rs.max_y_ratio = 1;
    } else {
        rs.max_y_10 = rs.scale_top.whole_int();
        rs.max_y_ratio = rs.max_y_10 == 0 ? 1 : trunc_to_int(st.max_y / rs.max_y_10);
        if (rs.max_y_ratio == 0) rs.max_y_ratio = 1;
    }
    if (rs.max_y_10 > 19999999) rs.max_y_ratio = 1;
    rs.rndf = zero_scale(rs) ? rounding_step(rs.max_y_10) : 1;
    if (fixed_ymax(rs) > 0)
        rs.scale_y_max = fixed_ymax(rs);
    else if (rs.rndf > 1)
        rs.scale_y_max = static_cast<double>((rs.rndf + static_cast<long long>(rs.max_y_10)) /
                                             rs.rndf * rs.rndf);
    if (!dot) {
        rs.scale_y_max *= rs.max_y_ratio;
        rs.scale_y_min *= rs.max_y_ratio;
    }
    rs.scale_top = {rs.scale_y_max, rs.opt().precision};
    rs.scale_bottom = {rs.scale_y_min, rs.opt().precision};
    if (rs.opt().sflag) {
        // Stacked charts take their maximum from the stacking step (overlay charts).
        stack_series(rs, w);
    }
    grid_rows(rs, st);
}

// A series row held inside the plot frame: a value beyond the scale runs along its edge
// instead of over the texts and borders around it.
int frame_row(const RunState& rs, int y) {
    return std::clamp(y, rs.boryt, rs.boryt + std::max(rs.hi, 0));
}

// Pixel rows of one series (and its moving average) on the scale just set up.
void map_series(RunState& rs, int s) {
    std::vector<RunState::ChartPoint>* pt = series_points(rs, 0, s);
    const std::vector<double>* v = series_values(rs, 0, s);
    if (!pt || !v) return;
    size_t n = std::min({pt->size(), v->size(), static_cast<size_t>(std::max(rs.num, 0))});
    bool norm = rs.opt().nflag && s < 20;
    double norm_max = norm && rs.norm_max_y_ar[s] != 0 ? rs.norm_max_y_ar[s] : 1.0;
    // The scale is copied out of the state: the rows written below are ints like its
    // members, and the compiler would otherwise reload them after every store.
    const int base = rs.hi + rs.boryt, top = rs.boryt, bottom = rs.boryt + std::max(rs.hi, 0);
    const double hi = rs.hi, lo = rs.scale_y_min, span = rs.divisor;
    auto row_of = [&](double val) {
        return std::clamp(norm ? row_below(base, val / norm_max * hi)
                               : row_below(base, (val - lo) / span * hi),
                          top, bottom);
    };
    for (size_t i = 0; i < n; ++i) {
        double val = (*v)[i];
        int y;
        if (is_missing(val))
            y = RunState::ChartPoint::NO_ROW;
        else if (!norm && val > 2147483647.0)
            y = std::clamp(0, top, bottom);
        else
            y = row_of(val);
        (*pt)[i].y = y;
    }
    if (!rs.opt().aflag || static_cast<size_t>(s) >= rs.mapixels.size() ||
        static_cast<size_t>(s) >= rs.mapoints.size())
        return;
    std::vector<RunState::ChartPoint>& mp = rs.mapixels[s];
    const std::vector<double>& ma = rs.mapoints[s];
    size_t m = std::min(mp.size(), ma.size());
    for (size_t i = 0; i < m; ++i)
        mp[i].y = is_missing(ma[i]) ? RunState::ChartPoint::NO_ROW : row_of(ma[i]);
}

double percentile_row(const RunState& rs, double v) {
    return row_below(rs.hi + rs.boryt, (v - rs.scale_y_min) / rs.divisor * rs.hi);
}

}  // namespace

int tick_interval(time_t d) {
    if (d <= 900) return 60;
    if (d <= 3600) return 300;
    if (d <= 7200) return 600;
    if (d <= 14400) return 1800;
    if (d <= 86400) return 3600;
    if (d <= 259200) return 7200;
    if (d <= 604800) return 28800;
    if (d <= 2592000) return 86400;
    return static_cast<int>(std::min<time_t>(d / 10, 2147483647));
}

void setup_chartsize(RunState& rs) {
    if (rs.num <= 0) {
        out("No data in range\n");
        end_run(END_ERROR);
    }
}

void setup_height_and_width(RunState& rs) {
    if (rs.opt().pcflag && rs.start_d == rs.end_d) rs.time_w = 9;
    const int width = rs.opt().wflag ? rs.opt().width : 500;
    if (!rs.opt().nocharts) setup_chartsize(rs);
    if (rs.num > 0) {
        rs.multiply = static_cast<double>(width) / rs.num;
        rs.wi = pixel(rs.num * rs.multiply);
    } else {
        rs.multiply = 1.0;
        rs.wi = width;
    }
    rs.hi = rs.wi / 2;
    if (!rs.opt().hflag)
        rs.hi = std::clamp(rs.hi, 100, 300);
    else
        rs.hi = std::max(rs.opt().height, 0);
    if (!rs.opt().corrall) {
        if (!rs.opt().qflag && !rs.opt().nocharts && !rs.srtpass)
            out("Chart will be %d pixels wide and %d pixels high\n", rs.wi, rs.hi);
        if (!rs.opt().iflag && !rs.opt().nocharts)
            fout(rs.logfp, "Chart will be %d pixels wide and %d pixels high\n", rs.wi, rs.hi);
    }
    setup_time_axis(rs);
    rs.maxx = 2 * rs.opt().BORDERxval + rs.wi;
    rs.maxy = 2 * rs.opt().BORDERyval + rs.hi;
}

int plot_top(RunState& rs) {
    return caption_height(rs) + rs.opt().BORDERyval;
}

void adjust_vals_for_size(RunState& rs, const ParamStats& st, int w) {
    if (w < 0) return;
    int offset = rs.opt().bkgcolor >= BKG_COMPACT ? 30 : 0;
    // The parameter's threshold rule is selected and tested on its chart points.
    if (rules_in_force(rs)) check_rules(rs, st, w);
    release_previous_points(rs, w);
    size_t n = static_cast<size_t>(std::max(rs.num, 0));
    std::vector<RunState::ChartPoint> row(n);
    for (size_t i = 0; i < n; ++i) row[i].x = sample_column(rs, static_cast<double>(i), offset);

    size_t files = static_cast<size_t>(std::max(rs.filenum + 1, 1));
    if (rs.points.size() < files) rs.points.resize(files);
    for (auto& file : rs.points) {
        if (file.size() <= static_cast<size_t>(w)) file.resize(static_cast<size_t>(w) + 1);
        file[w] = row;
    }
    if (rs.opt().aflag) {
        if (rs.mapixels.size() <= static_cast<size_t>(w))
            rs.mapixels.resize(static_cast<size_t>(w) + 1);
        rs.mapixels[w] = row;
    }
    if (rs.opt().aflag) {
        rs.ma_px_min = std::max(sample_column(rs, st.ma_x_val_min, offset), 0);
        rs.ma_px_max = std::min(sample_column(rs, st.ma_x_val_max, offset),
                                offset + rs.wi + rs.opt().BORDERxval);
    }
}

void setup_scale(RunState& rs, const ParamStats& st, int w) {
    if (rs.opt().nocharts || w < 0) return;
    rs.boryt = plot_top(rs);
    // The scale starts from the extremes as the listing shows them (from 0 when it is
    // zero-based).
    rs.scale_top = st.shown_max;
    rs.scale_bottom = zero_scale(rs) ? Shown{0, 0} : st.shown_min;
    // A maximum above 100 with decimals scales from a whole-number minimum.
    bool whole_min = rs.scale_top.decimals() && rs.scale_top.number() > 100;
    double minc = whole_min ? rs.scale_bottom.whole() : rs.scale_bottom.number();
    rs.scale_y_max = fixed_ymax(rs) > 0 ? fixed_ymax(rs) : rs.scale_top.number();
    // /scale without a minimum scales from the data minimum, as /scale=min does.
    bool fixed_min = rs.opt().scflag && rs.opt().zmin != ZMIN_KEYWORD && rs.opt().zmin != ZMIN_UNSET;
    rs.scale_y_min = fixed_min ? rs.opt().zmin : minc;
    if (zero_scale(rs) || rs.opt().lflag || rs.opt().scflag) round_scale(rs, st, w);
    if (rs.opt().lflag) {
        // The scale ends take the style of the grid labels: two decimals or whole numbers.
        bool dec = rs.y_ticvals.size() > 1 && has_dot(rs.y_ticvals[1]);
        auto restyle = [dec](const Shown& v) {
            return dec ? Shown{v.number(), 2} : Shown{static_cast<double>(v.whole_int()), 0};
        };
        rs.scale_top = restyle(rs.scale_top);
        rs.scale_bottom = restyle(rs.scale_bottom);
    }
    rs.divisor = rs.scale_y_max - rs.scale_y_min;
    if (rs.divisor == 0) rs.divisor = 1.0;

    int last = rs.opt().oflag ? std::min(rs.numovr, w) : 0;
    for (int q = 0; q <= last; ++q) map_series(rs, w - q);
    if (rs.opt().pcflag) {
        const std::pair<const std::vector<double>*, double*> lines[] = {
            {&rs.p1, &rs.p1_row}, {&rs.p2, &rs.p2_row}, {&rs.median, &rs.med_row}};
        for (const auto& [values, row] : lines)
            if (static_cast<size_t>(w) < values->size()) *row = percentile_row(rs, (*values)[w]);
    }
    int base = rs.hi + rs.boryt;
    for (int f = 1; f <= rs.filenum; ++f) {
        std::vector<RunState::ChartPoint>* pt = series_points(rs, f, w);
        const std::vector<double>* v = series_values(rs, f, w);
        if (!pt || !v) continue;
        size_t n = std::min(pt->size(), v->size());
        for (size_t i = 0; i < n; ++i)
            (*pt)[i].y = is_missing((*v)[i])
                             ? RunState::ChartPoint::NO_ROW
                             : frame_row(rs, row_below(base, ((*v)[i] - rs.scale_y_min) /
                                                                 rs.divisor * rs.hi));
    }
}

void makePNGname(RunState& rs, int w) {
    int col = 0;
    if (!rs.param_nums.empty() && w >= 0 && static_cast<size_t>(w) < rs.param_nums[0].size())
        col = rs.param_nums[0][w];
    if (rs.opt().htmflag) {
        std::string base = rs.opt().htmfil;
        size_t at = base.find(".htm");
        if (at == std::string::npos) at = base.find(".HTM");
        if (at != std::string::npos) base.erase(at);
        rs.outpng = strfmt("%s_%d.PNG", base.c_str(), col);
        return;
    }
    std::string name;
    if (w >= 0 && static_cast<size_t>(w) < rs.xlabel.size()) {
        for (char c : rs.xlabel[w]) {
            bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '$' || c == '_';
            if (keep) name += c;
        }
    }
    if (name.size() + 5 >= 40)
        rs.outpng = strfmt("%s_%d.png", name.substr(0, 34).c_str(), col);
    else
        rs.outpng = name + ".png";
    // Labels that filter to the same name (duplicates, or punctuation only) would write
    // their charts over each other; a later column gets its number added instead.
    std::string stem = rs.outpng.substr(0, rs.outpng.size() - 4);
    while (true) {
        auto [owner, fresh] = rs.png_owner.emplace(rs.outpng, col);
        if (fresh || owner->second == col) break;
        stem = strfmt("%s_%d", stem.c_str(), col);
        rs.outpng = stem + ".png";
    }
}
