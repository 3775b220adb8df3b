// The statistics listing and the sorted run.
#pragma once
#include "run/run_state.h"

void print_list_hdrs(RunState& rs);
void print_vals(RunState& rs, int w, int skipped);
void assign_pdata(RunState& rs, int w);
void sorted_run(RunState& rs);
