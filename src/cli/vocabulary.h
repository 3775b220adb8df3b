// The option vocabulary: one row per long option name. The scanner's letters and long
// names, the handler each option runs, the names the split check of glued qualifiers
// knows, and the help topic each name leads to (with the key that selects a topic) are
// all read from it.
#pragma once
#include <string>
#include <vector>

#include "cli/handlers.h"
#include "cli/scanner.h"
#include "core/run_state.h"

struct OptionRow {
    const char* name;       // the long name
    char letter;            // the letter that is the same option, or 0
    ArgKind by_letter;      // the value the letter takes
    ArgKind by_name;        // the value the long name takes
    int runs;               // the code the scanner gives for the name (a letter or OPT_THREADS);
                            // 0: the name sets its flag itself
    OptionHandler handler;  // what the name and the letter run; the same on every row of a code
    int Options::*sets;     // the flag the long name sets itself, or nullptr
    const char* topic;      // the help section the name leads to
    const char* key;        // that section's key, on the one row that owns the section
};

// The rows in the order the scanner tries the long names.
const std::vector<OptionRow>& option_table();

// The long names, in table order.
std::vector<std::string> long_option_names();
// The letters in the scanner's notation: ":" after a letter for a required value, "::"
// for an optional one.
std::string option_letters();
// The long names for the scanner; a flag name points into rs.
std::vector<LongOption> long_options(RunState& rs);
