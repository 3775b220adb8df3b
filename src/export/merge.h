// Merging several files onto one time axis: every row goes to the step its time falls
// in, rows of one step are averaged, and same-named parameters of different files add
// up in one column (or get columns of their own with /duplicates).
#pragma once
#include <cstdio>
#include <string>

#include "core/run_state.h"

// The merge table merged_ar: for file f and its column k, the merged column.
void allocate_merged_ar(RunState& rs);
// The merged name list (fileparams slot filenum + 1, its count in totals.fileparamnums) and
// the mapping of every file's columns onto it.
void merge_params(RunState& rs);
// Reads every file onto the axis, writes the merged file and ends the run.
[[noreturn]] void consolidate_params(RunState& rs);
// Index of para in the merged name list; the list's count when it is not there. With
// /duplicates no name is ever found and the result is the count + 1.
int find_in_array(const RunState& rs, const std::string& para);
// Reads file fnum onto the axis (the first call builds the axis). After the last file
// it writes the output and returns the step index reached; 0 before that.
int newmatrix_add(RunState& rs, int fnum, const std::string& csvf, int mlen, int outrows);
// Writes the heading and every step of the axis; returns the step index reached.
int write_out_merged_data(RunState& rs, FILE* fp);
