// After the option scan: the input file list, the rules that settle conflicting
// options, and the extract or merge output file.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// Stores the file names left after the options into datafil and sets filenum; a first
// name ending in .LIS or .lis is a list of CSV file names.
void take_file_list(RunState& rs, const std::vector<std::string>& names);
// The consistency rules, in their fixed order; may end the run.
void apply_option_rules(RunState& rs);
