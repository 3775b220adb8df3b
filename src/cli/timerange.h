// The time range option: a range of dates and times, or a range of times of day.
#pragma once
#include <string>

#include "run/run_state.h"

// Sets tflag 1 (rstsecs, rendsecs) for a date range or 2 (shh..ess) for a time-of-day
// range. Ends the run on a value it cannot read.
void set_timerange(RunState& rs, const std::string& value);
