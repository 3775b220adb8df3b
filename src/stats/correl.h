// Correlation with a reference parameter, and between all parameters.
#pragma once
#include "run/run_state.h"

void read_correl_param(RunState& rs, int param);
void check_for_allcorrelation(RunState& rs);
