// The day's command history: recording, listing and replay.
#pragma once
#include <string>

#include "core/run_state.h"

// Returns only when the run is to go on with the current command.
void update_histfile(RunState& rs, std::string hisnum, const std::string& cmds);
