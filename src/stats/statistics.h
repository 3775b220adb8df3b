// Per-parameter statistics: the extremes over all files, the moving average and its
// peak period, sums, display ratio, percentiles and median, average and standard
// deviation, and the constant-data test that decides whether a chart is drawn.
#pragma once
#include <string>

#include "core/run_state.h"

// Column number of parameter param in the first file (0 when it has none).
int column_of(const RunState& rs, int param);
// Whether parameter param's values carry decimals.
bool decimal_column(const RunState& rs, int param);
// Label of parameter param ("" when it has none).
const std::string& label_of(const RunState& rs, int param);

// The statistics step fills the ParamStats the pass hands it; the steps after it only
// read them.
// Resets the per-parameter results of st (an overlay run keeps its extremes from one
// parameter to the next) and scans parameter w of every file.
void setup_min_max(RunState& rs, int w, ParamStats& st);
// Scans parameter param of file fno into st: extremes, time of the maximum, their
// texts and the constant-data flag multi_const; of the first file also the sum and
// count of the values present, which calc_stats goes on from.
void get_min_max(RunState& rs, int fno, int param, ParamStats& st);
// The extremes of the last series scanned as the overlay legend shows them:
// "%9.9s %9.9s", minimum and maximum.
std::string minmax_cells(const ParamStats& st);
// The average and a percentile value v of parameter w as the listing shows them (the
// chart repeats them beside its lines): in the maximum's units, a percentile of a
// decimal column up to 10 with two decimals.
Shown shown_average(const RunState& rs, const ParamStats& st);
Shown shown_percentile(const RunState& rs, const ParamStats& st, int w, double v);
// Statistics of parameter w of the first file into st, after setup_min_max(rs, w, st);
// -1 when no chart is to be drawn.
int calc_stats(RunState& rs, int w, ParamStats& st);
// Moving average of parameter param of the first file at row pt, summed directly.
double calc_ma(const RunState& rs, int param, int pt);
// The p-th percentile of the ascending array B of n values.
double percentile(const double* B, int n, double p);
// Sorts n doubles ascending; equal values keep their order.
void sortfp(double* B, int n);
// A value truncated toward zero, held to the int range.
int trunc_to_int(double v);
