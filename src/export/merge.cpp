#include "export/merge.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <exception>
#include <unordered_map>
#include <vector>

#include "base/files.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/scan.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "core/tables.h"
#include "core/timestamps.h"
#include "input/fields.h"
#include "input/linereader.h"
#include "select/selection.h"

namespace {

const char* const TRAILER = "Column Average, 99999";

int last_slot(const RunState& rs) {
    return rs.filenum + 1;
}

// Parameter count of file f: its own names, never the union the selection works on.
int file_cols(const RunState& rs, int f) {
    size_t i = static_cast<size_t>(f);
    return i < rs.files.size() ? std::max(rs.files[i].fileparamnums, 0) : 0;
}

// Equal headings without /duplicates: every file keeps its own column numbers.
bool same_columns(const RunState& rs) {
    return !rs.diffparams && !rs.opt().dupflag;
}

std::vector<std::string>& merged_names(RunState& rs) {
    return rs.fileparams[static_cast<size_t>(last_slot(rs))];
}

const std::string& file_param(const RunState& rs, int f, int k) {
    static const std::string none;
    const auto& names = rs.fileparams[static_cast<size_t>(f)];
    return static_cast<size_t>(k) < names.size() ? names[static_cast<size_t>(k)] : none;
}

int merged_col(const RunState& rs, int f, int k) {
    return rs.merged_ar[static_cast<size_t>(f)][static_cast<size_t>(k)];
}

template <class T>
void alloc_or_end(std::vector<T>& v, size_t n, const char* failure) {
    try {
        v.assign(n, T());
    } catch (const std::exception&) {
        out("%s", failure);
        end_run(END_ERROR);
    }
}

// The merge interval: the option's value, else the nominal interval of the header,
// else the interval measured in the first file.
void choose_interval(RunState& rs) {
    if (rs.opt().samplemerge < 0) {
        out("\nInvalid merge interval %d\n", rs.opt().samplemerge);
        end_run(END_ERROR);
    }
    rs.merge_secs = rs.opt().samplemerge;
    if (rs.merge_secs == 0) rs.merge_secs = rs.comm_sampint;
    if (rs.merge_secs <= 0 && !rs.files.empty()) rs.merge_secs = rs.files[0].samp;
    if (rs.merge_secs <= 0) {
        out("\nNo sample interval is known for the merge. Give one with %ssamplemerge\n",
            rs.optch.c_str());
        end_run(END_ERROR);
    }
}

// Step i of the axis is at earlieststart + i * samplemerge. The last step is the one
// whose window holds latestend, so that the latest rows are not left off the axis.
int axis_steps(const RunState& rs) {
    long long m = rs.merge_secs;
    long long span = std::max<long long>(rs.latestend - rs.earlieststart, 0);
    long long rows = span / m + 1;
    if (span - (rows - 1) * m >= (m + 1) / 2) ++rows;
    if (rows >= INT_MAX) {
        out("outrows_secs calloc failed\n");
        end_run(END_ERROR);
    }
    return static_cast<int>(rows);
}

// The time texts of the axis; the entry after the last step stays empty, which ends
// the writing.
void build_axis(RunState& rs, int outrows) {
    size_t need = static_cast<size_t>(outrows) + 1;
    if (rs.x_vals.size() < need) {
        try {
            rs.x_vals.resize(need);
        } catch (const std::exception&) {
            out("x_vals calloc failed\n");
            end_run(END_ERROR);
        }
        rs.max_xvals = static_cast<int>(need);
    }
    if (rs.outrows_secs.size() < static_cast<size_t>(outrows))
        alloc_or_end(rs.outrows_secs, static_cast<size_t>(outrows), "outrows_secs calloc failed\n");
    for (int i = 0; i < outrows; ++i) {
        time_t secs = rs.earlieststart + static_cast<time_t>(i) * rs.merge_secs;
        rs.outrows_secs[static_cast<size_t>(i)] = secs;
        secstodate(secs, rs.x_vals[static_cast<size_t>(i)]);
    }
    for (size_t i = static_cast<size_t>(outrows); i < rs.x_vals.size(); ++i) rs.x_vals[i].clear();
    size_t cols = static_cast<size_t>(std::max(rs.totals.numcols, rs.totals.fileparamnums)) + 1;
    alloc_or_end(rs.merged_fp_nums, cols, "merged_fp_nums calloc failed\n");
}

// The descriptive first line of the first file: the axis interval and the node list.
void write_node_line(RunState& rs, const std::string& line) {
    std::string s = line;
    const std::string key = "Sampling Interval: ";
    size_t p = s.find(key);
    if (p != std::string::npos) {
        size_t b = p + key.size();
        size_t e = b;
        while (e < s.size() && (isdigit(static_cast<unsigned char>(s[e])) ||
                                (e == b && (s[e] == '-' || s[e] == '+'))))
            ++e;
        if (atoi_s(s.substr(b, e - b)) != rs.merge_secs)
            s.replace(b, e - b, strfmt("%d", rs.merge_secs));
    }
    size_t c = s.find(',');
    s = c == std::string::npos ? rs.merg_nodes : rs.merg_nodes + "," + s.substr(c + 1);
    if (!rs.opt().noheader) fout(rs.outcsvfp, "%s\n", s.c_str());
}

// Passes over the lines above the first data line; the first file's header lines go
// to the output. Returns the number of lines read.
int read_header_part(RunState& rs, int f, LineReader& rd, std::string& cur) {
    size_t fi = static_cast<size_t>(f);
    CsvLayout fmt = rs.files[fi].y8format;
    bool headerless = fmt != LAYOUT_HEADING_BLOCK && rs.files[fi].firstdataline == 0;
    // Lines above the heading line, or above the start marker of a heading block.
    int above = headerless                    ? 0
                : fmt == LAYOUT_HEADING_BLOCK ? rs.files[fi].paraline - 1
                                              : rs.files[fi].paraline;
    if (fmt == LAYOUT_HEADING_BLOCK && above > 9) {
        out("Error! Header not found in first 10 lines (format 2)\n");
        end_run(END_ERROR);
    }
    if (fmt != LAYOUT_HEADING_BLOCK && above >= 10) {
        out("\nColumn Headings not found in first %d lines\n", 10);
        end_run(END_ERROR);
    }
    bool first = f == 0;
    if (first && above <= 0) fout(rs.outcsvfp, "Unknown\n");
    int skip = headerless ? 0 : rs.files[fi].firstdataline;
    int n = 0;
    while (n < skip && rd.next(cur)) {
        int i = n++;
        if (!first || i >= above) continue;
        if (i == 0)
            write_node_line(rs, cur);
        else if (fmt != LAYOUT_HEADING_BLOCK && i <= 2 && !rs.opt().noheader)
            fout(rs.outcsvfp, "%s\n", cur.c_str());
    }
    return n;
}

// One file being read onto the axis.
struct FileRead {
    RunState& rs;
    int f;
    int ncols;
    int outrows;
    std::vector<int> cnt;  // rows summed per column for the open step
    int open = -1;         // step whose rows are being summed
};

// Adds the averages of the open step to the merged columns and clears the sums.
void close_step(FileRead& r) {
    if (r.open < 0) return;
    RunState& rs = r.rs;
    for (int k = 0; k < r.ncols; ++k) {
        size_t kk = static_cast<size_t>(k);
        if (r.cnt[kk] == 0) continue;
        rs.mpts[static_cast<size_t>(merged_col(rs, r.f, k))][static_cast<size_t>(r.open)] +=
            rs.tmpmpts[kk] / r.cnt[kk];
        rs.tmpmpts[kk] = 0;
        r.cnt[kk] = 0;
    }
}

// The step whose window [step - (m + 1) / 2, step + (m + 1) / 2) holds secs, the
// lowest one when two windows hold it; -1 when it is off the axis.
int step_of(const RunState& rs, time_t secs, int outrows) {
    long long m = rs.merge_secs;
    long long half = (m + 1) / 2;
    long long off = static_cast<long long>(secs - rs.earlieststart);
    long long c = off >= 0 ? off / m : -1;
    for (long long i = c - 1; i <= c + 1; ++i) {
        if (i < 0 || i >= outrows) continue;
        long long s = i * m;
        if (off == s || (off >= s - half && off < s + half)) return static_cast<int>(i);
    }
    return -1;
}

// Steps between the end of the files read so far and this file's first step.
void fill_gap(FileRead& r, int step) {
    RunState& rs = r.rs;
    int prev = rs.merge_prevstep;
    if (rs.opt().filltype == FILL_NOTHING || rs.opt().filltype == FILL_ZERO || r.f == 0 || prev < 0 ||
        prev >= step - 1)
        return;
    for (int k = 0; k < r.ncols; ++k) {
        auto& col = rs.mpts[static_cast<size_t>(merged_col(rs, r.f, k))];
        // The previous value of the same merged column, so that a column never takes
        // the value of another parameter.
        double v = rs.opt().filltype == FILL_VALUE ? rs.opt().fillvalue : col[static_cast<size_t>(prev)];
        for (int s = prev + 1; s < step; ++s) col[static_cast<size_t>(s)] = v;
    }
}

void mark_fractional(FileRead& r, const std::vector<std::string>& fields) {
    for (size_t k = 1; k < fields.size() && static_cast<int>(k) <= r.ncols; ++k) {
        const std::string& v = fields[k];
        if (v.find('.') != std::string::npos && v.find(':') == std::string::npos)
            r.rs.merged_fp_nums[static_cast<size_t>(
                merged_col(r.rs, r.f, static_cast<int>(k) - 1))] = 1;
    }
}

void add_values(FileRead& r, const std::vector<std::string>& fields, bool firstrow,
                const std::string& csvf) {
    RunState& rs = r.rs;
    int values = static_cast<int>(fields.size()) - 1;
    for (int k = 0; k < values; ++k) {
        if (k >= r.ncols) {
            if (firstrow && rs.opt().verbose)
                out("\nWarning: There are less column headers (%d) than data columns (%d) in %s\n",
                    r.ncols, values, csvf.c_str());
            break;
        }
        rs.tmpmpts[static_cast<size_t>(k)] += atof_s(fields[static_cast<size_t>(k) + 1]);
        ++r.cnt[static_cast<size_t>(k)];
    }
    if (values < r.ncols && firstrow && rs.opt().verbose && !rs.opt().qflag)
        out("\nWarning: There are more column headers (%d) than data columns (%d) in %s\n", r.ncols,
            values, csvf.c_str());
}

// A row's time stamp; a time-only stamp lies on the file's date and passes midnight
// into the next day.
StampTime row_stamp(const RunState& rs, const std::string& ts, time_t& dayoff, time_t& prev) {
    StampTime st;
    read_stamp(ts, rs.comment_sdate, st);
    if (!st.dated) {
        if (prev != 0 && st.secs + dayoff < prev) dayoff += DAY_SECS;
        st.secs += dayoff;
        st.day += dayoff / DAY_SECS;
        prev = st.secs;
    }
    return st;
}

// The selected merged columns: every one for "all", otherwise those whose name holds
// the name of a parameter of the selection.
std::vector<std::string> selected_names(const RunState& rs) {
    std::vector<std::string> sel;
    std::vector<std::string> names = heading_names(rs.files[0].line);
    for (int c : rs.param_list) {
        if (c < 1 || c > static_cast<int>(names.size())) continue;
        std::string n = names[static_cast<size_t>(c - 1)];
        strltrim(n);
        if (!n.empty()) sel.push_back(upper_copy(n));
    }
    return sel;
}

bool is_selected(const std::string& name, const std::vector<std::string>& sel) {
    std::string u = upper_copy(name);
    for (const auto& s : sel)
        if (u.find(s) != std::string::npos) return true;
    return false;
}

void write_heading(RunState& rs, FILE* fp, std::vector<int>& mask, bool all) {
    bool fmt2 = csv_format(rs) == 2;
    int nmerged = rs.totals.fileparamnums;
    if (fmt2) fout(fp, "$$$ START COLUMN HEADERS $$$\n");
    if (all && same_columns(rs) && !fmt2) {
        fout(fp, "%s\n", rs.files[0].line.c_str());
        for (int j = 0; j < nmerged; ++j) mask[static_cast<size_t>(j)] = 1;
        rs.mergeparcnt = rs.numcol;
        return;
    }
    std::vector<std::string> sel;
    const bool picked = rs.opt().pflag && !all;  // "all" or 0 selects every column
    if (picked) sel = selected_names(rs);
    const auto& names = merged_names(rs);
    fout(fp, "Sample Time");
    int online = 1;
    for (int j = 0; j < nmerged; ++j) {
        if (fmt2 && online > rs.fmt2max) {
            fout(fp, "\n");
            online = 0;
        }
        const std::string& name = names[static_cast<size_t>(j)];
        if (name.empty() || (picked && !is_selected(name, sel))) continue;
        fout(fp, online == 0 ? "%s" : ",%s", name.c_str());
        ++online;
        mask[static_cast<size_t>(j)] = 1;
        ++rs.mergeparcnt;
    }
    fout(fp, "\n");
    if (fmt2) fout(fp, "$$$ END COLUMN HEADERS $$$\n");
}

// A step of the axis as a time stamp: its seconds and the clock its time text shows.
StampTime step_stamp(time_t secs) {
    StampTime st;
    st.secs = secs;
    struct tm t = {};
    st.tod = local_standard_time(secs, t) ? clock_secs(t.tm_hour, t.tm_min, t.tm_sec) : -1;
    return st;
}

void write_value(FILE* fp, double v, bool fractional) {
    if (fractional) {
        fout(fp, ",%.2f", v);
        return;
    }
    double t = std::trunc(v);
    if (!(t >= static_cast<double>(LLONG_MIN) && t <= static_cast<double>(LLONG_MAX))) t = 0;
    fout(fp, ",%lld", static_cast<long long>(t));
}

}  // namespace

int find_in_array(const RunState& rs, const std::string& para) {
    int last = last_slot(rs);
    int count = rs.totals.fileparamnums;
    if (rs.opt().dupflag) return count + 1;
    const auto& names = rs.fileparams[static_cast<size_t>(last)];
    for (int i = 0; i < count && i < static_cast<int>(names.size()); ++i)
        if (names[static_cast<size_t>(i)] == para) return i;
    return count;
}

void allocate_merged_ar(RunState& rs) {
    int cols = rs.numcol;
    // Different headings (or separate columns for every file) may put every column of
    // every file into a column of its own.
    if (rs.diffparams || rs.opt().dupflag)
        for (int f = 0; f <= rs.filenum; ++f) cols += rs.files[static_cast<size_t>(f)].numcols;
    for (int f = 0; f <= rs.filenum; ++f) cols = std::max(cols, file_cols(rs, f));
    allocate_merged_ar(rs, cols);
}

void merge_params(RunState& rs) {
    auto& merged = merged_names(rs);
    int n0 = file_cols(rs, 0);
    if (merged.size() < static_cast<size_t>(n0)) merged.resize(static_cast<size_t>(n0));
    for (int k = 0; k < n0; ++k) {
        merged[static_cast<size_t>(k)] = file_param(rs, 0, k);
        rs.merged_ar[0][static_cast<size_t>(k)] = k;
    }
    int count = n0;
    rs.totals.fileparamnums = count;
    if (same_columns(rs)) {
        for (int f = 1; f <= rs.filenum; ++f)
            for (int k = 0; k < file_cols(rs, f); ++k)
                rs.merged_ar[static_cast<size_t>(f)][static_cast<size_t>(k)] = k;
        return;
    }
    // First index of every name of the list, for the lookups of find_in_array.
    std::unordered_map<std::string, int> index;
    if (!rs.opt().dupflag)
        for (int k = 0; k < count; ++k) index.emplace(merged[static_cast<size_t>(k)], k);
    for (int f = 1; f <= rs.filenum; ++f) {
        int before = count;
        for (int k = 0; k < file_cols(rs, f); ++k) {
            const std::string& name = file_param(rs, f, k);
            auto it = rs.opt().dupflag ? index.end() : index.find(name);
            if (it != index.end()) {
                rs.merged_ar[static_cast<size_t>(f)][static_cast<size_t>(k)] = it->second;
                continue;
            }
            if (rs.opt().verbose) out("%s not found in array\n", name.c_str());
            std::string entry = rs.opt().dupflag ? strfmt("%s_%d", name.c_str(), f) : name;
            if (merged.size() <= static_cast<size_t>(count))
                merged.resize(static_cast<size_t>(count) + 1);
            merged[static_cast<size_t>(count)] = entry;
            rs.merged_ar[static_cast<size_t>(f)][static_cast<size_t>(k)] = count;
            ++count;
        }
        // Names new in this file become known only now, so two equal names of one file
        // both get columns.
        if (!rs.opt().dupflag)
            for (int k = before; k < count; ++k) index.emplace(merged[static_cast<size_t>(k)], k);
        rs.totals.fileparamnums = count;
    }
}

int newmatrix_add(RunState& rs, int fnum, const std::string& csvf, int /*mlen*/, int outrows) {
    if (fnum == 0) build_axis(rs, outrows);
    int blen = std::max(rs.actualmaxlinelen, 2000);
    if (rs.opt().verbose) {
        out("allocated hdrline[%d]\n", blen);
        out("allocated newline[%d]\n", blen);
    }
    FILE* fp = open_input(csvf);
    if (!fp) {
        out("Input file %s not found\n", csvf.c_str());
        end_run(END_ERROR);
    }
    FileCloser closer{fp};
    if (!rs.opt().qflag) out("Merging data from %s ", csvf.c_str());
    LineReader rd(fp);
    std::string cur;
    int lineno = read_header_part(rs, fnum, rd, cur);

    FileRead r{rs, fnum, file_cols(rs, fnum), outrows, {}, -1};
    r.cnt.assign(static_cast<size_t>(r.ncols), 0);
    int tenth = std::max(rs.files[static_cast<size_t>(fnum)].numrows / 10, 1);
    int rows = 0, placed = 0;
    bool firstrow = true;
    time_t dayoff = 0, prev = 0;
    std::vector<std::string> fields;
    while (rd.next(cur)) {
        ++lineno;
        if (rd.rawlen() <= 1 || cur.compare(0, 21, TRAILER) == 0) continue;
        remove_chars(cur, '"');
        split_fields(cur, fields);
        if (fields.empty()) {
            out("strtok call failed! %s %d %s\n", cur.c_str(), lineno, csvf.c_str());
            continue;
        }
        // Only lines stamped with a clock time are rows (not units lines or end marks).
        if (fields[0].find(':') == std::string::npos) continue;
        if (++rows % tenth == 0) out(".");
        StampTime st = row_stamp(rs, fields[0], dayoff, prev);
        if (!rs.opt().timerange.holds(st)) continue;
        int step = step_of(rs, st.secs, outrows);
        if (step < 0) continue;
        if (step != r.open) close_step(r);
        if (firstrow) {
            mark_fractional(r, fields);
            fill_gap(r, step);
        }
        r.open = step;
        add_values(r, fields, firstrow, csvf);
        firstrow = false;
        ++placed;
    }
    close_step(r);
    if (r.open >= 0) rs.merge_prevstep = r.open;
    if (!rs.opt().qflag) out(" %d records\n", placed);
    if (fnum < rs.filenum) return 0;
    return write_out_merged_data(rs, rs.outcsvfp);
}

int write_out_merged_data(RunState& rs, FILE* fp) {
    int nmerged = rs.totals.fileparamnums;
    int nmask = std::max(rs.totals.numcols, nmerged);
    std::vector<int> mask;
    alloc_or_end(mask, static_cast<size_t>(nmask) + 1, "merged_nums_mask calloc failed\n");
    if (rs.opt().verbose) out("allocated merged_nums_mask[%d]\n", nmask);
    std::string sel = rs.orig_nums_str;
    trim(sel);
    strupper(sel);
    // A keyword the selection read as a name (typed with a space before it) selects by name.
    bool all = (sel == "ALL" || sel == "0") && !rs.by_names();
    if (rs.opt().verbose) out("writing out parameters ");
    write_heading(rs, fp, mask, all);

    out("\nWriting out data to %s ", rs.opt().csv_outfil.c_str());
    int tenth = std::max(rs.outrows / 10, 1);
    int i = 0;
    for (; i < static_cast<int>(rs.x_vals.size()) && !rs.x_vals[static_cast<size_t>(i)].empty();
         ++i) {
        time_t secs = rs.outrows_secs[static_cast<size_t>(i)];
        if ((i + 1) % tenth == 0) out(".");
        // Steps outside the range hold no data: they are never written.
        if (!rs.opt().timerange.holds(step_stamp(secs))) continue;
        fout(fp, "%s", rs.x_vals[static_cast<size_t>(i)].c_str());
        for (int j = 0; j < nmerged; ++j)
            if (mask[static_cast<size_t>(j)])
                write_value(fp, rs.mpts[static_cast<size_t>(j)][static_cast<size_t>(i)],
                            rs.merged_fp_nums[static_cast<size_t>(j)] != 0);
        fout(fp, "\n");
        ++rs.mergeintcnt;
    }
    out("\n");
    return i;
}

void consolidate_params(RunState& rs) {
    if (!rs.outcsvfp) {
        out("\nError opening output CSV file, %s\n", rs.opt().csv_outfil.c_str());
        end_run(END_ERROR);
    }
    choose_interval(rs);
    rs.outrows = axis_steps(rs);
    if (same_columns(rs)) rs.totals.fileparamnums = file_cols(rs, 0);
    int nparams = rs.totals.fileparamnums;
    rs.totals.fileintnums = rs.outrows;
    alloc_mpts(rs, nparams, rs.outrows, rs.outrows);
    if (merged_names(rs).size() < static_cast<size_t>(nparams))
        merged_names(rs).resize(static_cast<size_t>(nparams));

    // Sums are indexed by a file's own columns, which one file may have more of than
    // the merged list (equal names within one file share a merged column).
    int width = nparams + 10;
    for (int f = 0; f <= rs.filenum; ++f) width = std::max(width, file_cols(rs, f));
    rs.merge_prevstep = -1;
    rs.mergeparcnt = rs.mergeintcnt = 0;
    for (int f = 0; f <= rs.filenum; ++f) {
        if (f == 0) {
            alloc_or_end(rs.tmpmpts, static_cast<size_t>(width), "tmpmpts calloc failed\n");
            if (rs.opt().verbose) out("allocated memory for tmpmpts[%d]\n", width);
        } else {
            std::fill(rs.tmpmpts.begin(), rs.tmpmpts.end(), 0.0);
        }
        const std::string& heading = rs.files[static_cast<size_t>(f)].line;
        int mlen = std::max(static_cast<int>(heading.size()) + 2, 5000);
        newmatrix_add(rs, f, rs.files[static_cast<size_t>(f)].datafil, mlen, rs.outrows);
    }

    close_output_csv(rs);
    out("\n%d parameters and %d intervals written to merged csv file %s\n", rs.mergeparcnt,
        rs.mergeintcnt, rs.opt().csv_outfil.c_str());
    if (rs.opt().verbose) get_current_time(rs, "Ended at");
    end_run(END_OK);
}
