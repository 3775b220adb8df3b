// Calculated parameters: "[CALC]" lines of a parameter file, their translation once the
// labels are known, and their values row by row while the data are loaded.
#pragma once
#include <string>
#include <vector>

#include "core/row_sink.h"
#include "core/run_state.h"

// Takes an ordinary "[CALC]" line into entry rs.numcalcs and appends the column names it
// needs to collected. 1 accepted, -1 rejected (message printed; the run goes on).
int parse_calc_line(RunState& rs, const std::string& line, std::string& collected);
// Takes a wildcard "[CALC]" line (one with "&" or "~"): pattern and name template.
// 1 accepted, -1 rejected.
int parse_wildcalc_line(RunState& rs, const std::string& line, std::string& collected);
// Maps the heading's column names onto wildcard line k: each matching column is routed
// to the label its captures build; its number is appended to list.
void get_wildcard_param_names(RunState& rs, const std::vector<std::string>& names, int k,
                              std::vector<int>& list);
// Resolves every operand against the selected labels, fixes the result slots and gives
// them their labels. Call after the selection of every file, before loading.
void translate_calc_params(RunState& rs);

// Per-row evaluation, called by the loader once the row's selected values are in
// rs.pts[f][slot][row]. With values, each value calculated is also appended to it, in
// the order of the lines.
// Ordinary lines, for file f and row slot row.
void get_calcparmpts(RunState& rs, int f, int row, std::vector<double>* values = nullptr);
// Wildcard lines, for row slot row of file 0.
void get_wildcalcparmpts(RunState& rs, int row, std::vector<double>* values = nullptr);

// The calculated columns as the loader's first taker of rows: each stored row gets its
// calculated values in the grid, and then goes on, with those values, to next (the
// extract output) when next wants that file's rows.
class CalculatedColumns : public RowSink {
public:
    CalculatedColumns(RunState& s, RowSink* then) : rs(s), next(then) {}
    void line_above(int f, int i, const std::string& line) override;
    void heading(int f) override;
    bool wants_rows(int f) override;
    void cell(int j, int col, const char* text, size_t len, double v, bool bad) override;
    void row(StoredRow& row) override;
    void end_of_load() override;

private:
    RunState& rs;
    RowSink* next;
    bool next_wants = false;  // next takes the rows of the file being read
};
