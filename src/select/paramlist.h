// Numeric parameter lists as typed on the command line: ordering and ranges.
#pragma once
#include <string>

#include "core/run_state.h"

// A comma list of column numbers: unless it is "0", the listing follows the user's
// order (sortdim 7); a list of several numbers is rewritten in ascending order without
// repeats and orig_order records where each number first stood. orig_nums_str keeps
// the list as typed.
void sort_params(RunState& rs, std::string& nums_list, std::string& orig_nums_str);
// Rewrites "a-b" as "a,a+1,...,b" ("a" when b < a).
void get_digitrange(std::string& nums_list);
