#include "input/count.h"

#include <algorithm>
#include <climits>
#include <exception>

#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/tables.h"
#include "core/timestamps.h"
#include "input/fields.h"

namespace {

// Passes over the lines above the first data line.
void skip_lines(LineReader& rd, int n, std::string& cur) {
    rd.rewind();
    for (int i = 0; i < n && rd.next(cur); ++i) {
    }
}

int nominal_interval(const RunState& rs) {
    if (rs.opt().ignoreflag) return 0;
    return rs.comm_sampint != 0 ? rs.comm_sampint : rs.files[0].samp;
}

// The time a range leaves out between its windows is no gap in the data: only the
// span within each window counts towards the nominal number of intervals.
struct Windows {
    int count = 0;
    long long current = 0;
    time_t first = 0, last = 0;
    long long span = 0;

    void add(long long w, time_t secs) {
        if (count == 0 || w != current) {
            span += last - first;
            ++count;
            current = w;
            first = secs;
        }
        last = secs;
    }
    long long total() const { return span + (last - first); }
};

// The first fields of the lines from the first data line up to the end marker (a line
// of two or three characters), blank lines and lines of commas alone left out: the
// survey's copy of them, or else the file read again.
class FirstFields {
   public:
    FirstFields(const RunState& rs, LineReader& rd) : kept_(rs.files[0].firstfields), rd_(rd) {
        if (!kept_.kept) skip_lines(rd_, rs.files[0].firstdataline, cur_);
    }
    bool next(std::string& ff) {
        if (kept_.kept) {
            if (i_ >= kept_.ends.size()) return false;
            size_t from = i_ == 0 ? 0 : kept_.ends[i_ - 1];
            ff.assign(kept_.text, from, kept_.ends[i_] - from);
            ++i_;
            return true;
        }
        while (rd_.next(cur_)) {
            size_t raw = rd_.rawlen();
            if (raw == 2 || raw == 3) return false;
            if (raw <= 1) continue;
            first_field_into(cur_, ff);
            if (!ff.empty()) return true;
        }
        return false;
    }

   private:
    const LineFields& kept_;
    LineReader& rd_;
    std::string cur_;
    size_t i_ = 0;
};

// One record per line whose first field holds a clock time, up to the end marker —
// the same lines the survey counted and the loader stores; descriptive lines, units
// lines and trailers are not records. The records are those the time range holds,
// wherever they lie in the file.
int count_timed(RunState& rs, LineReader& rd) {
    std::string ff;
    const std::string day = undated_day(rs);
    const TimeRange& range = rs.opt().timerange;
    bool said = false;
    int count = 0;
    time_t lastsecs = 0;
    Windows win;
    FirstFields fields(rs, rd);
    while (fields.next(ff)) {
        if (rs.opt().notimestamp) continue;
        remove_chars(ff, '"');
        if (ff.find(':') == std::string::npos) {
            if (count == 0 && !said) {
                out("No timestamp\n");
                said = true;
            }
            continue;
        }
        StampTime st;
        read_stamp(ff, day, st);
        if (!range.holds(st)) continue;
        if (range.kind == TimeRange::DAILY) win.add(range.window_of(st), st.secs);
        bool first = count == 0;
        ++count;
        lastsecs = st.secs;
        if (first) rs.firstsecs = st.secs;
    }
    rs.lastsecs = count > 0 ? lastsecs : rs.firstsecs;
    rs.dur = rs.lastsecs - rs.firstsecs;
    rs.range_windows = win.count;
    if (win.count > 1)
        rs.dur = static_cast<time_t>(win.total() + (win.count - 1LL) * nominal_interval(rs));
    return count;
}

// With an explicit first data row every non-blank line from there on is a record.
int count_rows(RunState& rs, LineReader& rd) {
    std::string cur;
    int count = 0;
    skip_lines(rd, rs.opt().datalinerow, cur);
    while (rd.next(cur))
        if (rd.rawlen() > 1) ++count;
    rs.dur = static_cast<time_t>(rs.files[0].numrows - 1) * 60;
    return count;
}

// Rows of the time tables: the merge lays all files on one axis.
long long xvals_rows(RunState& rs) {
    if (!rs.opt().mflag) return static_cast<long long>(rs.num) + rs.totmiss + 2;
    long long largest = 0;
    for (int f = 0; f <= rs.filenum; ++f)
        largest = std::max<long long>(largest, rs.files[f].numrows);
    long long rows = largest + 100;
    if (rs.files[0].samp > 0) {
        long long span = (rs.latestend - rs.earlieststart) / rs.files[0].samp + 10;
        if (span >= largest) rows = span;
    }
    rs.totals.numrows = static_cast<int>(std::min<long long>(rows, INT_MAX));
    return rows;
}

}  // namespace

void forget_first_fields(RunState& rs) {
    for (InputFile& f : rs.files) f.firstfields = LineFields{};
}

void count_records(RunState& rs, LineReader& rd) {
    const std::string& name = rs.files[0].datafil;
    int count = rs.opt().datalinerow == -1 ? count_timed(rs, rd) : count_rows(rs, rd);
    forget_first_fields(rs);

    if (rs.opt().ignoreflag)
        rs.comm_sampint = 0;
    else if (rs.comm_sampint == 0)
        rs.comm_sampint = rs.files[0].samp;
    long long nomints = 0;
    if (rs.comm_sampint != 0) nomints = static_cast<long long>(rs.dur) / rs.comm_sampint + 1;
    if (nomints == 0) nomints = rs.num;
    nomints = std::clamp<long long>(nomints, INT_MIN, INT_MAX);
    rs.num = count;
    if (rs.opt().verbose) out("%d records in %s\n", count, name.c_str());
    if (count == 0) {
        out("No records found in %s\n", name.c_str());
        end_run(END_ERROR);
    }

    rs.badsamps = 0;
    rs.totmiss = 0;
    if ((nomints - rs.num) * 100 / rs.num > 1) {
        rs.badsamps = 1;
        rs.totmiss = static_cast<int>(nomints - rs.num);
        if (rs.comm_sampint >= 1 && rs.comm_sampint <= 59 &&
            static_cast<long long>(rs.totmiss) * rs.comm_sampint <= 299)
            rs.totmiss = 0;
    }
    // The rows of a gap are rows of the grid as well: stamps years apart must meet the
    // row limit instead of sizing the tables in gigabytes.
    long long gridrows = static_cast<long long>(rs.totmiss) + rs.num;
    if (rs.totmiss > 0 && gridrows >= rs.maxpts) {
        out("Too many Intervals in %s. Max is %d.\nTry setting environmental variable "
            "MAXINTERVALS to %d\n",
            name.c_str(), rs.maxpts,
            static_cast<int>(std::min<long long>(gridrows + 100, INT_MAX)));
        end_run(END_ERROR);
    }
    long long entries = static_cast<long long>(rs.totmiss) + rs.num + 50;
    try {
        if (entries > INT_MAX) throw std::bad_alloc();
        rs.miss_ar.assign(static_cast<size_t>(entries), 0);
    } catch (const std::exception&) {
        out("miss_ar calloc failed\n");
        end_run(END_ERROR);
    }
    long long rows = xvals_rows(rs);
    if (rows > INT_MAX) {
        out("x_vals calloc failed\n");
        end_run(END_ERROR);
    }
    alloc_xvals_space(rs, static_cast<int>(rows));
    if (nomints <= 0) nomints = rs.num;
    rs.nomints = static_cast<int>(nomints);
    if (rs.opt().nth > 1 && rs.opt().macsvflg == 0) rs.num /= rs.opt().nth;
    rs.files[0].fileintnums = rs.nomints;

    if (!rs.opt().qflag && !rs.opt().mflag) out("Number of Intervals = %d\n", rs.num);
    if (!rs.opt().iflag) fout(rs.logfp, "Number of Intervals in %s = %d\n", name.c_str(), rs.num);
    if (rs.num >= rs.maxpts) {
        out("Too many Intervals in %s. Max is %d.\nTry setting environmental variable "
            "MAXINTERVALS to %d\n",
            name.c_str(), rs.maxpts, rs.num + 100);
        end_run(END_ERROR);
    }
    if (rs.num <= 1) {
        out("Not enough intervals - exiting\n");
        end_run(END_ERROR);
    }
}
