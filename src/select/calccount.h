// Counting the calculated-parameter lines of a parameter list file.
#pragma once
#include <string>

#include "core/run_state.h"

// Number of lines of the file that begin with "[CALC]" in any case; sizes the calculation
// tables for that many lines. Ends the run when the file cannot be opened.
int get_numcalcs_cnt(RunState& rs, const std::string& filename);
