// Threshold rules.
#pragma once
#include "run/run_state.h"

void get_y8rules(RunState& rs);
