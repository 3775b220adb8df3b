// Surveying the input files: layout, heading, columns, rows and times.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"
#include "input/fields.h"
#include "input/multifile.h"

// The survey step of the run. retry is 0 on the first call and 1 on the one retry.
// Returns 0 when the run goes on, -1 when a line did not fit maxlinelen (which has
// been raised for the retry), -2 when the files are to be appended instead.
int read_datafil_cols(RunState& rs, int retry);
// Surveys files 0..filenum into the per-file tables. Returns -1 when a line was too
// long on the first attempt (n 0), 0 otherwise.
int check_csv_files(RunState& rs, int n);
// Compares the headings of consecutive files (setting diffparams) and returns
// 100 * filenum + the length of the longest heading.
int get_maxline_len(RunState& rs, const std::vector<std::string>& ln);

// Recognition rules, one per kind of line; each takes a line's first field.
// A heading: " time" in any case, or exactly "Time", but never "start time".
bool is_heading_field(const std::string& field);
// A data line (field already trimmed): "-" or "/", or a colon at position 1 or 2,
// and at most 29 characters.
bool is_dataline_field(const std::string& field);
// The first line of a file without heading: "-" or "/", or a colon at position 2,
// and at most 29 characters.
bool is_headerless_field(const std::string& field);
// Whether a time stamp field holds a date the time-stamp routines can read (when it
// has one) and a clock time of at least hours and minutes.
bool stamp_is_time(const std::string& field);
