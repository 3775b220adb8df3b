// The option table and scanner, the file list and the consistency rules.
#pragma once
#include "run/run_state.h"

// Scans rs.cargv twice, takes the file list and applies the consistency rules.
// Returns only when the run is to go on.
void parse_options(RunState& rs);
