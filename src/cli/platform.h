// The few places where the Linux and Windows builds differ.
#pragma once
#include <string>
#include <vector>

#ifdef _WIN32
inline constexpr const char* OPTION_PREFIX = "/";
inline constexpr const char* CLEAR_COMMAND = "cls";
#else
inline constexpr const char* OPTION_PREFIX = "--";
inline constexpr const char* CLEAR_COMMAND = "clear";
#endif

// Clears the terminal before a help screen, only when standard output is a terminal.
void clear_terminal();
// Creates one directory (its parent must exist); false when it cannot be made.
bool make_directory(const std::string& name);
// One argument written so that the shell hands it on unchanged: as it is when it holds
// nothing the shell treats specially; between double quotes when only white space needs
// quoting (the value alone for a name=value option); otherwise between single quotes.
// With keep_globs, "*", "?", "[" and "]" stay outside the quotes so the shell expands them.
std::string shell_word(const std::string& arg, bool keep_globs = false);
// Runs a command line through the shell after flushing standard output; returns its status.
int run_shell(const std::string& command);
// Runs a program found on the search path with the given argument vector (args[0] is its
// name), without a shell, after flushing standard output, and waits for it. Returns its
// exit status, 128 + the signal number when a signal ended it, or -1 when it could not be
// started (errno tells why).
int run_program(const std::vector<std::string>& args);
