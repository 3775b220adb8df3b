// Working tables: created once from the counts the survey finds and the limits.
// A verbose run traces each creation; a failed one prints the table's failure line
// ("name[i] calloc failed") and ends the run.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

void alloc_fileparams_space(RunState& rs);
void alloc_templine_space(RunState& rs, int maxlinelen);
void free_templine_space(RunState& rs, int maxlinelen);
void alloc_line_space(RunState& rs, int actualmaxlinelen);
// nums_mask, param_nums, xlabel, percentiles (pcflag), fp_nums, max_ar, correl_lis (cflag).
void alloc_global_vars(RunState& rs);
void allocate_merged_ar(RunState& rs, int cols);
void alloc_wild_nums(RunState& rs);
void alloc_xvals_space(RunState& rs, int rows);
void alloc_calcp_space(RunState& rs, int n);
void alloc_pdata(RunState& rs);
void alloc_mpts(RunState& rs, int params, int intervals, int outrows);
void alloc_jnk_space(RunState& rs, int numcol);
void free_jnk_space(RunState& rs, int numcol);

// Fills a two-level table row by row; a failure prints "<name> calloc failed\n" or
// "<name>[i] calloc failed\n" and ends the run.
template <class T>
void alloc_table2(std::vector<std::vector<T>>& t, int rows, int cols, const char* name);
