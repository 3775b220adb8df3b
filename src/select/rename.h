// Renaming parameters by patterns: "[RENAME],pattern,template" lines and the rename option.
#pragma once
#include <string>

#include "core/run_state.h"

// Stores one pattern and its template (at most 10 per run; later lines are ignored) and
// appends the pattern to collected, so the columns it matches are selected. Returns 0.
int parse_rename_line(RunState& rs, const std::string& line, std::string& collected);
// Renames label p by every stored pattern that matches it (the last one decides). The
// captures keep the label's own letter case; a name an earlier label already has gets
// "_<column number>". A label is renamed once per run, however often it is asked. Returns 0.
int rename_label(RunState& rs, int p);
