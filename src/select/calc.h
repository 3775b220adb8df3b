// Calculated parameters.
#pragma once
#include "run/run_state.h"

void translate_calc_params(RunState& rs);
