// Chart geometry, time axis and Y scale.
#pragma once
#include "run/run_state.h"

void setup_height_and_width(RunState& rs);
void makePNGname(RunState& rs, int w);
void adjust_vals_for_size(RunState& rs, int w);
void setup_scale(RunState& rs, int w);
