// Counting the first file's records before the load: the row count, the nominal
// number of intervals and the room kept for missing samples.
#pragma once
#include "core/run_state.h"
#include "input/linereader.h"

// Goes through the first file's records (the first fields the survey kept of them, or
// else the file again through rd, from its first data line) and sets num,
// firstsecs, lastsecs, dur, comm_sampint, nomints, badsamps,
// totmiss, miss_ar, x_vals and x_vals_secs; ends the run when the count is unusable.
void count_records(RunState& rs, LineReader& rd);
// Lets go of the first fields the survey kept for the count.
void forget_first_fields(RunState& rs);
