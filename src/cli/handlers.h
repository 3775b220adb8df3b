// The handlers of the option letters: each turns one option value into settings.
#pragma once
#include "core/run_state.h"

// Runs the handler of option letter c with its value (nullptr when none was given).
// A letter without a handler ends the run with "Invalid option %c".
void handle_option(RunState& rs, int c, const char* arg);

// The code of options that have no letter of their own.
inline constexpr int OPT_THREADS = 256;
