// Joining files of one node with equal headings, one after the other, into one file.
#pragma once
#include <cstdio>
#include <string>

#include "core/run_state.h"

// Copies the first file's header lines and heading once, then the data lines of every
// file in file order, to the output CSV file; ends the run.
[[noreturn]] void append_similar_files(RunState& rs);
// A copied line is a data line when the first comma field of its first 39 characters
// holds a colon (a clock time).
bool is_append_data_line(const std::string& line);
