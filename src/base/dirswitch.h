// Switching into and out of the output directory. A failure is reported with its
// numbered message ("<tag> Failed to switch directory to %s\n") and the run goes on.
#pragma once
#include <string>

// Returns true on success; on success prints "Switched to %s\n" when verbose.
bool switch_dir(const std::string& dir, const char* tag, bool verbose);
// The current directory's full name ("" when it cannot be read).
std::string current_dir();
