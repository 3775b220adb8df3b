// Time stamps: text to seconds and back, through the local time zone (64-bit seconds).
#pragma once
#include <ctime>
#include <string>

#include "run/run_state.h"

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
