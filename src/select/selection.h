// Parameter selection from a file's heading.
#pragma once
#include "run/run_state.h"

void get_parameters(RunState& rs, int f);
