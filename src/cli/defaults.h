// The defaults file "TSGRAF.CFG".
#pragma once
#include "core/run_state.h"

// Reads the defaults file; in display mode (show_defaults != 0) ends the run after it.
void show_default_values(RunState& rs, int show_defaults);
// The set-defaults request; ends the run.
[[noreturn]] void set_default_values(RunState& rs);
