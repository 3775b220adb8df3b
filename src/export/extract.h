// Extract and trim-zeros output: the selected columns of the input written to a new CSV
// file in the Y8 layouts, while the loader reads the rows.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// The loader writes the extract's heading itself (not while a sorted run writes the
// file in sorted order, and never in trim-zeros mode).
bool extract_heading_on(const RunState& rs);
// The loader writes the extract's rows itself.
bool extract_rows_on(const RunState& rs);

// Line i (0-based) of the first file above its first data line, without its line end:
// the descriptive lines above the heading are copied to the output.
void extract_line_above(RunState& rs, int f, int i, const std::string& line);
// Writes the heading of the first file once rs.newline holds its selected columns.
void extract_heading(RunState& rs, int f);
// ",text" for the field of column col (1-based) in an extract row, v its value: a
// fractional column with decsize digits, anything else as read (an empty field as a blank).
std::string extract_value(const RunState& rs, int col, const char* text, size_t len, double v);
// Starts the output row of one stored line: the time stamp and the field texts of the
// selected parameters in selection order (vals from extract_value, "," when missing).
void extract_row_start(const RunState& rs, const std::string& stamp,
                       const std::vector<std::string>& vals, std::string& row);
// Ends the row (the calculated values are appended in between) and writes it.
void extract_row_end(RunState& rs, std::string& row);
// End of the load: closes the output the loader wrote; a finished x extract or append
// run ends here after "Output file %s created".
void extract_end_of_load(RunState& rs);

// The Y8 format 2 heading block for the heading line newline ("first,name,name...").
void write_fmt2_header(RunState& rs, const std::string& newline);
// The trim-zeros file: the first file again without its all-zero selected columns.
// Ends the run. mlen is the line buffer size of the caller (lines have no limit here).
void write_trimzeros(RunState& rs, int mlen);
