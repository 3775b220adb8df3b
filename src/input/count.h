// Counting the first file's records before the load: the row count, the nominal
// number of intervals and the room kept for missing samples.
#pragma once
#include "core/run_state.h"
#include "input/linereader.h"

// Reads the first file again through rd (from its first data line) and sets num,
// firstdate/firstsecs, lastdate/lastsecs, dur, comm_sampint, nomints, badsamps,
// totmiss, miss_ar, x_vals and x_vals_secs; ends the run when the count is unusable.
void count_records(RunState& rs, LineReader& rd);
