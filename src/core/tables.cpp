#include "core/tables.h"

#include <algorithm>
#include <exception>

#include "base/out.h"
#include "base/run_end.h"

[[noreturn]] static void alloc_failed(const char* name) {
    out("%s calloc failed\n", name);
    end_run(END_ERROR);
}

[[noreturn]] static void alloc_failed(const char* name, int i) {
    out("%s[%d] calloc failed\n", name, i);
    end_run(END_ERROR);
}

[[noreturn]] static void alloc_failed(const char* name, int i, int j) {
    out("%s[%d][%d] calloc failed\n", name, i, j);
    end_run(END_ERROR);
}

template <class T>
static void alloc_table1(std::vector<T>& t, int n, const char* name) {
    try {
        t.assign(static_cast<size_t>(std::max(n, 0)), T());
    } catch (const std::exception&) {
        alloc_failed(name);
    }
}

template <class T>
void alloc_table2(std::vector<std::vector<T>>& t, int rows, int cols, const char* name) {
    int i = 0;
    try {
        t.clear();
        t.resize(static_cast<size_t>(std::max(rows, 0)));
    } catch (const std::exception&) {
        alloc_failed(name);
    }
    try {
        for (i = 0; i < rows; ++i) t[i].assign(static_cast<size_t>(std::max(cols, 0)), T());
    } catch (const std::exception&) {
        alloc_failed(name, i);
    }
}
template void alloc_table2(std::vector<std::vector<int>>&, int, int, const char*);
template void alloc_table2(std::vector<std::vector<std::string>>&, int, int, const char*);
template void alloc_table2(std::vector<std::vector<double>>&, int, int, const char*);

template <class T>
static void alloc_table3(std::vector<std::vector<std::vector<T>>>& t, int a, int b, int c,
                         const char* name) {
    int i = 0, j = 0;
    try {
        t.clear();
        t.resize(static_cast<size_t>(std::max(a, 0)));
    } catch (const std::exception&) {
        alloc_failed(name);
    }
    for (i = 0; i < a; ++i) {
        try {
            t[i].resize(static_cast<size_t>(std::max(b, 0)));
        } catch (const std::exception&) {
            alloc_failed(name, i);
        }
        try {
            for (j = 0; j < b; ++j) t[i][j].assign(static_cast<size_t>(std::max(c, 0)), T());
        } catch (const std::exception&) {
            alloc_failed(name, i, j);
        }
    }
}

void alloc_fileparams_space(RunState& rs) {
    alloc_table2(rs.fileparams, rs.filenum + 2, 20000, "fileparams");
    if (rs.opt().verbose)
        out("Allocated space for fileparams[%d][%d][%d]\n", rs.filenum + 2, 20000, 140);
}

void alloc_templine_space(RunState& rs, int maxlinelen) {
    alloc_table1(rs.templine, rs.filenum + 2, "templine");
    if (rs.opt().verbose) out("allocated space for templine[%d][%d]\n", rs.filenum + 2, maxlinelen);
}

void free_templine_space(RunState& rs, int maxlinelen) {
    std::vector<std::string>().swap(rs.templine);
    if (rs.opt().verbose) out("freed space for templine[%d][%d]\n", rs.filenum + 2, maxlinelen);
}

void alloc_line_space(RunState& rs, int actualmaxlinelen) {
    for (InputFile& f : rs.files) f.line.clear();
    rs.totals.line.clear();
    if (rs.opt().verbose)
        out("allocated space for line[%d][%d]\n", rs.filenum + 2,
            (rs.filenum + 1) * actualmaxlinelen + 100);
}

static int largest_file_cols(const RunState& rs) {
    int m = 0;
    for (int f = 0; f <= rs.filenum && f < static_cast<int>(rs.files.size()); ++f)
        m = std::max(m, rs.files[f].numcols);
    return m;
}

static int total_cols(const RunState& rs) {
    return rs.totals.numcols;
}

void alloc_global_vars(RunState& rs) {
    int masklen = largest_file_cols(rs) + 100;
    alloc_table2(rs.nums_mask, rs.filenum + 1, masklen, "nums_mask");
    if (rs.opt().verbose) out("Allocated memory for nums_mask[%d][%d]\n", rs.filenum + 1, masklen);

    int pnlen = total_cols(rs) + 350;
    alloc_table2(rs.param_nums, rs.filenum + 2, pnlen, "param_nums");
    if (rs.opt().verbose) out("Allocated memory for param_nums[%d][%d]\n", rs.filenum + 2, pnlen);

    int nlab = (rs.opt().mflag || rs.opt().append || rs.filenum < 2) ? rs.numcol + 500 : total_cols(rs) + 100;
    alloc_table1(rs.xlabel, nlab, "xlabel");
    if (rs.opt().verbose) out("Allocated memory for xlabel[%d][%d]\n", nlab, 140);

    if (rs.opt().pcflag) {
        alloc_table1(rs.p1, rs.numcol + 100, "p1");
        alloc_table1(rs.p2, rs.numcol + 100, "p2");
        alloc_table1(rs.median, rs.numcol + 100, "median");
        if (rs.opt().verbose) out("Allocated memory for %d percentile values\n", rs.numcol + 100);
    }

    int nfp = rs.numcol * 32 + 500;
    alloc_table1(rs.fp_nums, nfp, "fp_nums");
    if (rs.opt().verbose) out("allocated fp_nums[%d]\n", nfp);
    alloc_table1(rs.max_ar, nfp, "max_ar");
    if (rs.opt().verbose) out("allocated max_ar[%d]\n", nfp);

    if (rs.opt().cflag) {
        try {
            rs.correl_lis.clear();
            rs.correl_lis.reserve(static_cast<size_t>(rs.numcol) * 128 + 64000);
        } catch (const std::exception&) {
            alloc_failed("correl_lis");
        }
        // The trace reports the historical figure, not the buffer size.
        if (rs.opt().verbose) out("allocated correl_lis[%d]\n", nfp);
    }
}

void allocate_merged_ar(RunState& rs, int cols) {
    alloc_table2(rs.merged_ar, rs.filenum + 1, cols, "merged_ar");
    if (rs.opt().verbose) out("Allocated memory for merged_ar[%d][%d]\n", rs.filenum + 1, cols);
}

void alloc_wild_nums(RunState& rs) {
    // The routed columns of a label grow as they are found: numcol * numcol entries per
    // line would be far too large for wide files.
    alloc_table3(rs.wild_nums, rs.numcalcs, rs.numcol, 0, "wild_nums");
    if (rs.opt().verbose)
        out("Allocated memory for wild_nums[%d][%d][%d]\n", rs.numcalcs, rs.numcol, rs.numcol);
    alloc_table2(rs.wcalc_label, rs.numcalcs, rs.numcol, "wcalc_label");
    if (rs.opt().verbose)
        out("Allocated memory for wcalc_label[%d][%d][%d]\n", rs.numcalcs, rs.numcol, 140);
}

void alloc_xvals_space(RunState& rs, int rows) {
    rs.max_xvals = rows;
    alloc_table1(rs.x_vals, rows, "x_vals");
    if (rs.opt().verbose) out("Allocated memory for x_vals[%d][%d]\n", rows, 30);
    alloc_table1(rs.x_vals_secs, rows, "x_vals_secs");
    if (rs.opt().verbose) out("Allocated memory for x_vals_secs[%d]\n", rows);
}

void alloc_calcp_space(RunState& rs, int n) {
    alloc_table2(rs.calcp, 52, n, "calcp");
    if (rs.opt().verbose) out("Allocated memory for calcp[%d][%d][%d]\n", 52, n, 140);
    alloc_table2(rs.calcpar, 52, n, "calcpar");
    if (rs.opt().verbose) out("Allocated memory for calcpar[%d][%d]\n", 52, n);
    alloc_table1(rs.calc, n, "calc");
    if (rs.opt().verbose) out("Allocated memory for calc[%d][%d]\n", n, 140);
    alloc_table1(rs.wlcalc, n, "wlcalc");
    if (rs.opt().verbose) out("Allocated memory for wlcalc[%d][%d]\n", n, 140);
    alloc_table2(rs.calcops, 50, n, "calcops");
    if (rs.opt().verbose) out("Allocated memory for calcops[%d][%d][%d]\n", 50, n, 6);
}

void alloc_pdata(RunState& rs) {
    try {
        rs.pdata.assign(static_cast<size_t>(std::max(rs.numpar, 0)), ListingRow());
    } catch (const std::exception&) {
        out("daa(v): error on dynamic allocation. %s\n", "daa: failure to allocate memory.");
        end_run(END_ERROR);
    }
}

void alloc_mpts(RunState& rs, int params, int intervals, int outrows) {
    if (rs.merge_secs) {
        intervals = outrows;
        alloc_table1(rs.outrows_secs, outrows, "outrows_secs");
        if (rs.opt().verbose) out("allocated memory for outrows_secs[%d]\n", outrows);
    }
    alloc_table2(rs.mpts, params + 1, intervals, "mpts");
    if (rs.opt().verbose) out("Allocated memory for mpts[%d][%d]\n", params + 1, intervals);
}

// The name matching needs no scratch table any more; the trace lines stay, since verbose
// output is compared from run to run.
void alloc_jnk_space(RunState& rs, int numcol) {
    if (rs.opt().verbose) out("Allocated memory for jnk[%d][%d]\n", numcol + 200, 140);
}

void free_jnk_space(RunState& rs, int numcol) {
    if (rs.opt().verbose) out("freed space for jnk[%d][%d]\n", numcol + 200, 140);
}
