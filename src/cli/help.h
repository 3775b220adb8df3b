// The interactive help: summary screen, topic prompt and the option texts.
#pragma once
#include <string>

#include "core/run_state.h"

// Summary screen and topic prompt loop; ends the run with the given status when the
// user gives an empty answer or input ends (END_ERROR when help follows an option error).
[[noreturn]] void usage1(RunState& rs, int status = 0);
// The summary screen alone, then the end of the run with the given status.
[[noreturn]] void help_summary(RunState& rs, int status);
// The help on one topic, as answered at the topic prompt (--help=topic); ends the run,
// with status 0 when there is such a topic.
[[noreturn]] void help_on(RunState& rs, const std::string& topic);
// Shows what an answer at the topic prompt asks for. Returns 1 when something was shown,
// 0 for an answer that asks for nothing, -1 when the summary screen is to be shown again.
int help_topic(RunState& rs, const std::string& answer);
// The section of an option name or of an abbreviation the option scanner would accept
// (at least two letters; one letter only as a whole name), or -1.
int option_section(const std::string& word);
// Prints section i (clearing the terminal first when asked).
void show_section(RunState& rs, int i, bool clear = true);

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
// Prints the sections from first to one before last.
void print_sections(const RunState& rs, int first, int last);
// Number of option sections and the name of section i, in printing order.
int section_count();
const char* section_name(int i);
// The index of the section of that name, or -1.
int section_named(const std::string& name);
