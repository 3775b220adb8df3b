// The interactive help: summary screen, topic prompt and the option texts.
#pragma once
#include <string>

#include "run/run_state.h"

// Summary screen and topic prompt loop; ends the run with the given status when the
// user gives an empty answer or input ends (END_ERROR when help follows an option error).
[[noreturn]] void usage1(RunState& rs, int status = 0);
// Option texts for a topic (upper-cased, without prefix); may restart the summary.
void qualifiers(RunState& rs, const std::string& topic);
void CalcParams(RunState& rs);
void Examples(RunState& rs);
