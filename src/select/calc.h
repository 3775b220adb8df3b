// Calculated parameters.
#pragma once
#include <string>
#include <vector>

#include "run/run_state.h"

// Takes a "[CALC]" line; appends the operand names it needs to collected.
void parse_calc_line(RunState& rs, const std::string& line, std::string& collected);
// Takes a wildcard "[CALC]" line (one with "&" or "~").
void parse_wildcalc_line(RunState& rs, const std::string& line, std::string& collected);
// Maps the heading's columns onto wildcard line k; appends their numbers to list.
void get_wildcard_param_names(RunState& rs, const std::vector<std::string>& names, int k,
                              std::string& list);
void translate_calc_params(RunState& rs);
// Values of the calculated parameters at one row slot of file f.
void get_calcparmpts(RunState& rs, int f, int slot);
// Values of the wildcard calculated parameters at one row slot.
void get_wildcalcparmpts(RunState& rs, int slot);
