// Asking for a CSV file and a few chart choices when no argument was given.
#pragma once
#include "run/run_state.h"

// Fills cargv from entry 1 on with synthesised arguments; returns the new count.
int prompt_for_input(RunState& rs);
