// The run's own files (log, HTML page, peak files): opening them at the start of
// the run, closing them at its end.
#pragma once

#include "core/run_state.h"

// Opens the log, HTML page and peak files, in the output directory when one was given.
void print_hdrs(RunState& rs);
// Closes every run file still open (used when the run ends, normally or early); files
// still pending are removed.
void close_run_files(RunState& rs);
// Ends the run when one of the run's own files (log, page, peak files) would be an input.
void refuse_run_files_over_inputs(const RunState& rs);
