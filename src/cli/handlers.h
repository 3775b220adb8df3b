// The handlers of the options: each turns one option value into settings. The option
// table (cli/vocabulary.h) names the handler each option runs.
#pragma once
#include "core/run_state.h"

// Runs the handler of option code c (a letter, or a code without one) with its value
// (nullptr when none was given). A code without a handler ends the run with
// "Invalid option %c".
void handle_option(RunState& rs, int c, const char* arg);

// The code of options that have no letter of their own.
inline constexpr int OPT_THREADS = 256;

// A handler gets the value as given, nullptr when none was given.
using OptionHandler = void (*)(RunState& rs, const char* arg);

void opt_append(RunState& rs, const char* arg);
void opt_average(RunState& rs, const char* arg);
void opt_axis(RunState& rs, const char* arg);
void opt_border(RunState& rs, const char* arg);
void opt_caption(RunState& rs, const char* arg);
void opt_colors(RunState& rs, const char* arg);
void opt_constant(RunState& rs, const char* arg);
void opt_correlate(RunState& rs, const char* arg);
void opt_dataline(RunState& rs, const char* arg);
void opt_decimals(RunState& rs, const char* arg);
void opt_directory(RunState& rs, const char* arg);
void opt_displaynumber(RunState& rs, const char* arg);
void opt_dotcolors(RunState& rs, const char* arg);
void opt_dots(RunState& rs, const char* arg);
void opt_extract(RunState& rs, const char* arg);
void opt_format(RunState& rs, const char* arg);
void opt_headerline(RunState& rs, const char* arg);
void opt_height(RunState& rs, const char* arg);
void opt_help(RunState& rs, const char* arg);
void opt_history(RunState& rs, const char* arg);
void opt_horizontal(RunState& rs, const char* arg);
void opt_ignore(RunState& rs, const char* arg);
void opt_lines(RunState& rs, const char* arg);
void opt_merge(RunState& rs, const char* arg);
void opt_missing(RunState& rs, const char* arg);
void opt_nofloat(RunState& rs, const char* arg);
void opt_normalize(RunState& rs, const char* arg);
void opt_output(RunState& rs, const char* arg);
void opt_overlay(RunState& rs, const char* arg);
void opt_parameters(RunState& rs, const char* arg);
void opt_pdf(RunState& rs, const char* arg);
void opt_percentile(RunState& rs, const char* arg);
void opt_range(RunState& rs, const char* arg);
void opt_rename(RunState& rs, const char* arg);
void opt_rules(RunState& rs, const char* arg);
void opt_samplemerge(RunState& rs, const char* arg);
void opt_scale(RunState& rs, const char* arg);
void opt_sort(RunState& rs, const char* arg);
void opt_stack(RunState& rs, const char* arg);
void opt_thickness(RunState& rs, const char* arg);
void opt_threads(RunState& rs, const char* arg);
void opt_top(RunState& rs, const char* arg);
void opt_trimzeros(RunState& rs, const char* arg);
void opt_verbose(RunState& rs, const char* arg);
void opt_version(RunState& rs, const char* arg);
void opt_width(RunState& rs, const char* arg);
void opt_x(RunState& rs, const char* arg);
void opt_y(RunState& rs, const char* arg);
void opt_zero(RunState& rs, const char* arg);
