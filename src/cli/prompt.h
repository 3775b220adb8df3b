// Asking for a CSV file and a few chart choices when no argument was given.
#pragma once
#include <string>

#include "core/run_state.h"

// Fills cargv from entry 1 on with synthesised arguments; returns the new count.
int prompt_for_input(RunState& rs);

// Reads one answer line from standard input, whatever its length, without its line end.
// Returns false when input has ended before any character of the line.
bool read_answer(std::string& line);
