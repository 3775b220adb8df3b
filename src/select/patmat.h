// Case-insensitive wildcard matching with the texts captured by the stars.
#pragma once
#include <string>

#include "core/run_state.h"

// 1 when the whole of raw matches the whole of pat ('*' any run, '?' one character),
// else 0. After a match rs.var[n] holds the upper-cased text the n-th star matched
// (stars 1 to 5; a sixth star uses slot 0).
int patmat(RunState& rs, const std::string& raw, const std::string& pat);
// Copies param to newparam, replacing for n = 1..5 the first "&n" (or, if none, the
// first "~n") by v[n]. Returns 0.
int insert_var_in_param(const std::string& param, const std::string v[6], std::string& newparam);
