// In-process file listing for a wildcard pattern (no shell involved).
#pragma once
#include <string>
#include <vector>

// Names matching the shell-style pattern, sorted; empty when none match.
std::vector<std::string> match_files(const std::string& pattern);
// Prints the matching names, one per line.
void list_files(const std::string& pattern);
