// The run's output files: opening one (never over an input), results that replace the
// previous run's only when complete, closing the CSV output.
#pragma once
#include <functional>
#include <string>

#include "core/run_state.h"

// Prints "\n<text> hh:mm:ss\n" with the local time of the run's clock.
void get_current_time(const RunState& rs, const char* text);
// Ends the run with "\n<what> <name> is the same file as input file <input>\n" when name
// reaches one of the input files or the list that named them: writing would destroy it
// before it is read. undo runs just before the run ends (e.g. to leave a directory).
void refuse_input_as_output(const RunState& rs, const std::string& name,
                            const char* what = "Output file",
                            const std::function<void()>& undo = nullptr);
// Result files replace the previous run's only when they are complete: open_pending
// writes under a temporary name beside name, finish_output puts the file in place.
// A file that cannot be created gives nullptr (nothing printed).
FILE* open_pending(RunState& rs, const std::string& name, const char* mode = "wb");
// Closes fp; a pending file is renamed into place, or removed when writing it failed
// (also when the caller says so with written). False when writing or renaming failed.
bool finish_output(RunState& rs, FILE* fp, bool written = true);
// Closes rs.outcsvfp, the CSV output of extract, trim-zeros, merge and append; a file
// that could not be written completely ends the run with a message and status 1.
void close_output_csv(RunState& rs);
// Puts every pending file in place (the run completed).
void finish_all_outputs(RunState& rs);
// Closes and removes every pending file: the previous run's files stay as they were.
void discard_outputs(RunState& rs);
// Opens a file for writing (never over an input); on failure prints
// "\nError opening output file, %s\n".
FILE* open_output(const RunState& rs, const std::string& name);
