// Drawing one chart.
#pragma once
#include "core/run_state.h"

void draw_chart(RunState& rs, const ParamStats& st, int w, int sampint);
// Finishes the chart files still on their way; one that could not be written ends the
// run with its message.
void finish_chart_files(RunState& rs);
// For a run that ends early: the charts drawn so far are finished as far as they were
// written, without messages.
void settle_chart_files(RunState& rs);
