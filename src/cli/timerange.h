// The time range option: a range of dates and times, or a range of times of day.
#pragma once
#include <string>

#include "core/run_state.h"

// Sets rs.timerange to a range of dates and times or a daily range of times of day.
// Ends the run on a value it cannot read.
void set_timerange(RunState& rs, const std::string& value);
