// The interactive help: summary screen, topic prompt and the option texts.
#pragma once
#include <string>

#include "run/run_state.h"

// Summary screen and topic prompt loop; ends the run.
[[noreturn]] void usage1(RunState& rs);
// Option texts for a topic (upper-cased, without prefix); may restart the summary.
void qualifiers(RunState& rs, const std::string& topic);
void CalcParams(RunState& rs);
void Examples(RunState& rs);
