// Splitting CSV lines the way the Y8 layouts are read: fields are separated by commas
// and empty fields are skipped, so two adjacent commas count as one separator.
#pragma once
#include <string>
#include <vector>

// The first non-empty comma field of line (empty when there is none).
std::string first_field(const std::string& line);
// Every non-empty comma field of line, in order.
void split_fields(const std::string& line, std::vector<std::string>& fields);
// Number of non-empty comma fields after the first one.
int count_cols(const std::string& line);
// The value of the field text [b, e). An empty or blank field is an idle counter and
// reads as 0; a field that is not wholly a number ("N/A", "-", "1.2.3", "nan") sets bad
// and reads as MISSING.
double field_value(const char* b, const char* e, bool& bad);
