// Surveying the input files: layout, heading, columns, rows and times.
#pragma once
#include "run/run_state.h"

int read_datafil_cols(RunState& rs, int retry);
void get_all_param_names(RunState& rs);
