// Normalising the raw arguments: the printable and history forms of the command line,
// splitting of qualifiers glued to file names, and the command that re-runs an
// unexpanded wildcard.
#pragma once
#include <string>

#include "core/run_state.h"

// Builds cmdline, ocmdline and cargv/cargc; may prompt. Returns the command to run
// again through the shell when a wildcard was left unexpanded (see list), else "".
std::string clean_up_args(RunState& rs, int argc, char** argv);
// Fills cargv from the raw arguments by splitting; returns the new count.
int insert_space_prefix(RunState& rs, int argc, char** argv);
// 1 when the argument looks like a run of qualifiers, else 0.
int check_if_legit(const std::string& arg);
// Rebuilds cmdline from cargv. When the shell left a wildcard alone because a qualifier
// was glued to it, returns the split command for the shell, told not to record itself
// again; else "".
std::string list(RunState& rs);
