// Printf-style output: every message of the program goes through these.
#pragma once
#include <cstdio>
#include <string>

// Prints to standard output.
void out(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Prints to an open file.
void fout(FILE* fp, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// Formats into a std::string (no length limit).
std::string strfmt(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
