// Renaming parameters by patterns.
#pragma once
#include <string>

#include "run/run_state.h"

// Takes a "[RENAME],pattern,template" line.
void parse_rename_line(RunState& rs, const std::string& line);
