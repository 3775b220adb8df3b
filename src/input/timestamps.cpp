#include "input/timestamps.h"

#include "base/out.h"
#include "base/scan.h"
#include "base/strings.h"
#include "cli/platform.h"

namespace {

// Reading table: index 0 is a placeholder that upper-cased text never matches.
const char* const read_months[13] = {"xxx", "JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
const char* const write_months[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Month number of three letters; 13 for anything not in the table, which mktime then
// carries into January of the next year.
int month_number(const std::string& letters) {
    for (int i = 0; i < 13; ++i)
        if (letters == read_months[i]) return i;
    return 13;
}

// "dd-MMM-yyyy hh:mm:ss" and "dd/MMM/yyyy hh:mm:ss": day, three letters, year, time.
void scan_named_month(const std::string& text, char sep, int& day, std::string& letters, int& year,
                      int& hh, int& mm, int& ss) {
    TextScan(text)
        .num(day)
        .lit(sep)
        .chars(letters, 3)
        .lit(sep)
        .num(year)
        .blank()
        .num(hh)
        .lit(':')
        .num(mm)
        .lit(':')
        .num(ss);
}

// A piece of the compact text at fixed positions, read as a decimal number; a piece
// beyond the end of a short text is empty and reads as 0.
int piece(const std::string& s, size_t from, size_t len) {
    if (from >= s.size()) return 0;
    return atoi_s(s.substr(from, len));
}

// The fields of a broken-down time as seconds of the same clock reading in UTC
// (days from the civil calendar, proleptic Gregorian).
time_t clock_seconds(const struct tm& t) {
    long long y = t.tm_year + 1900LL - (t.tm_mon < 2 ? 1 : 0);
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long m = t.tm_mon + 1;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + t.tm_mday - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    long long days = era * 146097 + doe - 719468;
    return static_cast<time_t>(days * 86400 + t.tm_hour * 3600LL + t.tm_min * 60LL + t.tm_sec);
}

}  // namespace

int cvtdate(std::string& dat, std::string& cvtdat) {
    int day = 0, mon = 0, year = 0, hh = 0, mm = 0, ss = 0;
    std::string letters;
    if (dat.find('-') != std::string::npos) {
        strupper(dat);
        scan_named_month(dat, '-', day, letters, year, hh, mm, ss);
        mon = month_number(letters);
    } else if (dat.find('/') != std::string::npos) {
        // Month first, as PERFMON writes it; a day that cannot be one means the
        // second field was a month name.
        TextScan(dat)
            .num(mon)
            .lit('/')
            .num(day)
            .lit('/')
            .num(year)
            .blank()
            .num(hh)
            .lit(':')
            .num(mm)
            .lit(':')
            .num(ss);
        if (day < 1 || day > 31) {
            scan_named_month(dat, '/', day, letters, year, hh, mm, ss);
            mon = month_number(upper_copy(letters));
        }
    }
    if (year >= 50 && year <= 99)
        year += 1900;
    else if (year >= 1 && year <= 49)
        year += 2000;
    cvtdat = strfmt("%d%02d%02d%02d%02d%02d", year, mon, day, hh, mm, ss);
    return 1;
}

time_t cvttime(const std::string& timstr) {
    struct tm t = {};
    t.tm_year = piece(timstr, 0, 4) - 1900;
    t.tm_mon = piece(timstr, 4, 2) - 1;
    t.tm_mday = piece(timstr, 6, 2);
    t.tm_hour = piece(timstr, 8, 2);
    t.tm_min = piece(timstr, 10, 2);
    t.tm_sec = piece(timstr, 12, 2);
    t.tm_isdst = 0;  // clock texts are always read as standard time
    // The pieces are at most four digits, so the year stays far inside what a 64-bit
    // mktime handles; should it still fail, its -1 is the result (one second before
    // the epoch), as for any other caller of mktime.
    return mktime(&t);
}

bool local_standard_time(time_t secs, struct tm& t) {
    t = {};
    if (!local_time(secs, t)) return false;
    if (t.tm_isdst <= 0) return true;
    // Summer time: the clock an hour earlier. In the first hour after the switch that
    // earlier moment is still standard time, so its clock is an hour behind; add it back.
    time_t earlier = secs - 3600;
    if (!local_time(earlier, t)) return false;
    if (t.tm_isdst <= 0) {
        time_t clock = clock_seconds(t) + 3600;
        if (!utc_time(clock, t)) return false;
        t.tm_isdst = 0;
    }
    return true;
}

void secstodate(time_t secs, std::string& date) {
    struct tm t = {};
    // Seconds whose year does not fit the broken-down time leave t zeroed, which
    // writes the visibly impossible "00-JAN-1900 00:00:00".
    if (!local_standard_time(secs, t)) t = {};
    const char* mon = (t.tm_mon >= 0 && t.tm_mon < 12) ? write_months[t.tm_mon] : "???";
    long long year = t.tm_year + 1900LL;
    date = strfmt("%02d-%3.3s-%4lld %02d:%02d:%02d", t.tm_mday, mon, year, t.tm_hour, t.tm_min,
                  t.tm_sec);
}

time_t get_csvdate(RunState& rs, int /*fmt*/, std::string& str) {
    remove_chars(str, '"');
    int hh = 0, mm = 0, ss = 0;
    std::string date;
    if (str.find('-') == std::string::npos && str.find('/') == std::string::npos) {
        TextScan(str).num(hh).lit(':').num(mm).lit(':').num(ss);
        date = rs.comment_sdate.empty() ? "01-JAN-1970" : rs.comment_sdate;
    } else {
        TextScan(str).word(date).blank().num(hh).lit(':').num(mm).lit(':').num(ss);
    }
    std::string text = strfmt("%s %02d:%02d:%02d", date.c_str(), hh, mm, ss);
    std::string compact;
    cvtdate(text, compact);
    return cvttime(compact);
}
