#include "stats/statistics.h"

#include <algorithm>
#include <cmath>

#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "stats/correl.h"

namespace {

struct Series {
    const double* v = nullptr;
    int n = 0;
};

// The loaded rows of one series; a series the grid does not hold reads as empty.
Series series(const RunState& rs, int f, int p) {
    Series s;
    if (f < 0 || p < 0 || static_cast<size_t>(f) >= rs.pts.size() ||
        static_cast<size_t>(p) >= rs.pts[f].size())
        return s;
    const std::vector<double>& col = rs.pts[f][p];
    s.v = col.data();
    s.n = static_cast<int>(std::min(col.size(), static_cast<size_t>(std::max(rs.num, 0))));
    return s;
}

const std::string& xtext(const RunState& rs, int row) {
    static const std::string none;
    return row >= 0 && static_cast<size_t>(row) < rs.x_vals.size() ? rs.x_vals[row] : none;
}

// An extreme that never met a value (no rows) is shown as 0.
double shown(double v) {
    return std::isinf(v) ? 0.0 : v;
}

// Ascending order that also places NaN (after every number), so the sort stays well
// defined on any data; without NaN it is the plain numeric order.
bool ascending(double a, double b) {
    return !std::isnan(a) && (std::isnan(b) || a < b);
}

template <class T>
void ensure_size(std::vector<T>& v, int index) {
    if (index >= 0 && static_cast<size_t>(index) >= v.size())
        v.resize(static_cast<size_t>(index) + 1);
}

// Sum with a compensation term (Neumaier), so a window sum that moves along the series
// carries no drift: exact for whole numbers, within rounding of a fresh sum otherwise.
struct RunningSum {
    double s = 0, c = 0;
    void add(double x) {
        double t = s + x;
        if (std::fabs(s) >= std::fabs(x))
            c += (s - t) + x;
        else
            c += (x - t) + s;
        s = t;
    }
    double value() const { return s + c; }
};

// The row buffer the moving average of param is written to. Unless every parameter's
// curve must be kept (overlay charts draw them together, the moving-average export
// writes them all at the end), one buffer passes from parameter to parameter.
std::vector<double>& ma_row(RunState& rs, int param, int n) {
    ensure_size(rs.mapoints, param);
    bool keep_all = rs.opt().oflag || rs.opt().macsvflg;
    if (!keep_all && rs.ma_prev >= 0 && rs.ma_prev != param &&
        static_cast<size_t>(rs.ma_prev) < rs.mapoints.size()) {
        rs.mapoints[param].swap(rs.mapoints[rs.ma_prev]);
        std::vector<double>().swap(rs.mapoints[rs.ma_prev]);
    }
    rs.ma_prev = param;
    rs.mapoints[param].assign(static_cast<size_t>(n), 0.0);
    return rs.mapoints[param];
}

void note_peak(const RunState& rs, ParamStats& st, int i, int h, int n, double ma) {
    int start = std::max(i - h, 0);
    if (ma > st.mamax_y) {
        st.mamax_y = ma;
        st.ma_x_val = xtext(rs, start);
        st.ma_x_val_min = i - h;
        st.ma_x_val_max = i + h;
        if (st.ma_x_val_max > n) {
            st.ma_x_val_min = n - rs.ma_samples;
            st.ma_x_val_max = n;
        }
        if (st.ma_x_val_min < 0) st.ma_x_val_min = 0;
    }
    if (ma < st.mamin_y) {
        st.mamin_y = ma;
        st.mi_x_val = xtext(rs, start);
    }
}

// Moving average of every row by a running window sum, and the peak and trough among
// the rows past the first half window. A series shorter than that has no such row;
// its peak and trough are then taken over all rows. A window averages the values it
// has; a window without any has no average.
void moving_average(RunState& rs, ParamStats& st, int param, const Series& s, bool finite) {
    int n = s.n;
    int h = rs.ma_samples / 2;
    std::vector<double>& ma = ma_row(rs, param, n);
    RunningSum sum;
    int lo = 0, hi = 0, present = 0;
    for (int i = 0; i < n; ++i) {
        double m;
        if (finite) {
            int want_hi = std::min(n, i + h), want_lo = std::max(0, i - h);
            for (; hi < want_hi; ++hi)
                if (!is_missing(s.v[hi])) {
                    sum.add(s.v[hi]);
                    ++present;
                }
            for (; lo < want_lo; ++lo)
                if (!is_missing(s.v[lo])) {
                    sum.add(-s.v[lo]);
                    --present;
                }
            // A one-row window (h = 0) holds no rows; the row's own value is its average.
            if (hi == lo)
                m = s.v[i];
            else
                m = present > 0 ? sum.value() / present : MISSING;
        } else {
            // Infinite values would poison a running sum for the rest of the series.
            m = calc_ma(rs, param, i);
        }
        ma[i] = m;
    }
    int first = n > h + 1 ? h + 1 : 0;
    for (int i = first; i < n; ++i) note_peak(rs, st, i, h, n, ma[i]);
}

// The rows percentile() reads for p: only those need their sorted values.
void rows_read(int n, double p, std::vector<int>& rows) {
    double r = (n + 1) * p / 100.0;
    if (r < 1) {
        rows.push_back(0);
    } else if (r > n) {
        rows.push_back(n - 1);
    } else {
        int k = static_cast<int>(r);
        rows.push_back(k - 1);
        if (k != r) rows.push_back(k);
    }
}

// Puts into each of the rows [first, last) of want the value a sort of [lo, hi) would
// put there; the middle row first, so each half is searched apart from the other.
void select_rows(std::vector<double>& b, int lo, int hi, const int* first, const int* last) {
    if (first == last) return;
    const int* mid = first + (last - first) / 2;
    std::nth_element(b.begin() + lo, b.begin() + *mid, b.begin() + hi);
    select_rows(b, lo, *mid, first, mid);
    select_rows(b, *mid + 1, hi, mid + 1, last);
}

// Percentiles by selection instead of a full sort: each row percentile() reads gets the
// value a sort would put there. NaN goes last, as the sort places it, and negative zero
// is read as zero, so values that compare equal are identical and the result cannot
// depend on how equal values are ordered.
void compute_percentiles(RunState& rs, int param, const Series& s) {
    ensure_size(rs.p1, param);
    ensure_size(rs.median, param);
    ensure_size(rs.p2, param);
    // Missing values take no rank: only the values present are ordered.
    rs.pcwork.resize(static_cast<size_t>(std::max(s.n, 0)));
    int n = 0;
    for (int i = 0; i < s.n; ++i)
        if (!is_missing(s.v[i])) rs.pcwork[n++] = s.v[i] + 0.0;
    if (n <= 0) {
        rs.p1[param] = rs.median[param] = rs.p2[param] = 0;
        return;
    }
    int numbers = n;
    std::vector<int> want;
    for (double p : {static_cast<double>(rs.opt().pc1), 50.0, static_cast<double>(rs.opt().pc2)})
        rows_read(n, p, want);
    std::sort(want.begin(), want.end());
    want.erase(std::unique(want.begin(), want.end()), want.end());
    want.erase(std::lower_bound(want.begin(), want.end(), numbers), want.end());
    select_rows(rs.pcwork, 0, numbers, want.data(), want.data() + want.size());
    const double* b = rs.pcwork.data();
    rs.p1[param] = percentile(b, n, rs.opt().pc1);
    rs.median[param] = percentile(b, n, 50.0);
    rs.p2[param] = percentile(b, n, rs.opt().pc2);
}

// Average and sample variance of the n values present; the variance is summed about
// the mean, which keeps its digits for large values with a small spread.
void average_and_deviation(ParamStats& st, const Series& s, int n) {
    st.avg = n > 0 ? st.sumx / n : 0.0;
    double ss = 0;
    for (int i = 0; i < s.n; ++i) {
        if (is_missing(s.v[i])) continue;
        double d = s.v[i] - st.avg;
        ss += d * d;
    }
    st.variance = n > 1 ? ss / (n - 1) : 0.0;
    st.stdev = std::sqrt(st.variance);
}

int constant_data_test(RunState& rs, const ParamStats& st, int param) {
    if (st.max_y > st.min_y) return 1;
    int col = column_of(rs, param);
    const std::string& label = label_of(rs, param);
    int jval = atoi_s(rs.opt().jval);
    if (!keeps_constants(rs)) {
        if (!rs.opt().iflag)
            fout(rs.logfp, "%d, Data is constant = %f, skipping chart for %s\n", col,
                 shown(st.max_y), label.c_str());
        return -1;
    }
    if (st.max_y < jval || (rs.opt().maonly_flag && st.mamax_y == 0)) {
        if (!rs.opt().iflag)
            fout(rs.logfp, "%d, Data is constant %s and less than %d, skipping chart for %s\n", col,
                 st.shown_max.text().c_str(), jval, label.c_str());
        return -1;
    }
    return 1;
}

}  // namespace

int column_of(const RunState& rs, int param) {
    if (rs.param_nums.empty() || param < 0 || static_cast<size_t>(param) >= rs.param_nums[0].size())
        return 0;
    return rs.param_nums[0][param];
}

bool decimal_column(const RunState& rs, int param) {
    int col = column_of(rs, param);
    return col >= 0 && static_cast<size_t>(col) < rs.fp_nums.size() && rs.fp_nums[col];
}

const std::string& label_of(const RunState& rs, int param) {
    static const std::string none;
    return param >= 0 && static_cast<size_t>(param) < rs.xlabel.size() ? rs.xlabel[param] : none;
}

std::string minmax_cells(const ParamStats& st) {
    return strfmt("%9.9s %9.9s", Shown{shown(st.thispar_min_y), st.places}.text().c_str(),
                  Shown{shown(st.thispar_max_y), st.places}.text().c_str());
}

namespace {
double listed_ratio(const ParamStats& st) {
    return st.ratio != 0 ? st.ratio : 1.0;
}
}  // namespace

Shown shown_average(const RunState& rs, const ParamStats& st) {
    return {st.avg / listed_ratio(st), rs.opt().precision};
}

Shown shown_percentile(const RunState& rs, const ParamStats& st, int w, double v) {
    v /= listed_ratio(st);
    bool two = v <= 10 && v != 0 && decimal_column(rs, w);
    return {v, two ? 2 : rs.opt().precision};
}

int trunc_to_int(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(v);
}

void get_min_max(RunState& rs, int fno, int param, ParamStats& st) {
    if (rs.num - 1 > rs.maxpts) {
        out("too many data points, %d\n", rs.maxpts + 1);
        end_run(END_ERROR);
    }
    Series s = series(rs, fno, param);
    // One pass over the series for the extremes and, of the first file, the sum: in
    // locals, as every step through the state would store and load them again.
    double maxy = st.max_y, miny = st.min_y, tmax = -HUGE_VAL, tmin = HUGE_VAL;
    int maxrow = -1;
    double sumx = 0;
    int present = 0;
    bool finite = true;
    const bool sums = fno == 0;
    for (int i = 0; i < s.n; ++i) {
        double v = s.v[i];
        if (v >= maxy) {
            maxy = v;
            maxrow = i;
        }
        if (v <= miny) miny = v;
        if (v > tmax) tmax = v;
        if (v < tmin) tmin = v;
        if (sums && !is_missing(v)) {
            ++present;
            sumx += v;
            if (!std::isfinite(v)) finite = false;
        }
    }
    st.max_y = maxy;
    st.min_y = miny;
    if (sums) {
        st.sumx = sumx;
        st.present = present;
        st.finite = finite;
    }
    st.thispar_max_y = tmax;
    st.thispar_min_y = tmin;
    if (maxrow >= 0) st.max_y_time = xtext(rs, maxrow).empty() ? xtext(rs, 0) : xtext(rs, maxrow);

    st.places = decimal_column(rs, param) ? rs.opt().precision : 0;
    st.shown_max = {shown(st.max_y), st.places};
    st.shown_min = {shown(st.min_y), st.places};
    int slot = rs.opt().oflag ? (param <= 19 ? param : -1) : (rs.filenum <= 19 ? fno : -1);
    if (slot >= 0 && slot < 20) rs.ov_minmax_ar[slot] = minmax_cells(st);

    // The per-file extremes only count on overlay and multi-file runs.
    bool tracked = rs.opt().oflag || rs.filenum >= 1;
    if (!tracked || s.n == 0 || tmin != tmax || (keeps_constants(rs) && tmin >= atoi_s(rs.opt().jval)))
        st.multi_const = 0;
}

void setup_min_max(RunState& rs, int w, ParamStats& st) {
    if (!rs.opt().oflag) {
        st.mamax_y = -HUGE_VAL;
        st.max_y = -HUGE_VAL;
        st.mamin_y = HUGE_VAL;
        st.min_y = HUGE_VAL;
        st.max_y_time.clear();
        st.ma_x_val.clear();
        st.mi_x_val.clear();
        st.ma_x_val_min = st.ma_x_val_max = 0;
    }
    st.multi_const = 1;
    st.sumx = 0;
    st.present = 0;
    st.finite = true;
    for (int f = 0; f <= rs.filenum; ++f) get_min_max(rs, f, w, st);
    if (rs.opt().nflag && w >= 0 && w < 20)
        rs.norm_max_y_ar[w] =
            st.thispar_max_y == 0 || std::isinf(st.thispar_max_y) ? 1.0 : st.thispar_max_y;
}

int calc_stats(RunState& rs, int w, ParamStats& st) {
    Series s = series(rs, 0, w);
    int n = s.n;
    int result = 1;

    // The sum and count of the values present came with the extremes (setup_min_max).
    const int present = st.present;
    const bool finite = st.finite;
    st.nodata = present == 0;

    bool ma_window = rs.opt().aflag && rs.ma_samples != rs.num;
    if (ma_window) moving_average(rs, st, w, s, finite);

    double shown_max = st.shown_max.number();
    st.ratio = shown_max == 0 ? 1.0 : st.max_y / shown_max;
    if (!(st.ratio > 0)) st.ratio = 1.0;

    // The sorted pass reuses the first pass's percentiles; the Others series of a top-n
    // run first exists there, so it gets its own.
    if (rs.opt().pcflag && (rs.srtpass == 0 || w == rs.numpar + 1)) compute_percentiles(rs, w, s);

    // Average and deviation of the first file on every run: the sort keys need them also
    // when several files are charted together.
    average_and_deviation(st, s, present);
    if (rs.filenum == 0 && !rs.opt().oflag) {
        if (rs.opt().cflag) result = correl_test(rs, w, st);
        ensure_size(rs.max_ar, w);
        if (w >= 0) rs.max_ar[w] = trunc_to_int(st.max_y);
        // A parameter the correlation test dropped needs no second explanation.
        if (result == 1 && st.nodata) {
            if (!rs.opt().iflag)
                fout(rs.logfp, "%d, No valid data, skipping chart for %s\n", column_of(rs, w),
                     label_of(rs, w).c_str());
            result = -1;
        }
        if (result == 1) result = constant_data_test(rs, st, w);
    }

    if (rs.opt().aflag && !ma_window) {
        // The window spans the whole series: a flat line at the rounded average.
        double flat = std::trunc(st.avg + 0.5);
        std::vector<double>& ma = ma_row(rs, w, n);
        std::fill(ma.begin(), ma.end(), flat);
        if (present > 0) st.mamax_y = st.mamin_y = flat;
    }
    if (rs.opt().maonly_flag && !std::isinf(st.mamax_y)) {
        st.max_y = st.mamax_y;
        st.min_y = st.mamin_y;
        if (decimal_column(rs, w)) {
            st.shown_max = {st.max_y, rs.opt().precision};
            st.shown_min = {st.min_y, rs.opt().precision};
        } else {
            double div = rs.max_y_ratio != 0 ? rs.max_y_ratio : 1;
            st.shown_max = {st.max_y / div, 0};
            st.shown_min = {st.min_y / div, 0};
        }
    }
    return result;
}

double calc_ma(const RunState& rs, int param, int pt) {
    Series s = series(rs, 0, param);
    if (pt < 0 || pt >= s.n) return 0.0;
    int h = rs.ma_samples / 2;
    int lo = std::max(0, pt - h), hi = std::min(s.n, pt + h);
    if (hi <= lo) return s.v[pt];
    double sum = 0;
    int present = 0;
    for (int i = lo; i < hi; ++i)
        if (!is_missing(s.v[i])) {
            sum += s.v[i];
            ++present;
        }
    return present > 0 ? sum / present : MISSING;
}

double percentile(const double* B, int n, double p) {
    if (n <= 0) return 0.0;
    double r = (n + 1) * p / 100.0;
    if (r < 1) return B[0];
    if (r > n) return B[n - 1];
    int k = static_cast<int>(r);
    if (k == r) return B[k - 1];
    return (B[k - 1] + B[k]) / 2;
}

void sortfp(double* B, int n) {
    if (n > 1) std::stable_sort(B, B + n, ascending);
}
