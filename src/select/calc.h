// Calculated parameters: "[CALC]" lines of a parameter file, their translation once the
// labels are known, and their values row by row while the data are loaded.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// Takes an ordinary "[CALC]" line into entry rs.numcalcs and appends the column names it
// needs to collected. 1 accepted, -1 rejected (message printed; the run goes on).
int parse_calc_line(RunState& rs, const std::string& line, std::string& collected);
// Takes a wildcard "[CALC]" line (one with "&" or "~"): pattern and name template.
// 1 accepted, -1 rejected.
int parse_wildcalc_line(RunState& rs, const std::string& line, std::string& collected);
// Maps the heading's column names onto wildcard line k: each matching column is routed
// to the label its captures build; its number and a comma are appended to list.
void get_wildcard_param_names(RunState& rs, const std::vector<std::string>& names, int k,
                              std::string& list);
// Resolves every operand against the selected labels, fixes the result slots and gives
// them their labels. Call after the selection of every file, before loading.
void translate_calc_params(RunState& rs);

// Per-row evaluation, called by the loader once the row's selected values are in
// rs.pts[f][slot][row]. With values, each value calculated is also appended to it, in
// the order of the lines.
// Ordinary lines, for file f and row slot row.
void get_calcparmpts(RunState& rs, int f, int row, std::vector<double>* values = nullptr);
// Wildcard lines, for row slot row of file 0.
void get_wildcalcparmpts(RunState& rs, int row, std::vector<double>* values = nullptr);
