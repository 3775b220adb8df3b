// Concatenating files with the same columns.
#pragma once
#include "run/run_state.h"

void append_similar_files(RunState& rs);
