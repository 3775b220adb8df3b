// Extract and trim-zeros output: the selected columns of the input written to a new CSV
// file in the Y8 layouts, while the loader reads the rows.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// The extract's heading is written while loading (not while a sorted run writes the
// file in sorted order, and never in trim-zeros mode).
bool extract_heading_on(const RunState& rs);
// The extract's rows are written while loading.
bool extract_rows_on(const RunState& rs);

// Writes the heading of the first file once rs.newline holds its selected columns.
void extract_heading(RunState& rs, int f);
// ",text" for the field of column col (1-based) in an extract row, v its value: a
// fractional column with decsize digits, anything else as read (an empty field as a blank).
std::string extract_value(const RunState& rs, int col, const char* text, size_t len, double v);
// Loads every file (see read_all_data) while the calculated columns add their values to
// each row and the extract output takes the lines above the data, the heading and the
// rows, when the run writes one. A finished x extract or append
// run ends at the end of the load after "Output file %s created".
void load_and_extract(RunState& rs);

// The Y8 format 2 heading block for the heading line newline ("first,name,name...").
void write_fmt2_header(RunState& rs, const std::string& newline);
// The trim-zeros file: the first file again without its all-zero selected columns.
// Ends the run. mlen is the line buffer size of the caller (lines have no limit here).
void write_trimzeros(RunState& rs, int mlen);
