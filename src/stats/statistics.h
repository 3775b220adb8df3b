// Per-parameter statistics.
#pragma once
#include "run/run_state.h"

void setup_min_max(RunState& rs, int w);
int calc_stats(RunState& rs, int w);
