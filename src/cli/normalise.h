// Normalising the raw arguments: the printable and history forms of the command line,
// splitting of qualifiers glued to file names, and the re-run of an unexpanded wildcard.
#pragma once
#include <string>

#include "core/run_state.h"

// Builds cmdline, ocmdline and cargv/cargc; may prompt or re-run and end. Returns 1.
int clean_up_args(RunState& rs, int argc, char** argv);
// Fills cargv from the raw arguments by splitting; returns the new count.
int insert_space_prefix(RunState& rs, int argc, char** argv);
// 1 when the argument looks like a run of qualifiers, else 0.
int check_if_legit(const std::string& arg);
// Rebuilds cmdline from cargv; re-runs a command whose wildcard the shell left alone.
void list(RunState& rs);
