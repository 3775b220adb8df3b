// The fixed run sequence, from the raw arguments to the end-of-run summary.
#pragma once
#include "core/run_state.h"

// Runs the whole sequence; ends by returning (status 0) or by throwing RunEnd.
void run_sequence(RunState& rs, int argc, char** argv);
// Normalises the raw arguments; a command whose wildcard the shell left alone because
// a qualifier was glued to it is recorded in the history as typed, run again split
// through the shell, and the run ends.
void take_arguments(RunState& rs, int argc, char** argv);
// Reads MAXINTERVALS, MAXLINE, MAXDATA, MAXF2LEN and MAXF2OUTPAR.
void read_limits(RunState& rs);
// The end-of-run closing of files and the summary lines.
void close_and_summarise(RunState& rs);
