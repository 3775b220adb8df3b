// Chart geometry, time axis and Y scale.
#pragma once
#include "core/run_state.h"

// The chart frame and the time axis, once per run (and before a sorted chart pass).
void setup_height_and_width(RunState& rs);
// Ends the run when there are no samples to chart.
void setup_chartsize(RunState& rs);
// The tick interval in seconds chosen for a charted span.
int tick_interval(time_t rangedursecs);
// The chart file name of parameter w into rs.outpng.
void makePNGname(RunState& rs, int w);
// The X pixel of every sample of parameter w (all files, and its moving average).
void adjust_vals_for_size(RunState& rs, const ParamStats& st, int w);
// The Y scale of parameter w: its ends, rounding, grid rows and labels, Y pixels.
void setup_scale(RunState& rs, const ParamStats& st, int w);
// The top row of the plot area: below the caption while one is shown.
int plot_top(RunState& rs);
