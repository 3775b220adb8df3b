#include "stats/correl.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/dirswitch.h"
#include "base/files.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/scan.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "core/timestamps.h"
#include "input/fields.h"
#include "input/linereader.h"
#include "input/load.h"

namespace {

const double NO_VALUE = std::numeric_limits<double>::quiet_NaN();

// A row inserted for a missing interval holds no sample.
bool gap_row(const RunState& rs, int row) {
    return row >= 0 && static_cast<size_t>(row) < rs.miss_ar.size() && rs.miss_ar[row] == -1;
}

int column_of(const RunState& rs, int p) {
    if (rs.param_nums.empty() || p < 0 || static_cast<size_t>(p) >= rs.param_nums[0].size())
        return 0;
    return rs.param_nums[0][p];
}

const char* label_of(const RunState& rs, int p) {
    return p >= 0 && static_cast<size_t>(p) < rs.xlabel.size() ? rs.xlabel[p].c_str() : "";
}

// Pearson's coefficient from sums of products of deviations from the means (which keep
// their digits where the raw-sum formula cancels); -1 when a series has no variation.
// Rounded to ten decimals, so that an exact linear relation reads as exactly 1 whatever
// the rounding of the sums, and a threshold typed as a decimal compares as written.
double coefficient(double sxy, double sxx, double syy) {
    if (!(sxx > 0) || !(syy > 0)) return -1;
    double r = sxy / (std::sqrt(sxx) * std::sqrt(syy));
    if (!std::isfinite(r)) return -1;
    r = std::round(r * 1e10) / 1e10;
    return std::clamp(r, -1.0, 1.0);
}

struct RefLine {
    std::string stamp;
    double y;
};

// The grid rows carry the time stamps of their lines, except when rows are numbered,
// the x axis comes from a column, or several files were loaded over one another.
bool rows_have_stamps(const RunState& rs) {
    return rs.opt().datalinerow < 0 && !rs.opt().axisflag && !rs.opt().notimestamp && rs.filenum == 0;
}

std::vector<RefLine> read_reference_lines(RunState& rs, int param) {
    const std::string& name = rs.files[0].datafil;
    FILE* fp = open_input(name);
    if (!fp) {
        out("Error opening <%s>\n", name.c_str());
        end_run(END_ERROR);
    }
    FileCloser closer{fp};
    std::vector<RefLine> lines;
    try {
        LineReader rd(fp);
        std::string ln, stamp, value;
        int first = rs.files.empty() ? 0 : rs.files[0].firstdataline;
        for (int i = 0; i < first && rd.next(ln); ++i) {
        }
        while (rd.next(ln)) {
            if (rd.rawlen() < 2) continue;
            remove_chars(ln, '"');
            if (get_correl_param_vals(rs, ln, param, stamp, value) == -1) continue;
            // The load takes no line without a clock time as a row.
            if (!rs.opt().axisflag && stamp.find(':') == std::string::npos) continue;
            int i = static_cast<int>(lines.size());
            if (i > rs.maxpts) {
                out("too many data points, %d\n", i);
                end_run(END_ERROR);
            }
            lines.push_back({stamp, correl_value(value)});
        }
    } catch (const std::bad_alloc&) {
        out("read_correl_param tmpline allocation failed\n");
        end_run(END_ERROR);
    }
    return lines;
}

// Places each reference line on the grid row loaded from it. Data rows fill the grid
// rows that are not gap rows, in order. With time stamps a row takes the next line with
// its own stamp; without them the lines are taken in order, thinned as the load thins.
void pair_with_rows(RunState& rs, const std::vector<RefLine>& lines, int rows) {
    bool stamps = rows_have_stamps(rs);
    std::unordered_map<std::string, std::vector<size_t>> at;
    if (stamps)
        for (size_t i = 0; i < lines.size(); ++i) at[lines[i].stamp].push_back(i);
    size_t step = rs.opt().macsvflg == 0 && rs.opt().nth > 1 ? static_cast<size_t>(rs.opt().nth) : 1;
    size_t used = 0;  // lines before this one are taken or passed over
    size_t row = 0;
    for (int slot = 0; slot < rows; ++slot) {
        if (gap_row(rs, slot)) continue;
        size_t r = row++;
        const RefLine* ref = nullptr;
        if (!stamps) {
            if (r * step < lines.size()) ref = &lines[r * step];
        } else if (static_cast<size_t>(slot) < rs.x_vals.size()) {
            auto it = at.find(rs.x_vals[static_cast<size_t>(slot)]);  // grid rows keep their stamps
            if (it == at.end()) continue;
            auto p = std::lower_bound(it->second.begin(), it->second.end(), used);
            if (p == it->second.end()) continue;
            ref = &lines[*p];
            used = *p + 1;
        }
        if (ref) rs.corpoints[slot] = ref->y;
    }
}

// Mean and sum of squared deviations of one series over the rows that hold samples;
// the sum is 0 for a series without variation.
struct Spread {
    double mean = 0;
    double ss = 0;
    int missing = 0;  // rows without a value
};

Spread spread_of(const std::vector<double>& v, int rows) {
    Spread s;
    int n = 0;
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (int k = 0; k < rows; ++k) {
        if (is_missing(v[k])) continue;
        ++n;
        s.mean += v[k];
        lo = std::min(lo, v[k]);
        hi = std::max(hi, v[k]);
    }
    if (n == 0) return s;
    s.mean /= n;
    for (int k = 0; k < rows; ++k)
        if (!is_missing(v[k])) s.ss += (v[k] - s.mean) * (v[k] - s.mean);
    if (!(lo < hi)) s.ss = 0;
    s.missing = rows - n;
    return s;
}

// The coefficient of two series over the rows where both hold a value, each side
// centred on its own mean over those rows.
double paired_coefficient(const std::vector<double>& x, const std::vector<double>& y, int rows) {
    int n = 0;
    double xm = 0, ym = 0, xlo = HUGE_VAL, xhi = -HUGE_VAL, ylo = HUGE_VAL, yhi = -HUGE_VAL;
    for (int k = 0; k < rows; ++k) {
        if (is_missing(x[k]) || is_missing(y[k])) continue;
        ++n;
        xm += x[k];
        ym += y[k];
        xlo = std::min(xlo, x[k]);
        xhi = std::max(xhi, x[k]);
        ylo = std::min(ylo, y[k]);
        yhi = std::max(yhi, y[k]);
    }
    if (n == 0) return -1;
    xm /= n;
    ym /= n;
    double sxx = 0, syy = 0, sxy = 0;
    for (int k = 0; k < rows; ++k) {
        if (is_missing(x[k]) || is_missing(y[k])) continue;
        double dx = x[k] - xm, dy = y[k] - ym;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
    }
    return coefficient(sxy, xlo < xhi ? sxx : 0, ylo < yhi ? syy : 0);
}

// Σ dy·(x - xm) over the first rows; four partial sums keep the additions from waiting
// on one another, which is most of the time of the all-pairs mode.
double products(const std::vector<double>& dy, const std::vector<double>& x, double xm, int rows) {
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    int k = 0;
    for (; k + 4 <= rows; k += 4) {
        s0 += dy[k] * (x[k] - xm);
        s1 += dy[k + 1] * (x[k + 1] - xm);
        s2 += dy[k + 2] * (x[k + 2] - xm);
        s3 += dy[k + 3] * (x[k + 3] - xm);
    }
    for (; k < rows; ++k) s0 += dy[k] * (x[k] - xm);
    return (s0 + s1) + (s2 + s3);
}

}  // namespace

double correl_value(const std::string& field) {
    if (field.find(':') != std::string::npos) return 0;
    bool bad = false;
    return field_value(field.data(), field.data() + field.size(), bad);
}

int get_correl_param_vals(const RunState& rs, const std::string& s, int param, std::string& stamp,
                          std::string& value) {
    stamp.clear();
    value.clear();
    size_t b = s.find_first_not_of(',');
    if (b == std::string::npos) return 1;
    size_t e = s.find(',', b);
    stamp = s.substr(b, e == std::string::npos ? std::string::npos : e - b);
    trim(stamp);
    // The rows the load keeps, under the text the grid holds for them.
    if (!row_in_range(rs, stamp)) return -1;
    to_classic_stamp(stamp);

    // Fields are counted as the load counts them: every comma after the stamp starts
    // one, an empty one included.
    size_t pos = e;
    for (int k = 1; pos != std::string::npos && k <= param; ++k) {
        size_t next = s.find(',', pos + 1);
        if (k == param)
            value =
                s.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1);
        pos = next;
    }
    return 1;
}

void read_correl_param(RunState& rs, int param) {
    int rows = std::max(rs.num + rs.totmiss, 0);
    try {
        rs.corpoints.assign(static_cast<size_t>(rows) + 1, NO_VALUE);
    } catch (const std::bad_alloc&) {
        out("calloc failed for corpoints\n");
        end_run(END_ERROR);
    }
    if (rs.files.empty() || rs.files[0].datafil.empty()) return;
    std::vector<RefLine> lines = read_reference_lines(rs, param);
    pair_with_rows(rs, lines, rows);
}

int correl_test(RunState& rs, int w, ParamStats& st) {
    const std::vector<double>* v = rs.grid_series(w);
    size_t rows = std::min(static_cast<size_t>(std::max(rs.num, 0)), rs.corpoints.size());
    if (v) rows = std::min(rows, v->size());
    // Only rows where both sides hold a value are paired; a missing sample on either
    // side leaves its row out of the means and the sums alike.
    int n = 0;
    double sx = 0, sy = 0, lo = HUGE_VAL, hi = -HUGE_VAL;
    double ylo = HUGE_VAL, yhi = -HUGE_VAL;
    for (size_t k = 0; v && k < rows; ++k) {
        double y = rs.corpoints[k], x = (*v)[k];
        if (is_missing(y) || is_missing(x)) continue;
        ++n;
        sx += x;
        sy += y;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
        ylo = std::min(ylo, y);
        yhi = std::max(yhi, y);
    }
    double xm = n > 0 ? sx / n : 0, ym = n > 0 ? sy / n : 0;
    double cxx = 0, cyy = 0, cxy = 0;
    for (size_t k = 0; v && k < rows; ++k) {
        double y = rs.corpoints[k], x = (*v)[k];
        if (is_missing(y) || is_missing(x)) continue;
        double dx = x - xm, dy = y - ym;
        cxx += dx * dx;
        cyy += dy * dy;
        cxy += dx * dy;
    }
    if (!(lo < hi)) cxx = 0;
    if (!(ylo < yhi)) cyy = 0;
    st.corrcoef = coefficient(cxy, cxx, cyy);

    // A sorted run computes every parameter twice; the listing comes from the second.
    bool record = !rs.srtflag || rs.srtpass;
    int col = column_of(rs, w);
    if (st.corrcoef < rs.opt().corrth) {
        if (record && !rs.opt().iflag)
            fout(rs.logfp, "%d, Correlation Coefficient (%.2f) < %.2f, skipping chart for %s\n",
                 col, st.corrcoef, rs.opt().corrth, label_of(rs, w));
        return -1;
    }
    // The Others series of a top-n run is no column of the file.
    if (record && col > 0) rs.correl_lis += strfmt(rs.correl_lis.empty() ? "%d" : ",%d", col);
    return 1;
}

void check_for_allcorrelation(RunState& rs) {
    const char* name = "CORREL_MATRIX.LIS";
    if (rs.opt().dirflag) switch_dir(rs.opt().direcname, "11", rs.opt().verbose);
    refuse_input_as_output(rs, name);
    FILE* fp = fopen(name, "wb");
    if (!fp) {
        out("\nError opening file, %s\n", name);
        end_run(END_ERROR);
    }
    FileCloser closer{fp};
    if (rs.opt().dirflag) switch_dir(rs.opt().curname, "12", rs.opt().verbose);
    fout(fp, "Correlation of parameters in %s\n\n",
         rs.files.empty() ? "" : rs.files[0].datafil.c_str());
    const char* heading =
        "      Parameter                           correlates with Parameter               "
        "Coeff.\n\n";
    fout(fp, "%s", heading);
    if (!rs.opt().qflag) out("%s", heading);

    int np = std::max(rs.numpar, 0);
    int rows = std::max(rs.num, 0);
    static const std::vector<double> none;
    std::vector<const std::vector<double>*> series(static_cast<size_t>(np));
    for (int p = 0; p < np; ++p) {
        series[p] = rs.grid_series(p);
        if (!series[p]) series[p] = &none;
        rows = std::min(rows, static_cast<int>(series[p]->size()));
    }
    std::vector<Spread> spread(static_cast<size_t>(np));
    for (int p = 0; p < np; ++p) spread[p] = spread_of(*series[p], rows);
    // Rows inserted for collector gaps are missing in every series. A series missing
    // nowhere else pairs with another such series on the same rows, so their deviations
    // from the series' own means give the coefficient directly; a pair where either side
    // misses a value of its own is computed over the rows both hold.
    int gaps = 0;
    for (int k = 0; k < rows; ++k) gaps += gap_row(rs, k);
    std::vector<char> plain(static_cast<size_t>(np));
    for (int p = 0; p < np; ++p) plain[p] = spread[p].missing == gaps;
    // A plain series' deviations, 0 where it has no value.
    std::vector<std::vector<double>> centred(static_cast<size_t>(np));
    for (int p = 0; p < np; ++p) {
        if (!plain[p]) continue;
        const std::vector<double>& v = *series[p];
        centred[p].resize(static_cast<size_t>(rows));
        for (int k = 0; k < rows; ++k)
            centred[p][k] = is_missing(v[k]) ? 0.0 : v[k] - spread[p].mean;
    }

    // The coefficient of a pair does not depend on its order: each unordered pair is
    // computed once and reported under both of its parameters.
    std::vector<std::vector<std::pair<int, double>>> hits(static_cast<size_t>(np));
    for (int i = 0; i < np; ++i) {
        for (int j = i + 1; j < np; ++j) {
            if (column_of(rs, i) == column_of(rs, j)) continue;
            double rho =
                plain[i] && plain[j]
                    ? coefficient(products(centred[i], centred[j], 0.0, rows), spread[j].ss,
                                  spread[i].ss)
                    : paired_coefficient(*series[j], *series[i], rows);
            if (rho < rs.opt().corrth) continue;
            hits[i].emplace_back(j, rho);
            hits[j].emplace_back(i, rho);
        }
        for (size_t h = 0; h < hits[i].size(); ++h) {
            int j = hits[i][h].first;
            if (h == 0) {
                if (!rs.opt().qflag) out("\n");
                fout(fp, "\n");
            }
            std::string ln =
                strfmt("%3d %-36.36s %3d %-36.36s %3.3f\n", column_of(rs, i), label_of(rs, i),
                       column_of(rs, j), label_of(rs, j), hits[i][h].second);
            if (!rs.opt().qflag) out("%s", ln.c_str());
            fout(fp, "%s", ln.c_str());
        }
        std::vector<std::pair<int, double>>().swap(hits[i]);
    }
    closer.fp = nullptr;
    fclose(fp);
    out("\nCorrelation details are in %s\n", name);
}
