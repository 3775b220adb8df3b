// The layouts that are converted on the way in: the format 2 heading block and the
// merovand plot file (format 3).
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "core/run_state.h"

// Reads a format 2 heading block from fp, which stands just after the start-marker
// line, up to and including the end marker. The joined heading goes to heading (the time
// heading, then "," and each trimmed name); the last line read, without its line end,
// to newline. suppress 1 keeps the name list and the count line off the terminal.
// Sets fileparamnums[k] (and numcol for file 0). Returns the number of lines read.
int read_format2_headers(RunState& rs, int k, std::string& newline, FILE* fp, int suppress,
                         std::string& heading);

// Rewrites the merovand file fno (fp rewound, paraline[fno] its heading index) as a
// format 1 file "<name>_NEW.CSV", which takes its place: datafil[fno],
// csvstartsecs/csvendsecs, samp, numcols and numrows of the slot are set, the heading
// goes to heading_out and y8format becomes LAYOUT_REWRITTEN. paraline and firstdataline then
// describe the new file (0 and 1). Returns 1.
int rewrite_format_3(RunState& rs, int fno, FILE* fp, std::string& heading_out);
