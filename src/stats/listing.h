// The statistics listing (terminal, peak listing file, peak CSV), the statistics rows
// that sort it, and the sorted run with its top-n "Others" series.
#pragma once
#include <vector>

#include "core/run_state.h"

// Column headings; written before the first listed parameter.
void print_list_hdrs(RunState& rs);
// The listing line of parameter w; skipped marks a parameter whose chart is not drawn.
void print_vals(RunState& rs, const ParamStats& st, int w, int skipped);
// Fills statistics row w from the statistics just computed (creating the rows at w = 0).
void assign_pdata(RunState& rs, const ParamStats& st, int w);
// Sorts the first n rows by key idx (by parnam for SORT_LABEL) in direction dir; equal
// keys keep their order.
// A key and direction named with --sort decide the order of a sorted run, whatever other
// option or selection form set one; a run without a sorted pass stays without one.
// How many parameters a top-n run shows on their own (at most all of them).
int top_shown(const RunState& rs);
void apply_sort_request(RunState& rs);
void sortx(std::vector<ListingRow>& B, int n, SortKey idx, SortOrder dir);
// The start of the second pass of a sorted or top-n run: sorts the rows, sizes the
// columns and sums the Others series; returns the number of rows sorted.
int sort_listing(RunState& rs);
// Parameter slot of listing row w (in sorted order once the rows are sorted).
inline int sorted_param(const RunState& rs, int w) {
    return static_cast<int>(rs.pdata[static_cast<size_t>(w)].number);
}
