// Correlation with a reference parameter, and between all parameters.
//
// Rows inserted into the grid for missing intervals hold no sample: they take no part in
// any coefficient. The reference series is read from the first file and each of its
// lines is placed on the grid row loaded from the same line (matched by time stamp), so
// rows the load thinned out or left out of a time range cannot shift the pairing.
#pragma once
#include <string>

#include "core/run_state.h"

// Reads column param of the first file as the reference series (corpoints), paired
// with the rows of the loaded grid.
void read_correl_param(RunState& rs, int param);
// Splits one data line (quotes and line end already removed): the time stamp into stamp,
// the field numbered param after it (counted from 1) into value, empty when the line has
// fewer fields. -1 when the line lies outside the time range, else 1.
int get_correl_param_vals(const RunState& rs, const std::string& s, int param, std::string& stamp,
                          std::string& value);
// The reference value of a field: 0 for a clock text, MISSING for one that is no number,
// else the number it reads as.
double correl_value(const std::string& field);
// The reference test of parameter w of the first file: the coefficient into st.corrcoef; at
// or above the threshold the column number joins correl_lis, below it the log tells and
// the result is -1. In a sorted run only the sorted pass logs and collects.
int correl_test(RunState& rs, int w, ParamStats& st);
// Every ordered pair of selected parameters; the pairs at or above the threshold go to
// the screen and to "CORREL_MATRIX.LIS".
void check_for_allcorrelation(RunState& rs);
