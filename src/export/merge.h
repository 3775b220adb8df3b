// Merging several files onto one time axis.
#pragma once
#include "run/run_state.h"

void merge_files(RunState& rs);
