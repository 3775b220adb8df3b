// Loading all rows of all files into the sample grid.
#pragma once
#include "run/run_state.h"

void read_all_data(RunState& rs);
