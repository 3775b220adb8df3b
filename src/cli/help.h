// The interactive help: summary screen, topic prompt and the option texts.
#pragma once
#include <string>

#include "run/run_state.h"

// Summary screen and topic prompt loop; ends the run with the given status when the
// user gives an empty answer or input ends (END_ERROR when help follows an option error).
[[noreturn]] void usage1(RunState& rs, int status = 0);
// Option texts for a topic (upper-cased, without prefix). Returns false, having printed
// nothing, when the topic names no section; the caller then restarts the summary screen.
bool qualifiers(RunState& rs, const std::string& topic);
void CalcParams(RunState& rs);
void Examples(RunState& rs);

// The first and the one-past-last section index that a topic prints, or {-1, -1} when
// the topic selects nothing. Exposed for tests.
struct SectionRange {
    int first;
    int last;
};
SectionRange section_range(const std::string& topic);
// Number of option sections and the name of section i, in printing order.
int section_count();
const char* section_name(int i);
