// The option table and scanner, the file list and the consistency rules.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// The long option names the scanner accepts, in table order.
std::vector<std::string> long_option_names();

// Scans rs.cargv twice, takes the file list and applies the consistency rules.
// Returns only when the run is to go on.
void parse_options(RunState& rs);
