// The two passes over the options, the file list and the consistency rules.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// Scans rs.cargv twice, takes the file list and applies the consistency rules.
// Returns only when the run is to go on.
void parse_options(RunState& rs);
