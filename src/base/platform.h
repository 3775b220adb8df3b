// The one place that knows the operating system. Each function has a POSIX body
// (platform_posix.cpp) and a Windows body (platform_windows.cpp); the build takes the one
// for its target. What differs in behaviour is named by the constants below.
#pragma once
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
inline constexpr bool WINDOWS_BUILD = true;
#else
inline constexpr bool WINDOWS_BUILD = false;
#endif

// Printed in front of option names in help texts and synthesised arguments.
inline constexpr const char* OPTION_PREFIX = WINDOWS_BUILD ? "/" : "--";
inline constexpr const char* CLEAR_COMMAND = WINDOWS_BUILD ? "cls" : "clear";
// "/name" is an option (elsewhere a file name), and an ambiguous abbreviation ends the run
// with a message of its own.
inline constexpr bool SLASH_OPTIONS = WINDOWS_BUILD;
// The output directory option creates the directory first.
inline constexpr bool CREATES_OUTPUT_DIRECTORY = WINDOWS_BUILD;
// A block heading line too long to read is followed by a hint to raise the limit.
inline constexpr bool SHOWS_LINE_LIMIT_HINT = WINDOWS_BUILD;

// ---- Files and directories ----

// An existing file as the file system knows it, whatever name or link reaches it.
struct FileIdentity {
    unsigned long long volume = 0, index = 0;
};
// The identity of the file a name reaches; false when there is none.
bool file_identity(const std::string& name, FileIdentity& id);

enum class PathKind { NONE, REGULAR, DIRECTORY, OTHER };
// What a name reaches: nothing, a regular file, a directory, or something else (a pipe,
// a device, a socket).
PathKind path_kind(const std::string& name);
// The absolute name with links, "." and ".." resolved; "" when the path does not exist.
std::string resolved_path(const std::string& name);
// True when name does not depend on the current directory.
bool is_absolute_path(const std::string& name);
// The directory separators of this system (the first is the one to write).
const char* path_separators();

// Names matching a wildcard pattern ("*", "?", "[...]" in the last part of the name; the
// directory part is taken as it is on Windows), sorted; empty when none match.
std::vector<std::string> list_pattern(const std::string& pattern);

bool change_directory(const std::string& dir);
// The current directory's full name ("" when it cannot be read).
std::string current_directory();
// Another stream reading the file of fp from its start, or nullptr; the two streams share
// one file position.
FILE* second_stream(FILE* fp);
// Creates one directory (its parent must exist); false when it cannot be made.
bool make_directory(const std::string& name);
// Puts file from in the place of file to, replacing it; false when that cannot be done.
bool replace_file(const std::string& from, const std::string& to);

// ---- Time ----

// Broken-down local and UTC time of secs; false when secs has no such time.
bool local_time(time_t secs, struct tm& t);
bool utc_time(time_t secs, struct tm& t);
// The moment a broken-down local time names (tm_isdst as mktime takes it), its fields
// normalised; -1 when there is none. Every year the broken-down time can hold is
// converted.
time_t local_seconds(struct tm& t);

// ---- Terminal and commands ----

// Clears the screen before a help screen, only when standard output is a terminal
// (on Windows: a console).
void clear_terminal();
// Whether standard input is a terminal, where someone can answer a question.
bool stdin_is_terminal();
// One argument written so that this system's shell (sh, cmd.exe) hands it on unchanged.
// With keep_globs, "*", "?", "[" and "]" stay bare so the shell (or on Windows the
// program's start-up) expands them.
std::string shell_word(const std::string& arg, bool keep_globs = false);
// The two quotings, whatever the build: POSIX sh and cmd.exe with the C runtime's
// argument rules.
std::string sh_word(const std::string& arg, bool keep_globs = false);
std::string cmd_word(const std::string& arg, bool keep_globs = false);
// One argument between double quotes as the Windows C runtime splits a command line.
std::string crt_quoted(const std::string& text);
// Runs a command line through the shell after flushing standard output; returns its status.
int run_shell(const std::string& command);
// Runs a program found on the search path with the given argument vector (args[0] is its
// name), without a shell, after flushing standard output, and waits for it. Returns its
// exit status, 128 + the signal number when a signal ended it, or -1 when it could not be
// started (errno tells why).
int run_program(const std::vector<std::string>& args);

// ---- Memory ----

// Blocks of this size or more are taken from the heap one after another instead of each
// from a mapping of its own (as far as the C library lets a program choose).
void keep_large_blocks_together();
// Memory that is about to be written from end to end, as (start, bytes) blocks: where the
// system allows, it is backed by huge pages now, sparing a page fault for every 4 KB
// written. What the memory holds does not change.
void back_with_huge_pages(std::vector<std::pair<void*, size_t>> blocks);
