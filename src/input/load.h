// Loading all rows of all files into the sample grid.
#pragma once
#include <string>

#include "core/run_state.h"
#include "core/stamp_range.h"

class RowSink;

// Allocates the grid and reads every file's rows into it; sink, when given, takes the
// lines above the data, the headings and the rows as they are read.
void read_all_data(RunState& rs, RowSink* sink = nullptr);
// Allocates rs.pts from the survey's counts.
void alloc_space(RunState& rs);
// Interval in seconds between rows i - 1 and i of x_vals; while reading (cnt 0) it also
// records gaps of the first file; the end call (cnt 1) sets the span texts.
int calc_sampint(RunState& rs, int i, int cnt, int fno);
// The time-range test of a row's time stamp; st receives the stamp read (when a range
// is set).
bool row_in_range(const RunState& rs, const std::string& stamp, StampTime& st);
inline bool row_in_range(const RunState& rs, const std::string& stamp) {
    StampTime st;
    return row_in_range(rs, stamp, st);
}
// The heading of the selected columns: the time field, then each label.
void makenewline(RunState& rs, const std::string& oldline, std::string& newline);
