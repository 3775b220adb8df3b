// The set of input files: node names, order by start time, the facts of the first
// file's descriptive header line, and the union of parameter names.
#pragma once
#include <string>

#include "core/run_state.h"

// Node name from the first line of file fno: its first comma field, cut at the first
// blank and the first underscore, goes to nodestr and, when still empty, nodenam[fno].
void read_nodename(RunState& rs, const std::string& nodeline, int fno);
// Reads physmem, numcpus and comm_sampint from the descriptive first line of the
// first file, echoing its fields to the log and the statistics listing.
void get_data_from_header(RunState& rs, const std::string& tmpxline, int fno);
// Sorts the surveyed files by start seconds; files that start together keep their
// command-line order. Returns 1.
int reorder_csvfiles(RunState& rs);
// 1 when some file's node name differs from the one before it; else prints that the
// files are from the same node and returns 0.
int check_if_diff_nodes(RunState& rs);
// Union of the parameter names of files 0..filenum (in order of first appearance);
// it becomes the heading of file 0 and of the totals, with its count in numcols.
void get_all_param_names(RunState& rs);
