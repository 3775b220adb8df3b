// Extract rows written after the statistics rather than while loading: a sorted run's
// columns in sorted order, and the moving averages.
#pragma once

#include "core/run_state.h"

// The heading and rows of a sorted run's extract file: the first n sorted parameters (with
// top-n only those shown, then Others), once the listing rows are sorted.
void write_sorted_extract(RunState& rs, int n);
// The moving averages of every parameter to the extract file (rows only); closes it.
void write_ma_csv(RunState& rs);
