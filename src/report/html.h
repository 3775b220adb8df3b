// The HTML report pages.
#pragma once
#include <string>

#include "core/run_state.h"

// Escapes &, <, > and " for text taken from data or the command line.
std::string html_escape(const std::string& s);
// The main page's first line.
void write_html_first_line(RunState& rs);
// The table start: the first file's name and the charted span.
void write_html_table_start(RunState& rs);
// The bare file name a page uses for a chart: the part after the first "\", or, without
// one, after the first "]" (a directory prefix of another system).
std::string image_reference(const std::string& outpng);
// The main page's row for the chart just written (cnt counts it already).
void write_html_row(RunState& rs, int p);
// A fired rule's entries: the chart on the rules page, its column number on the fired list,
// and, when the rule names a details file (optfil), a link to it on both pages.
void write_fired_rule_rows(RunState& rs, int p, const std::string& optfil);
// The main page's footer with the version and the command line.
void write_html_footer(RunState& rs);
// The fired-rules page's footer.
void write_rules_html_footer(RunState& rs);
