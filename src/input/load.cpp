#include "input/load.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string_view>

#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/scan.h"
#include "base/strings.h"
#include "core/row_sink.h"
#include "core/timestamps.h"
#include "input/fields.h"
#include "input/linereader.h"
#include "input/multifile.h"
#include "select/rename.h"

namespace {

// Seconds of a clock text "hh:mm:ss[.cc]" within its day; hundredths above 50 round up.
long long clock_seconds(const std::string& t) {
    int hh = 0, mm = 0, ss = 0, cc = 0;
    TextScan(t).clock(hh, mm, ss).lit('.').num(cc);
    return clock_secs(hh, mm, ss) + (cc > 50 ? 1 : 0);
}

// Rows on an axis of row numbers (the axis option's R) instead of time stamps.
bool numbered_rows(const RunState& rs) {
    return rs.opt().axisflag && rs.opt().axiscol == -1;
}

size_t grid_rows(const RunState& rs) {
    return static_cast<size_t>(std::max(rs.totmiss + rs.num + rs.numcalcs + 21, 1));
}

}  // namespace

void alloc_space(RunState& rs) {
    int files = rs.filenum + 1;
    int slots = rs.numcalcs + rs.numpar + 20 + (rs.wild ? rs.numcol : 0);
    int rows = static_cast<int>(grid_rows(rs));
    int f = 0, j = 0;
    try {
        rs.pts.assign(static_cast<size_t>(files), {});
    } catch (const std::exception&) {
        out("pts calloc failed\n");
        end_run(END_ERROR);
    }
    // All series are allocated before any is filled, side by side and backed by huge
    // pages: filling them page by page was a third of the time of loading a large file.
    keep_large_blocks_together();
    std::vector<std::pair<void*, size_t>> blocks;
    for (f = 0; f < files; ++f) {
        try {
            rs.pts[f].assign(static_cast<size_t>(slots), {});
        } catch (const std::exception&) {
            out("pts[%d] calloc failed\n", f);
            end_run(END_ERROR);
        }
        try {
            for (j = 0; j < slots; ++j) {
                rs.pts[f][j].reserve(static_cast<size_t>(rows));
                blocks.emplace_back(rs.pts[f][j].data(),
                                    sizeof(double) * static_cast<size_t>(rows));
            }
        } catch (const std::exception&) {
            out("pts[%d][%d] calloc failed\n", f, j);
            end_run(END_ERROR);
        }
    }
    back_with_huge_pages(std::move(blocks));
    for (auto& file : rs.pts)
        for (auto& series : file) series.assign(static_cast<size_t>(rows), MISSING);
    if (rs.opt().verbose) out("Allocated memory for pts[%d][%d][%d]\n", files, slots, rows);
}

namespace {

// The interval from the previous row's stamp to this one's, and this row's seconds in
// cursecs. The previous stamp becomes the start of the run (a stamp without a date
// is a time of day on the comment's date).
int interval_between(RunState& rs, const std::string& prev, const std::string& cur,
                     time_t& cursecs) {
    int interval = 0;
    if (prev.find(' ') == std::string::npos) {
        rs.start_t = prev;
        if (rs.start_d.empty()) rs.start_d = "01-JAN-1970";
        interval = clamped_int(clock_seconds(cur) - clock_seconds(prev));
        if (interval >= 58 && interval <= 62) interval = 60;
        const std::string day = rs.comment_sdate.empty() ? "01-JAN-1970" : rs.comment_sdate;
        long long s = clock_seconds(cur);
        cursecs = stamp_secs(
            strfmt("%s %02lld:%02lld:%02lld.00", day.c_str(), s / 3600, s / 60 % 60, s % 60));
    } else {
        size_t sp = prev.find(' ');
        rs.start_d = prev.substr(0, sp);
        rs.start_t = prev.substr(sp + 1);
        cursecs = stamp_secs(cur);
        interval = clamped_int(cursecs - stamp_secs(prev));
    }
    return interval;
}

// The first pass over the rows logs the interval and marks the missing samples of a
// gap in the first file, so that the grid keeps their slots.
void note_interval(RunState& rs, int i, int fno, int interval, const std::string& prev,
              const std::string& cur) {
    if (i == 1 && !rs.opt().iflag) fout(rs.logfp, "Sampling Interval = %d\n", interval);
    if (interval < 0)
        out("Invalid sampling interval %d between %s and %s\n", interval, prev.c_str(),
            cur.c_str());
    // From one window of a time-of-day range to the next is no gap in the data.
    // Rows numbered instead of timed have no gaps: their texts are row numbers.
    if (fno != 0 || rs.comm_sampint == 0 || rs.opt().nth != 1 || rs.window_break ||
        numbered_rows(rs))
        return;
    // 64-bit: an interval held at the int limit must not overflow here.
    long long wide = static_cast<long long>(interval) / rs.comm_sampint - 1;
    int gap = wide < 5 ? 0 : clamped_int(wide);
    // Never more missing slots than the grid was sized for.
    gap = std::min(gap, std::max(rs.totmiss - rs.missints, 0));
    if (gap <= 0) return;
    for (int k = 0; k < gap; ++k) {
        size_t idx = static_cast<size_t>(rs.missints + i + k);
        if (idx < rs.miss_ar.size()) rs.miss_ar[idx] = -1;
    }
    rs.missints += gap;
    rs.tmpmiss = gap;
    if (rs.opt().verbose)
        out("\n%3d Missing samples from %23.23s to %23.23s", gap, prev.c_str(), cur.c_str());
}

// The end of the run from the last row's stamp; a time of day alone ends as many
// intervals after the start as the first file has.
void take_end(RunState& rs, int interval) {
    size_t last = static_cast<size_t>(std::max(rs.num - 1, 0));
    const std::string lastv = last < rs.x_vals.size() ? rs.x_vals[last] : std::string();
    if (lastv.find(':') != std::string::npos) {
        size_t sp = lastv.find(' ');
        if (sp != std::string::npos) {
            rs.end_d = lastv.substr(0, sp);
            rs.end_t = lastv.substr(sp + 1);
        } else {
            rs.end_t = lastv;
            int n = rs.files.empty() ? 0 : rs.files[0].fileintnums;
            rs.end_d = day_text(stamp_secs(rs.start_d + " " + rs.start_t) +
                                static_cast<time_t>(interval) * n);
            rs.ch_end_d = rs.end_d;
        }
    }
    if (numbered_rows(rs)) {
        rs.start_d.clear();
        rs.end_d.clear();
        rs.start_t = "1";
        rs.end_t = strfmt("%d", rs.num);
    }
}

void show_start_and_end(RunState& rs) {
    if (!rs.opt().qflag)
        out("Start date = %s %s, End date = %s %s\n", rs.start_d.c_str(), rs.start_t.c_str(),
            rs.end_d.c_str(), rs.end_t.c_str());
    if (!rs.opt().iflag)
        fout(rs.logfp, "Start date = %s %s, End date = %s %s\n", rs.start_d.c_str(),
             rs.start_t.c_str(), rs.end_d.c_str(), rs.end_t.c_str());
    if (rs.toomanyfiles && !rs.said_toomany) {
        out("\nToo many CSV files!, the first %d will be used\n\n", 200);
        rs.said_toomany = 1;
    }
}

// The first file's start and end are the range the charts' time axis spans.
void take_chart_range(RunState& rs) {
    rs.rangestart = stamp_secs(rs.start_d + " " + rs.start_t);
    rs.rangeend = stamp_secs(rs.end_d + " " + rs.end_t);
    rs.rangedursecs = rs.rangeend - rs.rangestart;
    // Windows of several days lie side by side: the axis spans the kept time.
    if (rs.range_windows > 1) rs.rangedursecs = rs.dur;
    rs.ch_start_d = rs.start_d;
    rs.ch_end_d = rs.end_d;
    rs.ch_start_t = rs.start_t;
    rs.ch_end_t = rs.end_t;
}

}  // namespace

int calc_sampint(RunState& rs, int i, int cnt, int fno) {
    const std::string& prev = rs.x_vals[static_cast<size_t>(i - 1)];
    const std::string& cur = rs.x_vals[static_cast<size_t>(i)];
    time_t cursecs = 0;
    int interval = interval_between(rs, prev, cur, cursecs);
    if (cursecs > rs.lastsecs && rs.lastsecs != 0) return interval;

    if (cnt == 0)
        note_interval(rs, i, fno, interval, prev, cur);
    else if (rs.missints != 0)
        out("\nWarning! %d sample values are missing!\n\n", rs.missints);
    if (i == 1) {
        take_end(rs, interval);
        if (cnt == 1) show_start_and_end(rs);
        if (fno == 0) take_chart_range(rs);
    }
    return interval;
}

void makenewline(RunState& rs, const std::string& oldline, std::string& newline) {
    std::vector<std::string> f = split_fields(oldline);
    newline = f.empty() ? std::string() : f[0];
    for (int k = 0; k < rs.numpar; ++k) {
        if ((rs.opt().renameflg || !rs.oldnameptrn.empty()) && !rs.wild) rename_label(rs, k);
        const std::string& label = rs.xlabel[static_cast<size_t>(k)];
        newline += ',';
        newline += label;
        rs.maxlabelsiz = std::min(72, std::max(rs.maxlabelsiz, static_cast<int>(label.size())));
    }
}

bool row_in_range(const RunState& rs, const std::string& stamp, StampTime& st) {
    if (numbered_rows(rs)) return true;
    if (!rs.opt().timerange.active()) return true;
    read_stamp(stamp, undated_day(rs), st);
    return rs.opt().timerange.holds(st);
}

namespace {

// Where a field of the rows goes: the series of its parameter slot j, or none.
struct FieldDest {
    double* series = nullptr;
    int j = -1;
};

struct QuickRun {
    const char* p;  // at the comma before field k
    int k;
    int taken;      // fields stored
};

// The fields of a row from field k on as far as they are plain: short decimals that go
// into the grid, and fields of no selected column, which are skipped. Stops before the
// first field that needs more (another kind of number, the fields at stop1 and stop2)
// and at the end of the line. Kept apart from the loader, so that this loop has the
// registers to itself.
[[gnu::noinline]] QuickRun quick_fields(const char* p, const char* end, const FieldDest* d, int k,
                                        int kend, size_t slot, int stop1, int stop2) {
    int taken = 0;
    for (; k < kend && k != stop1 && k != stop2 && end - p > 1; ++k) {
        const char* b = p + 1;
        double* series = d[k].series;
        if (!series) {
            const void* c = memchr(b, ',', static_cast<size_t>(end - b));
            p = c ? static_cast<const char*>(c) : end;
            continue;
        }
        double v;
        const char* e = short_decimal_field(b, end, v);
        if (!e) break;
        series[slot] = v;
        ++taken;
        p = e;
    }
    return {p, k, taken};
}

struct FileLoad {
    RunState& rs;
    int f;
    RowSink* sink;             // takes the rows too, when it wants this file's
    std::vector<int> colslot;  // selected column -> parameter slot, -1 when not selected
    int r = 0;                 // rows stored
    int reccnt = 0;            // rows that passed the range test
    int stored0 = 0;           // fields stored on row 0
    bool ex = false;           // this file's rows go to the sink
    StoredRow stored;          // the row handed to the sink, reused
    bool daily = false;    // a time-of-day range: rows fall into windows, day by day
    long long window = 0;  // window of the last row stored
    int lineno = 0;                   // line number in the file of the line being read
    int badcells = 0, shortlines = 0, told = 0;
    std::vector<std::string> names;   // the file's column names, split when first needed

    FileLoad(RunState& s, int fno, RowSink* to) : rs(s), f(fno), sink(to) {
        daily = rs.opt().timerange.kind == TimeRange::DAILY && !numbered_rows(rs);
        ex = sink && sink->wants_rows(f);
        int ncols = rs.files[static_cast<size_t>(f)].numcols;
        colslot.assign(static_cast<size_t>(ncols + 2), -1);
        const auto& nums = rs.param_nums[static_cast<size_t>(f)];
        for (int j = rs.numpar - 1; j >= 0; --j) {
            int c = nums[static_cast<size_t>(j)];
            if (c >= 1 && c <= ncols + 1) colslot[static_cast<size_t>(c)] = j;
        }
        plan_fields();
    }

    // At most this many damaged places of a file are named in the log; the rest are counted.
    static constexpr int MAX_TOLD = 20;

    const char* column_name(int k) {
        if (names.empty()) {
            names = split_fields(rs.files[static_cast<size_t>(f)].line);
            for (std::string& n : names) trim(n);
        }
        size_t i = static_cast<size_t>(k) + 1;
        return i < names.size() && !names[i].empty() ? names[i].c_str() : "?";
    }

    void tell_bad_cell(int k) {
        ++badcells;
        if (++told > MAX_TOLD || rs.opt().iflag) return;
        fout(rs.logfp, "%s line %d: column %s is not a number, read as missing\n",
             rs.files[static_cast<size_t>(f)].datafil.c_str(), lineno, column_name(k));
    }

    void tell_short_line(int k) {
        ++shortlines;
        if (++told > MAX_TOLD || rs.opt().iflag) return;
        fout(rs.logfp, "%s line %d: the line ends before column %s, read as missing\n",
             rs.files[static_cast<size_t>(f)].datafil.c_str(), lineno, column_name(k));
    }

    // The end of the file's rows: the count of places not named, and one warning line.
    void tell_totals() {
        if (told > MAX_TOLD && !rs.opt().iflag)
            fout(rs.logfp, "%s: %d more damaged lines or cells not listed\n",
                 rs.files[static_cast<size_t>(f)].datafil.c_str(), told - MAX_TOLD);
        if ((badcells || shortlines) && !rs.opt().qflag)
            out("Warning: %s has %d cells that are not numbers and %d short lines, read as "
                "missing values\n",
                rs.files[static_cast<size_t>(f)].datafil.c_str(), badcells, shortlines);
    }

    int slot_of_column(int k) const {
        if (rs.filenum == 0 && rs.allparms && k < rs.numpar) return k;
        size_t c = static_cast<size_t>(k + 1);
        return c < colslot.size() ? colslot[c] : -1;
    }

    // Where the fields of every row of the file go, worked out once: the loop over a
    // row's fields then reads no run state. By field number k (0 = the first after the
    // time stamp).
    std::vector<FieldDest> dest;
    int memk = -1;                // the field that also gives the memory utilisation
    double* memseries = nullptr;  // ... and where that goes
    int axisk = -1;               // the field that holds the X axis values

    void plan_fields() {
        const int ncols = rs.files[static_cast<size_t>(f)].numcols;
        dest.assign(static_cast<size_t>(std::max(ncols, rs.opt().axiscol + 1)), {});
        auto& series = rs.pts[static_cast<size_t>(f)];
        for (int k = 0; k < ncols; ++k) {
            int j = slot_of_column(k);
            if (j < 0 || static_cast<size_t>(j) >= series.size()) continue;
            dest[static_cast<size_t>(k)] = {series[static_cast<size_t>(j)].data(), j};
            if (j == rs.freelistnum && static_cast<size_t>(rs.numpar) < series.size()) {
                memk = k;
                memseries = series[static_cast<size_t>(rs.numpar)].data();
            }
        }
        if (rs.opt().axisflag && rs.opt().axiscol >= 2) axisk = rs.opt().axiscol - 2;
    }

    static const char* field_end(const char* b, const char* end) {
        const void* c = memchr(b, ',', static_cast<size_t>(end - b));
        return c ? static_cast<const char*>(c) : end;
    }

    struct Cell {
        const char* end;
        double v;
        bool bad;
    };

    // A field that is not a short decimal, or any field of the first row, which also
    // notes which columns have decimals.
    Cell unusual_field(const char* b, const char* end, int k, bool first_row) {
        Cell c{field_end(b, end), 0.0, false};
        const size_t len = static_cast<size_t>(c.end - b);
        bool colon = memchr(b, ':', len) != nullptr;
        if (first_row && !colon && memchr(b, '.', len) &&
            static_cast<size_t>(k + 1) < rs.fp_nums.size())
            rs.fp_nums[static_cast<size_t>(k + 1)] = 1;
        if (!colon) c.v = field_value(b, c.end, c.bad);
        if (c.bad) tell_bad_cell(k);
        return c;
    }

    // The grid row of the row being read: past the gaps found so far, unless they are
    // left out.
    int row_slot() const { return rs.opt().ignoreflag ? r : rs.missints + r; }

    // p is at the comma after the time stamp. Every further comma starts a field, an
    // empty one included (it reads as 0); a comma that ends the line starts none.
    void store_fields(const char* p, const char* end) {
        const int ncols = rs.files[static_cast<size_t>(f)].numcols;
        const int slot = row_slot();
        const bool in_grid = static_cast<size_t>(slot) < grid_rows(rs);
        const bool first_row = r == 0 && f == 0;
        const bool verbose = rs.opt().verbose;
        const FieldDest* d = dest.data();
        const int kend = static_cast<int>(dest.size());
        // Rows after the first that go nowhere but the grid are mostly read the quick way.
        const bool quick = in_grid && !first_row && !ex;
        int k = 0, taken = 0;
        for (; p < end && k < kend; ++k) {
            if (quick) {
                QuickRun q = quick_fields(p, end, d, k, kend, static_cast<size_t>(slot), memk, axisk);
                p = q.p;
                k = q.k;
                taken += q.taken;
                if (p >= end || k >= kend) break;
            }
            const char* b = ++p;
            if (b >= end) break;
            if (k >= ncols && first_row && verbose)
                out("Warning: there are less Column Headers (%d) than data columns (%d)\n", ncols,
                    k + 1);
            double* series = in_grid ? d[k].series : nullptr;
            if (series) {
                // Most fields are plain numbers: finding the end and reading the value
                // is then one step.
                double v = 0;
                bool bad = false;
                p = first_row ? nullptr : short_decimal_field(b, end, v);
                if (!p) {
                    Cell c = unusual_field(b, end, k, first_row);
                    p = c.end;
                    v = c.v;
                    bad = c.bad;
                }
                if (ex) sink->cell(d[k].j, k + 1, b, static_cast<size_t>(p - b), v, bad);
                series[slot] = v;
                if (k == memk) {
                    rs.param_nums[0][static_cast<size_t>(rs.numpar)] = rs.memutilnum;
                    memseries[slot] = rs.physmem - v;
                }
                ++taken;
            } else {
                p = field_end(b, end);
            }
            if (k == axisk) rs.x_vals[static_cast<size_t>(r)].assign(b, static_cast<size_t>(p - b));
        }
        // The columns a cut-short line lacks stay missing.
        if (k < ncols) tell_short_line(k);
        if (r == 0) stored0 = taken;
    }

    void row_zero_checks() {
        if (stored0 >= rs.numpar) return;
        if (rs.opt().append) {
            out("\nThe CSV files used with /append must have the same number of columns and in "
                "the same order !\n");
            end_run(END_ERROR);
        }
        if (rs.filenum == 0 && rs.opt().verbose && !rs.opt().qflag)
            out("Warning: There are more column headers (%d) than data columns (%d)\n",
                rs.files[static_cast<size_t>(f)].numcols, stored0);
    }

    std::string unquoted;  // a line that had quotes, without them
    std::string stamp;     // the row's time stamp, blanks trimmed

    // The time stamp [b, e) as trim leaves it; most need no change and are taken as
    // they are.
    void take_stamp(const char* b, const char* e) {
        bool plain = b == e || (*b != ' ' && e[-1] != ' ');
        for (const char* q = b; plain && q < e; ++q)
            plain = *q == ' ' ? q[1] != ' ' : !is_space(*q);
        stamp.assign(b, static_cast<size_t>(e - b));
        if (!plain) trim(stamp);
    }

    // One data line; false ends the rows of this file.
    bool take_line(std::string_view line) {
        if (r > rs.totmiss + rs.num) return false;
        if (memchr(line.data(), '"', line.size())) {
            unquoted.assign(line);
            remove_chars(unquoted, '"');
            line = unquoted;
        }
        size_t b = line.find_first_not_of(',');
        if (b == std::string_view::npos) {
            out("strtok call failed! %s\n", std::string(line).c_str());
            return true;
        }
        size_t e = line.find(',', b);
        if (e == std::string_view::npos) e = line.size();
        take_stamp(line.data() + b, line.data() + e);
        bool axis_rows = rs.opt().datalinerow >= 0 || numbered_rows(rs);
        if (stamp.find(':') == std::string::npos && !rs.opt().axisflag) return true;
        if (static_cast<size_t>(r) >= rs.x_vals.size()) return false;
        StampTime st;
        if (!row_in_range(rs, stamp, st)) return true;
        std::string& xv = rs.x_vals[static_cast<size_t>(r)];
        if (axis_rows) {
            xv = strfmt("%d", r + 1);
        } else {
            xv = stamp;
            to_classic_stamp(xv);
        }
        long long w = daily ? rs.opt().timerange.window_of(st) : 0;
        rs.window_break = r > 0 && w != window;

        if (r == 1) {
            rs.sampint = (rs.opt().axisflag && rs.opt().axiscol != 0 && rs.opt().axiscol != -1)
                             ? 60
                             : calc_sampint(rs, 1, 0, f);
        } else if (r > 1 && rs.badsamps == 1) {
            calc_sampint(rs, r, 0, f);
        }
        rs.window_break = 0;
        if (rs.opt().macsvflg == 0) {
            int c = reccnt % std::max(rs.opt().nth, 1);
            ++reccnt;
            if (c != 0) return true;
        } else {
            ++reccnt;
        }
        store_fields(line.data() + e, line.data() + line.size());
        if (r == 0) row_zero_checks();
        if (ex) {
            stored.file = f;
            stored.slot = row_slot();
            stored.stamp = stamp;
            stored.calculated.clear();
            sink->row(stored);
        }
        window = w;
        ++r;
        return true;
    }
};

void open_failed(const std::string& name) {
    out("Input file %s not found\n", name.c_str());
    end_run(END_ERROR);
}

// Reads the lines above the first data line: node name, heading check. Returns the
// number of lines it leaves read.
int read_header(RunState& rs, int f, LineReader& rd, RowSink* sink) {
    std::string ln, last;
    int first = rs.files[static_cast<size_t>(f)].firstdataline;
    for (int i = 0; i < first; ++i) {
        if (!rd.next(ln)) {
            out("%72.72s\n", last.c_str());
            out("expected to find Parameter Headings here!\n");
            rd.rewind();
            rs.nohdr = 1;
            return 0;
        }
        if (i == 0) read_nodename(rs, ln, f);
        if (sink) sink->line_above(f, i, ln);
        last = ln;
    }
    return first;
}

// For a Y scale that ends at the largest maximum: the largest value of each column of
// the first file over the rows the count found. Rows the load met beyond those (after
// an end marker, the last of every n-th) are shown nowhere, so they count for nothing.
void keep_column_maxima(RunState& rs) {
    rs.colmax.clear();
    if (rs.opt().zmax != ZMAX_LARGEST || rs.pts.empty()) return;
    const auto& series = rs.pts[0];
    long long counted = rs.opt().ignoreflag ? rs.num : static_cast<long long>(rs.totmiss) + rs.num;
    size_t end = std::min(static_cast<size_t>(std::max(counted, 0LL)), grid_rows(rs));
    rs.colmax.assign(series.size(), MISSING);
    for (size_t j = 0; j < series.size() && j < static_cast<size_t>(std::max(rs.numpar, 0)); ++j) {
        double m = MISSING;
        for (size_t s = 0; s < end && s < series[j].size(); ++s) {
            double v = series[j][s];
            if (!is_missing(v) && (is_missing(m) || v > m)) m = v;
        }
        rs.colmax[j] = m;
    }
}

// Rows are read into x_vals by their running number; after a gap the grid rows are
// that many slots further on. Give every grid row its own time text (empty for the
// missing ones), so that the time of a maximum after a gap is that row's time.
void align_times_with_rows(RunState& rs) {
    size_t rows = static_cast<size_t>(std::max(rs.num + rs.totmiss, 0));
    rows = std::min({rows, rs.miss_ar.size(), rs.x_vals.size()});
    bool gaps = false;
    for (size_t s = 0; s < rows && !gaps; ++s) gaps = rs.miss_ar[s] == -1;
    if (!gaps) return;
    std::vector<std::string> byrow(rs.x_vals.size());
    size_t r = 0;
    for (size_t s = 0; s < rows; ++s)
        if (rs.miss_ar[s] != -1 && r < rs.x_vals.size()) byrow[s] = std::move(rs.x_vals[r++]);
    rs.x_vals.swap(byrow);
}

}  // namespace

void read_all_data(RunState& rs, RowSink* sink) {
    alloc_space(rs);
    for (int f = 0; f <= rs.filenum; ++f) {
        const std::string& name = rs.files[static_cast<size_t>(f)].datafil;
        FILE* fp = open_input(name);
        if (!fp) open_failed(name);
        if (rs.opt().verbose) out("opened file %s\n", name.c_str());
        LineReader rd(fp);
        int lines_above = read_header(rs, f, rd, sink);
        makenewline(rs, rs.files[static_cast<size_t>(f)].line, rs.newline);
        if (sink) sink->heading(f);

        FileLoad load(rs, f, sink);
        load.lineno = lines_above;
        std::string_view ln;
        try {
            while (rd.next(ln)) {
                ++load.lineno;
                if (rd.rawlen() <= 1) continue;
                if (!load.take_line(ln)) break;
            }
        } catch (...) {
            fclose(fp);
            throw;
        }
        if (f == 0) keep_column_maxima(rs);
        // Runs that leave gaps out count only the rows read. Calculated parameters keep
        // their gap rows like any other: the rows after a gap are stored past it.
        if (rs.opt().ignoreflag || numbered_rows(rs)) {
            rs.totmisssecs = rs.totmiss * (rs.files.empty() ? 0 : rs.files[0].samp);
            rs.totmiss = rs.missints = rs.tmpmiss = rs.badsamps = 0;
        }
        fclose(fp);
        load.tell_totals();
        if (f == 0 && !rs.opt().trimzeros && load.r > 1) {
            calc_sampint(rs, 1, 1, 0);
            rs.missints -= rs.tmpmiss;
        }
        if (!rs.opt().qflag) {
            if (rs.filenum > 0)
                out("%s, %5d records, %d secs interval", name.c_str(), load.reccnt, rs.sampint);
            if (load.r == load.reccnt)
                out("\n");
            else
                out(", %d records selected\n", load.r);
        }
    }
    if (sink) sink->end_of_load();
    align_times_with_rows(rs);
}
