#include "input/survey.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>

#include "base/files.h"
#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/scan.h"
#include "base/strings.h"
#include "core/tables.h"
#include "core/timestamps.h"
#include "input/count.h"
#include "input/fields.h"
#include "input/foreign.h"
#include "input/linereader.h"
#include "input/multifile.h"

namespace {

const char* const START_MARKER = "$$$ START COLUMN HEADERS $$$";
const char* const TRAILER = "Column Average, 99999";
const size_t TRAILER_LEN = 21;

// Closes the file whichever way the survey of it ends.
// One file being surveyed.
struct Scan {
    RunState& rs;
    int f;
    LineReader& rd;
    std::string& cur;   // line being looked at
    std::string& last;  // last data line met so far (after scan_rest: its time stamp alone)
    int L = 0;          // lines read, numbered from 1
    std::string odd;    // first field of the first line after the heading that is no data line
    LineFields* keep = nullptr;  // where the first fields of the data lines go, if anywhere
};

// What the lines after the first data line gave: the first `want` of them measure
// the interval.
struct Tail {
    int c = 0;
    std::string stamp;  // trimmed first field of the c-th
    int cols = 0;       // columns of the c-th
};

// trim() for the per-line loop: the same result, done in place without a new string.
void trim_in_place(std::string& s) {
    size_t w = 0;
    bool pending = false;
    for (char c : s) {
        if (is_space(c)) {
            pending = w > 0;
        } else {
            if (pending) s[w++] = ' ';
            pending = false;
            s[w++] = c;
        }
    }
    s.resize(w);
}

const std::string& datafile(const RunState& rs, int f) {
    return rs.files[f].datafil;
}

[[noreturn]] void no_data(const RunState& rs, int f) {
    out("no data in file %s\n", datafile(rs, f).c_str());
    end_run(END_ERROR);
}

// The field a message quotes, cut where it is plainly no time stamp.
std::string shown_field(const std::string& field) {
    return field.size() > 60 ? field.substr(0, 60) + "..." : field;
}

// Seconds of a (trimmed) time stamp field; a field that is not a time ends the run,
// as nothing sound can be made of its seconds.
time_t stamp_seconds(RunState& rs, int f, const std::string& field) {
    if (!stamp_is_time(field)) {
        out("Invalid time stamp in %s: %s\n", datafile(rs, f).c_str(), shown_field(field).c_str());
        out("Time stamps look like %s\n", STAMP_EXAMPLES);
        end_run(END_ERROR);
    }
    std::string s = field;
    return get_csvdate(rs, rs.files[f].y8format, s);
}

// (last - start) / c rounded half up, truncated toward zero; stamps centuries apart
// give an interval beyond int, which is held at the int limit instead.
int measured_interval(time_t start, time_t last, int c) {
    double v = static_cast<double>(last - start) / c + 0.5;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// A PERFMON heading: a quoted first line whose second field holds \\NODE\...
void probe_perfmon(RunState& rs, const std::string& line, int f) {
    std::vector<std::string> fields;
    split_fields(line.substr(0, 100), fields);
    if (fields.size() < 2) return;
    const std::string& s = fields[1];
    size_t bs = s.find("\\\\");
    if (bs == std::string::npos) return;
    size_t end = s.find('\\', bs + 2);
    if (end == std::string::npos) return;
    rs.perfmon = 1;
    out("Perfmon file!!\n");
    rs.files[f].nodenam = s.substr(bs + 2, end - bs - 2);
}

// A date line (dd-MMM-yyyy or d-MMM-yyyy) dates time-only stamps; a clock time
// (hh:mm:ss) is the start time of the file.
void note_date_fields(RunState& rs, const std::string& ff) {
    size_t n = ff.size();
    if ((n < 12 && n > 6 && ff[2] == '-' && ff[6] == '-') ||
        (n < 11 && n > 5 && ff[1] == '-' && ff[5] == '-')) {
        rs.comment_sdate = ff;
        if (rs.start_d.empty()) rs.start_d = ff;
    }
    if (n > 5 && ff[2] == ':' && ff[5] == ':' && rs.start_t.empty()) rs.start_t = ff;
}

// Reads the rest of the file: counts its lines up to an end marker (a line of two
// or three characters), keeps the time stamp of the last data line in s.last, and
// takes the first `want` data lines for the interval. The lines are looked at where
// they lie in the read block, not copied.
void scan_rest(Scan& s, int want, Tail& t) {
    std::string ff;
    std::string_view line;
    while (s.rd.next(line)) {
        size_t raw = s.rd.rawlen();
        if (raw == 2 || raw == 3) break;
        ++s.L;
        if (raw <= 1) continue;
        first_field_into(line, ff);
        if (s.keep && !ff.empty()) s.keep->add(ff);
        if (line.compare(0, TRAILER_LEN, TRAILER) == 0) continue;
        trim_in_place(ff);
        if (!is_dataline_field(ff)) continue;
        if (t.c < want) {
            ++t.c;
            t.stamp = ff;
            if (t.c == want) t.cols = count_cols(line);
        }
        s.last = ff;
    }
}

// From the first data line (in s.cur) on, the first field of each line is kept for the
// record count, which then need not read the file again.
void keep_first_fields(Scan& s) {
    LineFields& k = s.rs.files[s.f].firstfields;
    k = LineFields{};
    k.kept = true;
    std::string ff;
    first_field_into(s.cur, ff);
    if (!ff.empty()) k.add(ff);
    s.keep = &k;
}

// End of a file's scan: its end seconds and, for the first file, the end texts.
void finish_times(Scan& s) {
    RunState& rs = s.rs;
    int f = s.f;
    std::string ef = first_field(s.last);
    trim(ef);
    if (ef.empty()) no_data(rs, f);
    time_t end = stamp_seconds(rs, f, ef);
    remove_chars(ef, '"');
    to_classic_stamp(ef);
    if (end < rs.files[f].csvstartsecs) end += 86400;  // one pass over midnight
    rs.files[f].csvendsecs = end;
    if (f != 0) return;
    size_t blank = ef.find(' ');
    if (blank != std::string::npos) {
        rs.end_d = ef.substr(0, blank);
        rs.end_t = ef.substr(blank + 1);
    } else if (!rs.start_d.empty() && !rs.start_t.empty()) {
        time_t start = stamp_secs(rs.start_d + " " + rs.start_t);
        struct tm t = {};
        if (local_standard_time(start, t)) rs.end_d = day_text(start);
        rs.end_t = ef;
    }
}

// First data line found (it is in s.cur): start seconds, interval from up to `want`
// further data lines (60 when there are none), then the end scan.
void survey_data(Scan& s, const std::string& stamp, int want) {
    RunState& rs = s.rs;
    int f = s.f;
    rs.files[f].csvstartsecs = stamp_seconds(rs, f, stamp);
    std::swap(s.cur, s.last);
    Tail t;
    scan_rest(s, want, t);
    rs.files[f].samp = 60;
    if (t.c > 0)
        rs.files[f].samp =
            measured_interval(rs.files[f].csvstartsecs, stamp_seconds(rs, f, t.stamp), t.c);
    rs.files[f].numrows = s.L - rs.files[f].firstdataline;
    finish_times(s);
}

// A file without heading: its first line must look like a time stamp, and ten more
// data lines must follow; the heading is made up.
void survey_headerless(Scan& s) {
    RunState& rs = s.rs;
    int f = s.f;
    s.rd.rewind();
    s.L = 0;
    if (!s.rd.next(s.cur)) no_data(rs, f);
    std::string ff = first_field(s.cur);
    if (!is_headerless_field(ff)) {
        out("\nNot a valid Y8 format file, no headers found in first 10 lines\n");
        end_run(END_ERROR);
    }
    s.L = 1;
    rs.files[f].y8format = LAYOUT_HEADING_LINE;
    rs.files[f].firstdataline = 0;
    keep_first_fields(s);
    trim(ff);
    rs.files[f].csvstartsecs = stamp_seconds(rs, f, ff);
    std::swap(s.cur, s.last);
    Tail t;
    scan_rest(s, 10, t);
    if (t.c < 10) {
        out("Not enough datalines\n");
        end_run(END_ERROR);
    }
    rs.files[f].samp =
        measured_interval(rs.files[f].csvstartsecs, stamp_seconds(rs, f, t.stamp), 10);
    rs.files[f].numcols = t.cols;
    std::string h = "Sample Time";
    for (int n = 1; n <= t.cols; ++n) h += strfmt(", Parameter #%d", n);
    rs.templine[f] = h;
    rs.nohdr = 1;
    rs.files[f].numrows = s.L - rs.files[f].firstdataline;
    finish_times(s);
}

// A format 2 heading block starts at line s.L; the line after the block is the first
// data line.
void survey_format2(Scan& s) {
    RunState& rs = s.rs;
    int f = s.f;
    rs.files[f].y8format = LAYOUT_HEADING_BLOCK;
    rs.files[f].paraline = s.L;
    s.rd.sync();
    std::string newline;
    int k = read_format2_headers(rs, f, newline, s.rd.file(), 1, rs.templine[f]);
    s.L += k;
    rs.files[f].numcols = count_cols(rs.templine[f]);
    rs.files[f].firstdataline = s.L;
    if (!s.rd.next(s.cur)) no_data(rs, f);
    ++s.L;
    std::string ff = first_field(s.cur);
    trim(ff);
    survey_data(s, ff, 10);
}

// Explicit rows: the heading and first data line are where the options say.
void survey_explicit(Scan& s) {
    RunState& rs = s.rs;
    int f = s.f;
    // Given only the heading's line, the data start on the next one.
    const int dataline = rs.opt().datalinerow == -1 ? rs.opt().headerlinerow + 1 : rs.opt().datalinerow;
    int hidx = rs.opt().headerlinerow;
    if (rs.opt().noheader)
        hidx = 0;
    else if (hidx < 0)
        hidx = dataline - 1;
    if (hidx < 0) hidx = 0;
    rs.files[f].y8format = LAYOUT_HEADING_LINE;
    rs.files[f].paraline = hidx;
    rs.files[f].firstdataline = dataline;
    rs.files[f].samp = 60;
    while (s.rd.next(s.cur)) {
        ++s.L;
        if (s.L == 1) read_nodename(rs, s.cur, f);
        if (s.L == hidx + 1) {
            rs.templine[f] = s.cur;
            rs.files[f].numcols = count_cols(s.cur);
        }
    }
    rs.files[f].numrows = s.L - dataline;
    if (rs.files[f].numrows <= 0) no_data(rs, f);
}

// Returns -1 when a line was too long on the first attempt.
int survey_file(RunState& rs, int f, int n, std::string& cur, std::string& last) {
    FILE* fp = open_input(datafile(rs, f));
    if (!fp) {
        // A wildcard that is still there matched no file. (Windows refuses such a name
        // with another error than a missing file: ask what the name reaches.)
        if (datafile(rs, f).find_first_of("*?[") != std::string::npos &&
            path_kind(datafile(rs, f)) == PathKind::NONE)
            out("\nNo file matches %s\n", datafile(rs, f).c_str());
        else
            out("\nError opening file, %s\n", datafile(rs, f).c_str());
        end_run(END_ERROR);
    }
    FileCloser closer{fp};
    LineReader rd(fp);
    Scan s{rs, f, rd, cur, last, 0, {}};
    last.clear();

    if (rs.opt().datalinerow != -1 || rs.opt().headerlinerow != -1) {
        survey_explicit(s);
        return 0;
    }

    std::string ff;
    while (rd.next(cur)) {
        ++s.L;
        if (cur.size() >= static_cast<size_t>(std::max(rs.maxlinelen, 1)) - 1) {
            int len = static_cast<int>(cur.size());
            if (n == 0) {
                rs.maxlinelen = len + 1000;
                if (rs.opt().verbose) out("resetting maxlinelen to %d\n", rs.maxlinelen);
                return -1;
            }
            out("Data line too long: %d >= limit of %d : %s\n", len, rs.maxlinelen - 1,
                datafile(rs, f).c_str());
            out("Try setting Env. Variable MAXLINE to %d or greater\n", len + 2);
            end_run(END_ERROR);
        }
        char c0 = cur.empty() ? '\0' : cur[0];
        if (c0 == '#' || c0 == '!' || c0 == ';') {
            if (cur.find("#Date Time") != std::string::npos) {
                rs.files[f].paraline = s.L - 1;
                rs.files[f].firstdataline = s.L;
                rs.files[f].y8format = LAYOUT_TAB;
                rd.rewind();
                rewrite_format_3(rs, f, fp, rs.templine[f]);
                if (rs.files[f].y8format == LAYOUT_REWRITTEN)
                    rs.files[f].y8format = LAYOUT_HEADING_LINE;
                return 0;
            }
            continue;
        }
        if (c0 == '"') probe_perfmon(rs, cur, f);
        if (s.L == 1) read_nodename(rs, cur, f);
        if (cur.find(START_MARKER) != std::string::npos) {
            survey_format2(s);
            return 0;
        }
        first_field_into(cur, ff);
        note_date_fields(rs, ff);
        if (s.L > 10 && rs.files[f].y8format == LAYOUT_UNKNOWN) {
            survey_headerless(s);
            return 0;
        }
        if (rs.files[f].y8format == LAYOUT_UNKNOWN) {
            if (is_heading_field(ff)) {
                rs.files[f].y8format = LAYOUT_HEADING_LINE;
                rs.files[f].paraline = s.L - 1;
                remove_chars(cur, '"');
                rs.templine[f] = cur;
                rs.files[f].numcols = count_cols(cur);
            }
        } else {
            trim(ff);
            if (is_dataline_field(ff)) {
                rs.files[f].firstdataline = s.L - 1;
                keep_first_fields(s);
                survey_data(s, ff, 5);
                return 0;
            }
            if (s.odd.empty() && c0 != ',') s.odd = ff;
        }
    }
    // The end of the file came first.
    if (rs.files[f].y8format == LAYOUT_UNKNOWN && s.L > 0) {
        survey_headerless(s);
        return 0;
    }
    if (!s.odd.empty()) {
        // Lines follow the heading, but none begins with a time stamp.
        out("No time stamp in %s: its first data field is \"%s\"\n", datafile(rs, f).c_str(),
            shown_field(s.odd).c_str());
        out("Time stamps look like %s\n", STAMP_EXAMPLES);
        end_run(END_ERROR);
    }
    no_data(rs, f);
}

void close_file(RunState& rs, int f) {
    const std::string& h = rs.templine[f];
    if (f == 0) {
        rs.hdrlen = std::max(static_cast<int>(h.size()) + 2, 5000);
        if (rs.files[0].paraline > 0) rs.hdrsmissing = 0;
        if (rs.files[0].firstdataline == 0) rs.nohdr = 1;
    }
    if (rs.opt().verbose) {
        out("%s Format %d ParameterLine %d Len %d DataLine %d Cols %d Rows %d\n",
            datafile(rs, f).c_str(), static_cast<int>(rs.files[f].y8format), rs.files[f].paraline,
            static_cast<int>(h.size()), rs.files[f].firstdataline, rs.files[f].numcols,
            rs.files[f].numrows);
        out("%lld %lld %d <%.72s>\n", static_cast<long long>(rs.files[f].csvstartsecs),
            static_cast<long long>(rs.files[f].csvendsecs), rs.files[f].samp, h.c_str());
    }
}

void file_set_times(RunState& rs) {
    rs.earlieststart = rs.files[0].csvstartsecs;
    rs.latestend = rs.files[0].csvendsecs;
    for (int f = 1; f <= rs.filenum; ++f) {
        rs.earlieststart = std::min(rs.earlieststart, rs.files[f].csvstartsecs);
        rs.latestend = std::max(rs.latestend, rs.files[f].csvendsecs);
        if (rs.files[f].csvstartsecs == 0) out("Warning: invalid start time in file %d\n", f);
        if (rs.files[f].csvendsecs == 0) out("Warning: invalid end time in file %d\n", f);
    }
    if (rs.opt().verbose) {
        std::string s, e;
        secstodate(rs.earlieststart, s);
        secstodate(rs.latestend, e);
        out("Earliest start time = %s (%lld)  Latest end time = %s (%lld)\n", s.c_str(),
            static_cast<long long>(rs.earlieststart), e.c_str(),
            static_cast<long long>(rs.latestend));
    }
}

// Line buffers of the survey, sized to the line limit up front.
void reserve_buffers(std::string& a, std::string& b, int len, const char* msg_a,
                     const char* msg_b) {
    size_t n = static_cast<size_t>(std::max(len, 0));
    try {
        a.reserve(n);
    } catch (const std::exception&) {
        out("%s", msg_a);
        end_run(END_ERROR);
    }
    try {
        b.reserve(n);
    } catch (const std::exception&) {
        out("%s", msg_b);
        end_run(END_ERROR);
    }
}

}  // namespace

bool is_heading_field(const std::string& field) {
    if (contains_nocase(field, "start time")) return false;
    return contains_nocase(field, " time") || field == "Time";
}

bool is_dataline_field(const std::string& field) {
    if (is_iso_stamp(field)) return field.size() <= 40;
    if (field.size() > 29) return false;
    return field.find_first_of("-/") != std::string::npos ||
           (field.size() > 1 && field[1] == ':') || (field.size() > 2 && field[2] == ':');
}

bool is_headerless_field(const std::string& field) {
    if (is_iso_stamp(field)) return field.size() <= 40;
    if (field.size() > 29) return false;
    return field.find_first_of("-/") != std::string::npos || (field.size() > 2 && field[2] == ':');
}

static bool clock_ok(TextScan& sc) {
    int hh = 0, mm = 0, ss = 0;
    int before = sc.count();
    sc.clock(hh, mm, ss);
    return sc.count() - before >= 2;
}

bool stamp_is_time(const std::string& field) {
    std::string s = field;
    remove_chars(s, '"');
    trim(s);
    if (is_iso_stamp(s)) {
        StampTime st;
        return is_iso_time(s) && read_stamp(s, "", st);
    }
    if (s.find_first_of("-/") == std::string::npos) {
        TextScan sc(s);
        return clock_ok(sc);
    }
    std::string date;
    TextScan sc(s);
    sc.word(date).blank();
    if (sc.count() != 1 || !clock_ok(sc)) return false;
    int d = 0, y = 0, m = 0;
    std::string letters;
    char sep = date.find('-') != std::string::npos ? '-' : '/';
    TextScan named(date);
    named.num(d).lit(sep).chars(letters, 3).lit(sep).num(y);
    if (named.count() == 3 && named.ok()) return true;
    if (sep == '/') {
        TextScan numeric(date);
        numeric.num(m).lit('/').num(d).lit('/').num(y);
        return numeric.count() == 3;
    }
    return false;
}

int get_maxline_len(RunState& rs, const std::vector<std::string>& ln) {
    int longest = static_cast<int>(ln[0].size());
    for (int f = 1; f <= rs.filenum; ++f) {
        if (ln[f].size() == ln[f - 1].size() && ln[f] == ln[f - 1]) {
            if (rs.opt().verbose) out("params for file %d same as file %d\n", f, f - 1);
        } else {
            rs.diffparams = 1;
            longest = std::max(longest, static_cast<int>(ln[f].size()));
        }
    }
    if (rs.filenum >= 1)
        out(rs.diffparams ? "Parameters in the CSV files are different\n"
                          : "Parameters in all files are the same\n");
    return 100 * rs.filenum + longest;
}

int check_csv_files(RunState& rs, int n) {
    std::string cur, last;
    reserve_buffers(cur, last, rs.maxlinelen, "check_csv_files buf allocation failed\n",
                    "tmpline tmpline allocation failed\n");
    alloc_templine_space(rs, rs.maxlinelen);
    for (int f = 0; f <= rs.filenum; ++f) {
        if (survey_file(rs, f, n, cur, last) == -1) {
            free_templine_space(rs, rs.maxlinelen);
            return -1;
        }
        close_file(rs, f);
    }

    rs.actualmaxlinelen = get_maxline_len(rs, rs.templine) + 1;
    if (rs.opt().verbose) out("Max line length = %d\n", rs.actualmaxlinelen);
    alloc_line_space(rs, rs.actualmaxlinelen);
    rs.totals.numcols = 0;
    rs.totals.numrows = 0;
    for (int f = 0; f <= rs.filenum; ++f) {
        rs.files[f].line = rs.templine[f];
        rs.totals.numcols += rs.files[f].numcols;
        rs.totals.numrows += rs.files[f].numrows;
    }
    file_set_times(rs);
    free_templine_space(rs, rs.maxlinelen);
    return 0;
}

namespace {

// Per-file tables and the facts the survey finds, fresh for each attempt.
void reset_survey(RunState& rs) {
    for (InputFile& f : rs.files) {
        InputFile fresh;
        fresh.datafil = std::move(f.datafil);
        fresh.line = std::move(f.line);
        f = std::move(fresh);
    }
    rs.totals = InputFile{};
    rs.earlieststart = rs.latestend = 0;
    rs.hdrsmissing = rs.nohdr = rs.diffparams = rs.perfmon = 0;
    rs.hdrlen = 20000;
    rs.comment_sdate.clear();
    rs.start_d.clear();
    rs.start_t.clear();
    rs.end_d.clear();
    rs.end_t.clear();
    rs.nodestr.clear();
}

// Lines above the heading of the first file: node line, header facts, dates.
void read_lines_above_heading(RunState& rs, LineReader& rd, std::string& cur) {
    std::string ff;
    const std::string& name = rs.files[0].datafil;
    int hidx = rs.files[0].paraline;
    for (int i = 0;; ++i) {
        if (i >= 50 || !rd.next(cur)) {
            out("No header lines detected in %s\n", name.c_str());
            end_run(END_ERROR);
        }
        if (i == 0) {
            if (rs.opt().mflag) rs.merg_nodes = first_field(cur);
            if (rs.files[0].y8format == LAYOUT_HEADING_LINE && hidx == 0)
                rs.hdrsmissing = 1;
            else
                get_data_from_header(rs, cur, 0);
        }
        if (rs.files[0].y8format == LAYOUT_HEADING_LINE && i == hidx) return;
        if (rs.files[0].y8format == LAYOUT_HEADING_BLOCK &&
            cur.find(START_MARKER) != std::string::npos) {
            rd.sync();
            std::string newline;
            read_format2_headers(rs, 0, newline, rd.file(), 0, rs.files[0].line);
            rs.format_found = 2;
            return;
        }
        first_field_into(cur, ff);
        if (ff.find_first_of("-/") != std::string::npos && ff.size() <= 29) {
            std::string d = ff;
            rs.start_d = trim(d);
            if (rs.end_d.empty()) rs.end_d = rs.start_d;
        }
    }
}

// The numbered list of the first file's parameters.
void list_parameters(RunState& rs) {
    std::string h = rs.files[0].line;
    remove_chars(h, '"');
    std::vector<std::string> fields;
    split_fields(h, fields);
    bool show = !rs.opt().pflag && !rs.opt().mflag;
    // Without time stamps the first field is a parameter too; it is listed first and
    // the others follow one number higher.
    int shift = 0;
    if (rs.opt().notimestamp && !fields.empty()) {
        std::string first = fields[0];
        if (show) out("%d\t%s\n", 1, strltrim(first).c_str());
        shift = 1;
    }
    int names = fields.empty() ? 0 : static_cast<int>(fields.size()) - 1;
    bool store = rs.filenum >= 1 && !rs.opt().append && !rs.fileparams.empty();
    for (int i = 0; i < names; ++i) {
        std::string name = fields[i + 1];
        strltrim(name);
        if (show) out("%d\t%s\n", i + 1 + shift, name.c_str());
        if (store && i < 20000) rs.fileparams[0][i] = name;
    }
    rs.numcol = names;
    if (rs.numcol > 20000) {
        out("Too many columns (%d)! Max supported is %d\n", rs.numcol, 20000);
        end_run(END_ERROR);
    }
    rs.files[0].fileparamnums = rs.numcol;
    const char* fmt =
        rs.numcol == 1 ? "Format 1: %d parameter in %s\n" : "Format 1: %d parameters in %s\n";
    if (!rs.opt().qflag) out(fmt, rs.numcol, rs.files[0].datafil.c_str());
    if (!rs.opt().iflag) fout(rs.logfp, fmt, rs.numcol, rs.files[0].datafil.c_str());
}

void prompt_for_columns(RunState& rs) {
    out("Enter Column numbers to extract (separated by commas) or 0 for all: ");
    fflush(stdout);
    std::string answer;
    if (!read_line(stdin, answer)) {
        out("\nNo column numbers given (end of input)\n");
        end_run(END_ERROR);
    }
    rs.select_text(answer);
}

// Names, counts and node list of the files after the first.
void read_other_headers(RunState& rs, std::string& cur) {
    std::vector<std::string> fields;
    for (int f = 1; f <= rs.filenum; ++f) {
        const std::string& name = rs.files[f].datafil;
        FILE* fp = open_input(name);
        if (!fp) {
            out("Input file %s could not be opened\n", name.c_str());
            end_run(END_ERROR);
        }
        FileCloser closer{fp};
        if (rs.opt().verbose) out("Reading headers from %s\n", name.c_str());
        LineReader rd(fp, 1 << 16);
        if (!rd.next(cur)) cur.clear();
        if (rs.opt().mflag && rs.files[f].firstdataline > 1) {
            std::string node = first_field(cur);
            if (rs.merg_nodes.find(node) == std::string::npos) rs.merg_nodes += "/" + node;
        }
        split_fields(rs.files[f].line, fields);
        int names = fields.empty() ? 0 : static_cast<int>(fields.size()) - 1;
        if (names > 20000) {
            out("Too many columns (%d)! Max supported is %d\n", names, 20000);
            end_run(END_ERROR);
        }
        if (!rs.fileparams.empty())
            for (int i = 0; i < names; ++i) rs.fileparams[f][i] = strltrim(fields[i + 1]);
        rs.files[f].fileparamnums = rs.files[f].numcols;
        rs.files[f].fileintnums = rs.files[f].numrows;
    }
    if (rs.opt().mflag) rs.merg_nodes += " Merged";
    rs.totals.fileintnums = 0;
    for (int f = 0; f <= rs.filenum; ++f) rs.totals.fileintnums += rs.files[f].fileintnums;
    if (rs.opt().verbose)
        for (int f = 0; f <= rs.filenum; ++f)
            out("len: %d: %80.80s...\n", static_cast<int>(rs.files[f].line.size()),
                rs.files[f].line.c_str());
}

}  // namespace

int read_datafil_cols(RunState& rs, int retry) {
    if (rs.filenum < 0 || static_cast<int>(rs.files.size()) <= rs.filenum) {
        out("No CSV file given\n");
        end_run(END_ERROR);
    }
    reset_survey(rs);
    // Line buffers of the header pass of the first file and of the later files.
    std::string tmpline, tmp1line;
    reserve_buffers(tmpline, tmp1line, rs.maxlinelen, "tmpline allocation failed\n",
                    "tmp1line allocation failed\n");
    if (rs.opt().verbose) {
        out("tmpline[%d] allocated\n", rs.maxlinelen);
        out("tmp1line[%d] allocated\n", rs.maxlinelen);
    }
    if (rs.opt().mflag || rs.filenum > 0) alloc_fileparams_space(rs);

    if (check_csv_files(rs, retry) == -1) return -1;

    if (rs.filenum >= 1 && rs.opt().datalinerow == -1) reorder_csvfiles(rs);

    if (rs.opt().append || (rs.opt().mflag && rs.opt().filltype == FILL_NOTHING)) {
        std::string sel = upper_copy(rs.nums_str);
        // Appending without a selection joins the whole files, as the help shows.
        bool whole = sel == "ALL" || sel == "0" || (rs.opt().append && !rs.opt().pflag);
        if (rs.diffparams == 0 && whole && check_if_diff_nodes(rs) == 0) {
            forget_first_fields(rs);
            return -2;
        }
    }

    const std::string& first = rs.files[0].datafil;
    FILE* fp = open_input(first);
    if (!fp) {
        out("Input file %s not found\n", first.c_str());
        end_run(END_ERROR);
    }
    FileCloser closer{fp};
    if (!rs.opt().qflag) out("Reading data from %s\n", first.c_str());
    if (!rs.opt().iflag) fout(rs.logfp, "Reading data from %s\n", first.c_str());
    LineReader rd(fp);
    read_lines_above_heading(rs, rd, tmpline);
    if (rs.files[0].y8format == LAYOUT_HEADING_LINE) list_parameters(rs);

    count_records(rs, rd);

    if (!rs.opt().pflag && !rs.opt().mflag) prompt_for_columns(rs);

    read_other_headers(rs, tmp1line);
    return 0;
}
