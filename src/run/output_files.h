// The run's output files: opening them (print_hdrs), closing them at the end.
#pragma once
#include <string>

#include "run/run_state.h"

// Prints "\n<text> hh:mm:ss\n" with the local time.
void get_current_time(const char* text);
// Opens the log, HTML page and peak files, in the output directory when one was given.
void print_hdrs(RunState& rs);
// Closes every run file still open (used when the run ends, normally or early).
void close_run_files(RunState& rs);
// Ends the run when name reaches one of the input files: writing would destroy it.
void refuse_input_as_output(const RunState& rs, const std::string& name);
// Opens a file for writing (never over an input); on failure prints
// "\nError opening output file, %s\n".
FILE* open_output(const RunState& rs, const std::string& name);
