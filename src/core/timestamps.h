// Time stamps: text to seconds and back, through the local time zone (64-bit seconds),
// and the time range every mode applies to rows. Every reader of a time stamp text goes
// through read_stamp; every range test through TimeRange::holds.
#pragma once
#include <ctime>
#include <string>

#include "core/run_state.h"
#include "core/stamp_range.h"

// Writes the compact date text (yyyymmddhhmmss) of dat into cvtdat; upper-cases dat
// in place when it contains a dash. Returns 1.
int cvtdate(std::string& dat, std::string& cvtdat);
// Seconds of a compact date text, read as local standard time.
time_t cvttime(const std::string& timstr);
// "dd-MMM-yyyy hh:mm:ss" of secs, with the summer-time correction.
void secstodate(time_t secs, std::string& date);
// The local clock of secs as standard time: in summer time, an hour earlier. Every date
// text written from seconds uses this. False when the year does not fit struct tm.
bool local_standard_time(time_t secs, struct tm& t);
// Seconds of a time stamp field; removes double quotes from str in place.
time_t get_csvdate(RunState& rs, int fmt, std::string& str);

// Upper-case month abbreviation of month m (0 = January); "???" outside the year.
const char* month_abbrev(int m);
// "dd-MMM-yyyy" of the local standard clock of secs.
std::string day_text(time_t secs);

// The accepted time stamp forms, for messages that show what a stamp should look like.
extern const char* const STAMP_EXAMPLES;

// Reads a time stamp text (quotes and surrounding blanks are ignored). Accepted forms:
//   dd-MMM-yyyy hh:mm:ss, dd/MMM/yyyy hh:mm:ss, mm/dd/yyyy hh:mm:ss (two-digit years
//   allowed, fractions of a second ignored, seconds optional);
//   yyyy-mm-ddThh:mm:ss and yyyy-mm-dd hh:mm:ss, with optional fractions of a second
//   and an optional Z or +hh:mm / -hh:mm zone, converted to local time;
//   hh:mm:ss alone, placed on `day` (a date text, "01-JAN-1970" when empty).
// Clock texts are local standard time, as everywhere in the program. Out-of-range
// fields carry over (hour 25 is 01:00 the next day); nothing overflows. False when the
// result lies beyond what the calendar routines handle (secs is then -1).
bool read_stamp(const std::string& text, const std::string& day, StampTime& st);
// Seconds of a date-time text ("dd-MMM-yyyy hh:mm:ss" and the other forms).
time_t stamp_secs(const std::string& text);
// True for a first field that is an ISO date-time (yyyy-mm-dd...).
bool is_iso_stamp(const std::string& text);
// True for an ISO date-time with at least hours and minutes.
bool is_iso_time(const std::string& text);
// An ISO stamp rewritten in the program's own form "dd-MMM-yyyy hh:mm:ss" (local
// standard time); any other text is left as it is.
void to_classic_stamp(std::string& text);
// The date of the first file's time-only stamps: its start date, else 01-JAN-1970.
std::string undated_day(const RunState& rs);
