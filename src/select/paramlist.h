// Numeric parameter lists: column numbers and ranges, read once into numbers.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// The numbers of a comma list ("9,3,5"); empty fields are skipped.
std::vector<int> list_numbers(const std::string& text);
// A list of column numbers as typed: the listing follows the typed order (sortdim 7)
// and orig_order records where each number first stood. Gives the list in ascending
// order without repeats when it holds several numbers, else the list as it is.
std::vector<int> sort_params(RunState& rs, const std::vector<int>& typed);
// "a-b" as a, a+1, ..., b ("a" alone when b < a or b is missing); false when the text
// does not start with a number.
bool get_digitrange(const std::string& text, std::vector<int>& nums);
// A --parameters value of numbers or a range needs no heading: the list is taken at
// once. A value of several numbers that leaves column 0 alone means every column, as
// "0" does. Anything else stays text for the first file's heading.
void take_typed_numbers(RunState& rs);
