// Shared string routines. Each works in place on its argument and also returns it.
#pragma once
#include <string>
#include <vector>

// Upper-cases every ASCII letter.
std::string& strupper(std::string& s);
std::string upper_copy(const std::string& s);
// Removes leading white space.
std::string& strltrim(std::string& s);
// Removes leading and trailing white space and collapses inner runs to one space.
std::string& trim(std::string& s);
// Removes every occurrence of c.
std::string& remove_chars(std::string& s, char c);
// Case-insensitive search; position of the first match or npos.
size_t mystristr(const std::string& hay, const std::string& needle);
inline bool contains_nocase(const std::string& hay, const std::string& needle) {
    return mystristr(hay, needle) != std::string::npos;
}
// Replaces the first occurrence of from by to; returns whether one was found.
bool replace_substring(std::string& s, const std::string& from, const std::string& to);
// True for the standard white-space set: space, \t, \n, \r, \f, \v.
bool is_space(char c);
// Removes one trailing new-line (and a carriage return before it).
std::string& chomp(std::string& s);
// C library atoi/atof semantics on a std::string (leading number, else 0); atoi_s clamps
// a number outside the int range to INT_MIN or INT_MAX.
int atoi_s(const std::string& s);
double atof_s(const std::string& s);
// Fields of a delimited line; like the tokenizer the files are written for, adjacent
// delimiters count as one, so empty fields vanish.
std::vector<std::string> split_fields(const std::string& line, char delim = ',');
// A number as a person writes it: up to six decimals, without trailing zeros ("1.2", "2500").
std::string plain_number(double v);
// Text after the first '=' (the whole text when there is none).
std::string after_equals(const std::string& s);
