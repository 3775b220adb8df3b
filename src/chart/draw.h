// Drawing one chart.
#pragma once
#include "run/run_state.h"

void draw_chart(RunState& rs, int w, int sampint);
