#include "stats/listing.h"

#include <algorithm>
#include <cmath>

#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "core/tables.h"
#include "stats/statistics.h"

namespace {

double value_at(const std::vector<double>& v, int i) {
    return i >= 0 && static_cast<size_t>(i) < v.size() ? v[i] : 0.0;
}

// A time text as the listing shows it: 'dd-mmm-yyyy hh:mm' (16 characters when the
// day has one digit and the seconds' colon would follow).
std::string cut_time(const std::string& t) {
    std::string c = t.substr(0, 17);
    if (c.size() == 17 && c[16] == ':') c.resize(16);
    return c;
}

// The part of a cut time shown in the time column (without the date on a one-day run).
const char* time_part(const RunState& rs, const std::string& cut) {
    size_t off = static_cast<size_t>(std::max(rs.tim_offset, 0));
    return off <= cut.size() ? cut.c_str() + off : "";
}

bool moving_peak_shown(const RunState& rs) {
    return rs.opt().aflag && rs.ma_samples != rs.num;
}

}  // namespace

void print_list_hdrs(RunState& rs) {
    if (rs.opt().oflag || rs.opt().corrall) return;
    if (rs.wild) rs.maxlabelsiz = 60;
    // The name column is at least 36 wide, however short the labels are.
    if (rs.maxlabelsiz < 36) rs.maxlabelsiz = 36;
    if (rs.start_d == rs.end_d) {
        rs.time_w = 7;
        rs.tim_offset = 11;
    }
    bool screen = !rs.opt().qflag && rs.filenum == 0;
    int L = rs.maxlabelsiz, tw = rs.time_w;
    const char* head = "\n  # %-*.*s %*.*s %*.*s %*.*s %*.*s";
    if (screen)
        out(head, L, L, "Parameter Name", rs.minsiz, rs.minsiz, "Min", rs.avgsiz, rs.avgsiz, "Avg",
            rs.maxsiz + 1, rs.maxsiz + 1, "Max", tw, tw, "MaxTime");
    fout(rs.outfp, head, L, L, "Parameter Name", rs.minsiz + 2, rs.minsiz + 2, "Min", rs.avgsiz + 2,
         rs.avgsiz + 2, "Avg", rs.maxsiz + 3, rs.maxsiz + 3, "Max", tw, tw, "MaxTime");
    fout(rs.outfp_csv, "#,%s,%s,%s,%s,%s", "Parameter Name", "Min", "Avg", "Max", "MaxTime");

    if (rs.opt().sdflag) {
        if (screen) out(" %*.*s  ", rs.stdevsiz, rs.stdevsiz, "StdDev");
        fout(rs.outfp, " %*.*s  ", rs.stdevsiz, rs.stdevsiz, "StdDev");
        fout(rs.outfp_csv, ",%s", "StdDev");
    }
    if (rs.opt().pcflag) {
        std::string t1 = strfmt("  P%2.1f  ", static_cast<double>(rs.opt().pc1));
        std::string t2 = strfmt("  P%2.1f  ", static_cast<double>(rs.opt().pc2));
        const char* f = "%*.*s %*.*s %*.*s";
        if (screen)
            out(f, rs.p1siz, rs.p1siz, t1.c_str(), rs.medsiz, rs.medsiz, "Median", rs.p2siz,
                rs.p2siz, t2.c_str());
        fout(rs.outfp, f, rs.p1siz, rs.p1siz, t1.c_str(), rs.medsiz, rs.medsiz, "Median", rs.p2siz,
             rs.p2siz, t2.c_str());
        fout(rs.outfp_csv, ",%s,%s,%s", t1.c_str(), "Median", t2.c_str());
    }
    if (moving_peak_shown(rs)) {
        if (screen) out(" %6.6s ", "Peak");
        fout(rs.outfp, " %6.6s ", "Peak");
        fout(rs.outfp_csv, ",%s", "Peak");
    }
    if (rs.opt().cflag) {
        if (screen) out("  Correlation");
        fout(rs.outfp, "  Correlation");
        fout(rs.outfp_csv, ",Correlation");
    }
    if (screen) out("\n\n");
    fout(rs.outfp, "\n\n");
    fout(rs.outfp_csv, "\n");
}

// Numbers are never cut to their column: a wider value widens its line instead of
// losing digits. Labels and times keep their fixed columns.
namespace {

// A parameter's numbers as its listing line shows them, in the listing's decimals.
struct ListedValues {
    std::string p1, median, p2;  // empty unless percentiles are asked for
    std::string average, stdev, minimum, maximum;
    std::string maxtime;  // cut to the listing's time column
};

ListedValues listed_values(const RunState& rs, const ParamStats& st, int w) {
    const double ratio = st.ratio != 0 ? st.ratio : 1.0;
    ListedValues v;
    if (rs.opt().pcflag) {
        v.median = shown_percentile(rs, st, w, value_at(rs.median, w)).text();
        v.p1 = shown_percentile(rs, st, w, value_at(rs.p1, w)).text();
        v.p2 = shown_percentile(rs, st, w, value_at(rs.p2, w)).text();
    }
    v.average = shown_average(rs, st).text();
    v.stdev = strfmt("%.*f", rs.opt().precision, st.stdev / ratio);
    // The extremes as shown, in the listing's decimals.
    v.minimum = strfmt("%.*f", rs.opt().precision, st.shown_min.number());
    v.maximum = strfmt("%.*f", rs.opt().precision, st.shown_max.number());
    v.maxtime = cut_time(st.max_y_time);
    return v;
}

// The first parameter of a one-parameter listing sizes its columns.
void size_columns(RunState& rs, const ParamStats& st, const ListedValues& v) {
    auto grow = [](int& width, const std::string& t) {
        width = std::max(width, static_cast<int>(t.size()));
    };
    // A zero-based scale starts at 0, and the minimum column is sized for that.
    grow(rs.minsiz, zero_scale(rs) ? "0" : st.shown_min.text());
    grow(rs.avgsiz, v.average);
    grow(rs.maxsiz, st.shown_max.text());
    grow(rs.medsiz, v.median);
    grow(rs.p1siz, v.p1);
    grow(rs.p2siz, v.p2);
    grow(rs.stdevsiz, v.stdev);
}

// Overlay and multi-file runs list the chart a parameter went into, not its numbers.
void print_chart_made(RunState& rs, const ParamStats& st, int col, const std::string& label) {
    if (rs.opt().qflag || rs.opt().nocharts) return;
    if (rs.filenum >= 1 && !st.multi_const)
        out("%4d Multifile PNG file %s created\n", col, rs.outpng.c_str());
    else if (rs.filenum >= 1)
        out("%4d %s, Constant data, skipping chart\n", col, label.c_str());
    else
        out("%4d Overlay PNG file %s created\n", col, rs.outpng.c_str());
}

int number_width(const RunState& rs) {
    return rs.numcol > 999 ? 4 : 3;
}

// Nothing to show numbers of: the name and the reason.
void print_no_data(RunState& rs, bool screen, int col, const std::string& label) {
    int numw = number_width(rs), L = rs.maxlabelsiz;
    if (screen) out("%*d %-*.*s no data\n", numw, col, L, L, label.c_str());
    fout(rs.outfp, "%*d %-*.*s no data\n", numw, col, L, L, label.c_str());
    fout(rs.outfp_csv, "%d,%s,no data\n", col, label.c_str());
}

// The columns every line has: number, name, minimum, average, maximum and its time.
void print_main_columns(RunState& rs, bool screen, int col, const std::string& label,
                        const ListedValues& v) {
    int numw = number_width(rs), L = rs.maxlabelsiz, tw = rs.time_w;
    const char* tpart = time_part(rs, v.maxtime);
    const char* line = "%*d %-*.*s %*s %*s %*s %*.*s";
    if (screen)
        out(line, numw, col, L, L, label.c_str(), rs.minsiz, v.minimum.c_str(), rs.avgsiz,
            v.average.c_str(), rs.maxsiz, v.maximum.c_str(), tw, tw, tpart);
    fout(rs.outfp, line, numw, col, L, L, label.c_str(), rs.minsiz + 2, v.minimum.c_str(),
         rs.avgsiz + 2, v.average.c_str(), rs.maxsiz + 2, v.maximum.c_str(), tw, tw, tpart);
    fout(rs.outfp_csv, "%d,%s,%s,%s,%s,%s", col, label.c_str(), v.minimum.c_str(),
         v.average.c_str(), v.maximum.c_str(), v.maxtime.c_str());
}

// The columns the options ask for, in the order of the headings.
void print_asked_columns(RunState& rs, const ParamStats& st, bool screen, const ListedValues& v) {
    if (rs.opt().sdflag) {
        if (screen) out(" %*s ", rs.stdevsiz, v.stdev.c_str());
        fout(rs.outfp, " %*s ", rs.stdevsiz, v.stdev.c_str());
        fout(rs.outfp_csv, ",%s", v.stdev.c_str());
    }
    if (rs.opt().pcflag) {
        const char* f = " %*s %*s %*s ";
        if (screen)
            out(f, rs.p1siz, v.p1.c_str(), rs.medsiz, v.median.c_str(), rs.p2siz, v.p2.c_str());
        fout(rs.outfp, f, rs.p1siz, v.p1.c_str(), rs.medsiz, v.median.c_str(), rs.p2siz,
             v.p2.c_str());
        fout(rs.outfp_csv, ",%s,%s,%s", v.p1.c_str(), v.median.c_str(), v.p2.c_str());
    }
    if (moving_peak_shown(rs)) {
        int tw = rs.time_w;
        std::string peak = cut_time(st.ma_x_val);
        const char* ppart = time_part(rs, peak);
        if (screen) out(" %*.*s", tw, tw, ppart);
        fout(rs.outfp, " %*.*s", tw, tw, ppart);
        fout(rs.outfp_csv, ",%s", peak.c_str());
    }
    if (rs.opt().cflag) {
        if (screen) out(" %2.2f", st.corrcoef);
        fout(rs.outfp, " %2.2f", st.corrcoef);
        fout(rs.outfp_csv, ",%2.2f", st.corrcoef);
    }
}

}  // namespace

void print_vals(RunState& rs, const ParamStats& st, int w, int skipped) {
    const char* note = skipped && !rs.opt().nocharts ? "Nochart" : "";
    int col = column_of(rs, w);
    const std::string& label = label_of(rs, w);
    const ListedValues v = listed_values(rs, st, w);
    if (rs.numpar == 1 && w == 0) size_columns(rs, st, v);

    if (rs.filenum >= 1 || rs.opt().oflag) {
        print_chart_made(rs, st, col, label);
        return;
    }
    if (rs.opt().cflag && st.corrcoef < rs.opt().corrth) return;
    bool screen = !rs.opt().qflag;
    if (st.nodata) {
        print_no_data(rs, screen, col, label);
        return;
    }
    print_main_columns(rs, screen, col, label, v);
    print_asked_columns(rs, st, screen, v);
    if (screen) out(" %s\n", note);
    fout(rs.outfp, " %s\n", note);
    fout(rs.outfp_csv, "\n");
}

void assign_pdata(RunState& rs, const ParamStats& st, int w) {
    if (w < 0) return;
    if (w == 0 || rs.pdata.empty()) alloc_pdata(rs);
    if (static_cast<size_t>(w) >= rs.pdata.size()) rs.pdata.resize(static_cast<size_t>(w) + 1);
    double ratio = st.ratio != 0 ? st.ratio : 1.0;
    ListingRow& d = rs.pdata[w];
    d.parnam = label_of(rs, w).substr(0, 79);
    d.number = w;
    if (rs.sortdim == SORT_TYPED_ORDER && static_cast<size_t>(w) < rs.orig_order.size())
        d.typed_order = rs.orig_order[w];
    if (st.nodata) {
        // No value to sort by: such a parameter goes last in either direction.
        d.average = d.p1 = d.median = d.p2 = d.minimum = d.maximum = d.stdev = MISSING;
        return;
    }
    d.average = st.avg / ratio;
    d.minimum = st.min_y / ratio;
    d.maximum = st.max_y / ratio;
    d.stdev = st.stdev / ratio;
    if (rs.opt().pcflag) {
        d.p1 = value_at(rs.p1, w) / ratio;
        d.median = value_at(rs.median, w) / ratio;
        d.p2 = value_at(rs.p2, w) / ratio;
    }
}

int top_shown(const RunState& rs) {
    return std::min(rs.opt().topnum, rs.numpar);
}

void apply_sort_request(RunState& rs) {
    if (rs.opt().sortdir_asked == SORT_NONE || rs.srtflag == SORT_NONE) return;
    rs.sortdim = rs.opt().sortkey_asked;
    rs.srtflag = rs.opt().sortdir_asked;
}

void sortx(std::vector<ListingRow>& B, int n, SortKey idx, SortOrder dir) {
    n = std::min(n, static_cast<int>(B.size()));
    if (n < 2) return;
    auto first = B.begin(), last = B.begin() + n;
    bool desc = dir == SORT_DESCENDING;
    if (idx == SORT_LABEL) {
        std::stable_sort(first, last, [desc](const ListingRow& a, const ListingRow& b) {
            return desc ? a.parnam > b.parnam : a.parnam < b.parnam;
        });
        return;
    }
    // NaN keys go last in either direction, keeping the order well defined.
    std::stable_sort(first, last, [desc, idx](const ListingRow& a, const ListingRow& b) {
        double x = a.key(idx), y = b.key(idx);
        if (std::isnan(x) || std::isnan(y)) return !std::isnan(x) && std::isnan(y);
        return desc ? x > y : x < y;
    });
}

namespace {

// Column widths of the sorted listing, taken from the row that leads in the sort key.
void size_columns(RunState& rs, int n) {
    const ListingRow& row = rs.pdata[rs.srtflag == SORT_DESCENDING ? 0 : n - 1];
    const std::pair<int*, double> columns[] = {{&rs.avgsiz, row.average}, {&rs.p1siz, row.p1},
                                               {&rs.medsiz, row.median},  {&rs.p2siz, row.p2},
                                               {&rs.minsiz, row.minimum}, {&rs.maxsiz, row.maximum},
                                               {&rs.stdevsiz, row.stdev}};
    for (const auto& [width_of, v] : columns) {
        int width = static_cast<int>(strfmt("%.2f", v).size());
        if (v > 10.0) width -= 3;
        *width_of = std::max(width, 8);
    }
}

// The Others series of a top-n run is the row-wise sum of every parameter past the first n.
void fold_others(RunState& rs, int n) {
    int rows = std::min(rs.num, static_cast<int>(rs.x_vals.size()));
    std::vector<double>* others = nullptr;
    if (rs.opt().topflag && (others = rs.grid_series(rs.numpar + 1)) != nullptr) {
        if (others->size() < static_cast<size_t>(rows)) others->resize(static_cast<size_t>(rows));
        // The sum of the values present; a row where none is present has none.
        std::fill(others->begin(), others->begin() + rows, MISSING);
        for (int w = top_shown(rs); w < n; ++w) {
            std::vector<double>* s = rs.grid_series(sorted_param(rs, w));
            if (!s) continue;
            int m = std::min(rows, static_cast<int>(s->size()));
            for (int r = 0; r < m; ++r) {
                double v = (*s)[r], &o = (*others)[r];
                if (rs.x_vals[r].empty() || is_missing(v)) continue;
                o = is_missing(o) ? v : o + v;
            }
        }
    }
}

}  // namespace

int sort_listing(RunState& rs) {
    int n = std::min(rs.numpar, static_cast<int>(rs.pdata.size()));
    sortx(rs.pdata, n, rs.sortdim, rs.srtflag);
    if (n > 0) size_columns(rs, n);
    fold_others(rs, n);
    if (rs.opt().topflag) {
        int longest = 36;
        for (int w = 0; w < std::min(top_shown(rs), n); ++w)
            longest = std::max(longest, static_cast<int>(label_of(rs, sorted_param(rs, w)).size()));
        rs.maxlabelsiz = longest;
    }
    return n;
}
