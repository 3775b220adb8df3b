// Parameter selection: from the selection text and a file's heading to the selected
// columns (param_nums, nums_mask), their labels (xlabel) and "PARAM.LIS".
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// Builds the selection for file f from the selection (the list, or the text still to
// resolve) and the file's heading rs.files[f].line.
// File 0 decides the selection; later files map its labels onto their own columns.
void get_parameters(RunState& rs, int f);
// The column names of a heading: its fields after the first (the time column).
std::vector<std::string> heading_names(const std::string& heading);
