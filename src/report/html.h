// The HTML report pages.
#pragma once
#include <string>

#include "run/run_state.h"

// Escapes &, <, > and " for text taken from data or the command line.
std::string html_escape(const std::string& s);
// The main page's first line.
void write_html_first_line(RunState& rs);
// The table start: the first file's name and the charted span.
void write_html_table_start(RunState& rs);
// The main page's footer with the version and the command line.
void write_html_footer(RunState& rs);
// The fired-rules page's footer.
void write_rules_html_footer(RunState& rs);
