#include "core/timestamps.h"

#include <cctype>
#include <climits>

#include "base/out.h"
#include "base/platform.h"
#include "base/scan.h"
#include "base/strings.h"

const char* const STAMP_EXAMPLES =
    "01-DEC-2026 10:00:00, 12/01/2026 10:00:00, 2026-12-01T10:00:00, 2026-12-01 10:00:00+01:00, "
    "10:00:00";

namespace {

// The one month-name table: reading looks names up in it (an unknown name is month 13,
// which the calendar carries into January of the next year), writing takes names from it.
const char* const MONTHS[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

int month_number(const std::string& letters) {
    for (int i = 0; i < 12; ++i)
        if (letters == MONTHS[i]) return i + 1;
    return 13;
}

// The fields of a date and clock reading as written; nothing is normalised yet.
struct Fields {
    int year = 0, mon = 0, day = 0, hh = 0, mm = 0, ss = 0;
};

// "dd-MMM-yyyy hh:mm:ss" and "dd/MMM/yyyy hh:mm:ss": day, three letters, year, time.
void scan_named_month(const std::string& text, char sep, Fields& f, std::string& letters) {
    TextScan(text)
        .num(f.day)
        .lit(sep)
        .chars(letters, 3)
        .lit(sep)
        .num(f.year)
        .blank()
        .clock(f.hh, f.mm, f.ss);
}

// The classic forms (upper-cases dat when it has a dash); fields not in the text stay 0.
Fields classic_fields(std::string& dat) {
    Fields f;
    std::string letters;
    if (dat.find('-') != std::string::npos) {
        strupper(dat);
        scan_named_month(dat, '-', f, letters);
        f.mon = month_number(letters);
    } else if (dat.find('/') != std::string::npos) {
        // Month first, as PERFMON writes it; a day that cannot be one means the
        // second field was a month name.
        TextScan(dat)
            .num(f.mon)
            .lit('/')
            .num(f.day)
            .lit('/')
            .num(f.year)
            .blank()
            .clock(f.hh, f.mm, f.ss);
        if (f.day < 1 || f.day > 31) {
            // Fields the second reading does not reach keep what the first one read.
            scan_named_month(dat, '/', f, letters);
            f.mon = month_number(upper_copy(letters));
        }
    }
    if (f.year >= 50 && f.year <= 99)
        f.year += 1900;
    else if (f.year >= 1 && f.year <= 49)
        f.year += 2000;
    return f;
}

long long floor_div(long long a, long long b) {
    return (a >= 0 ? a : a - b + 1) / b;
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian); the month may lie outside
// 1..12 and is carried into the year.
long long days_from_civil(long long y, long long m, long long d) {
    y += floor_div(m - 1, 12);
    m = m - 1 - floor_div(m - 1, 12) * 12 + 1;
    y -= m <= 2 ? 1 : 0;
    long long era = floor_div(y, 400);
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// The fields as seconds of the same clock reading in UTC, in 64 bits: fields are ints,
// so no product or sum here can overflow.
long long clock_utc(const Fields& f) {
    return days_from_civil(f.year, f.mon, f.day) * DAY_SECS + f.hh * 3600LL + f.mm * 60LL + f.ss;
}

// The fields of a broken-down time as seconds of the same clock reading in UTC.
time_t clock_seconds(const struct tm& t) {
    Fields f{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
    return static_cast<time_t>(clock_utc(f));
}

// Local standard time of a clock reading given as seconds of the same reading in UTC.
// The calendar routine is asked once per day (rows come day by day), so reading a
// stamp costs no zone lookup of its own; -1 when the date lies beyond it.
time_t local_from_clock(long long clock, StampTime& st) {
    static thread_local long long cached_day = LLONG_MIN;
    static thread_local time_t cached_midnight = -1;
    static thread_local long cached_zone = 0;
    static thread_local std::string cached_name;
    long long day = floor_div(clock, DAY_SECS);
    st.day = day;
    st.tod = clock - day * DAY_SECS;
    // A change of zone (tests change TZ within one process) is seen in what the last
    // zone set-up left behind.
    if (day != cached_day || timezone != cached_zone || cached_name != tzname[0]) {
        time_t midnight = static_cast<time_t>(day * DAY_SECS);
        struct tm t = {};
        if (!utc_time(midnight, t)) return -1;
        t.tm_isdst = 0;  // clock texts are always read as standard time
        time_t m = local_seconds(t);
        if (m == -1) return -1;
        cached_day = day;
        cached_midnight = m;
        cached_zone = timezone;
        cached_name = tzname[0];
    }
    return cached_midnight + static_cast<time_t>(st.tod);
}

bool digits(const std::string& s, size_t b, size_t n) {
    if (b + n > s.size()) return false;
    for (size_t i = b; i < b + n; ++i)
        if (!isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

// Reads a run of digits at p as an int (at most nine digits are taken).
int number_at(const std::string& s, size_t& p, size_t maxlen) {
    int v = 0;
    size_t n = 0;
    while (p < s.size() && n < maxlen && isdigit(static_cast<unsigned char>(s[p]))) {
        v = v * 10 + (s[p] - '0');
        ++p;
        ++n;
    }
    return v;
}

// yyyy-mm-dd, then T or a blank and hh:mm[:ss[.fff]], then Z or +hh[:mm] / -hh[:mm].
bool read_iso(const std::string& s, StampTime& st) {
    if (!is_iso_stamp(s)) return false;
    Fields f;
    size_t p = 0;
    f.year = number_at(s, p, 4);
    ++p;
    f.mon = number_at(s, p, 2);
    ++p;
    f.day = number_at(s, p, 2);
    long long zone = 0;
    bool zoned = false;
    if (p < s.size() && (s[p] == 'T' || s[p] == 't' || s[p] == ' ')) {
        ++p;
        f.hh = number_at(s, p, 2);
        if (p < s.size() && s[p] == ':') {
            ++p;
            f.mm = number_at(s, p, 2);
        }
        if (p < s.size() && s[p] == ':') {
            ++p;
            f.ss = number_at(s, p, 2);
        }
        if (p < s.size() && (s[p] == '.' || s[p] == ',')) {
            ++p;
            while (p < s.size() && isdigit(static_cast<unsigned char>(s[p]))) ++p;
        }
        while (p < s.size() && s[p] == ' ') ++p;
        if (p < s.size() && (s[p] == 'Z' || s[p] == 'z')) {
            zoned = true;
        } else if (p < s.size() && (s[p] == '+' || s[p] == '-') && digits(s, p + 1, 2)) {
            int sign = s[p] == '-' ? -1 : 1;
            ++p;
            int zh = number_at(s, p, 2), zm = 0;
            if (p < s.size() && s[p] == ':') ++p;
            if (digits(s, p, 2)) zm = number_at(s, p, 2);
            zone = sign * (zh * 3600LL + zm * 60LL);
            zoned = true;
        }
    }
    st.dated = true;
    if (!zoned) {
        st.secs = local_from_clock(clock_utc(f), st);
        return st.secs != -1;
    }
    // The instant is known; the clock reading that matters is the local standard one.
    time_t secs = static_cast<time_t>(clock_utc(f) - zone);
    struct tm t = {};
    if (!local_standard_time(secs, t)) return false;
    st.secs = local_from_clock(clock_seconds(t), st);
    return st.secs != -1;
}

}  // namespace

bool is_iso_time(const std::string& text) {
    if (!is_iso_stamp(text)) return false;
    size_t p = text.find_first_of("Tt ", text.find_first_not_of(" \""));
    return p != std::string::npos && digits(text, p + 1, 1) &&
           text.find(':', p) != std::string::npos && digits(text, text.find(':', p) + 1, 1);
}

bool is_iso_stamp(const std::string& text) {
    size_t b = 0;
    while (b < text.size() && (text[b] == ' ' || text[b] == '"')) ++b;
    // yyyy-m[m]-d[d]
    if (!digits(text, b, 4) || b + 4 >= text.size() || text[b + 4] != '-') return false;
    size_t p = b + 5;
    if (!digits(text, p, 1)) return false;
    while (p < text.size() && isdigit(static_cast<unsigned char>(text[p]))) ++p;
    if (p >= text.size() || text[p] != '-') return false;
    return digits(text, p + 1, 1);
}

const char* month_abbrev(int m) {
    return m >= 0 && m < 12 ? MONTHS[m] : "???";
}

std::string day_text(time_t secs) {
    struct tm t {};
    local_standard_time(secs, t);
    return strfmt("%02d-%3.3s-%4d", t.tm_mday, MONTHS[(t.tm_mon % 12 + 12) % 12],
                  t.tm_year + 1900);
}

int cvtdate(std::string& dat, std::string& cvtdat) {
    Fields f = classic_fields(dat);
    cvtdat = strfmt("%d%02d%02d%02d%02d%02d", f.year, f.mon, f.day, f.hh, f.mm, f.ss);
    return 1;
}

namespace {

// A piece of the compact text at fixed positions, read as a decimal number; a piece
// beyond the end of a short text is empty and reads as 0.
int piece(const std::string& s, size_t from, size_t len) {
    if (from >= s.size()) return 0;
    return atoi_s(s.substr(from, len));
}

}  // namespace

time_t cvttime(const std::string& timstr) {
    struct tm t = {};
    t.tm_year = piece(timstr, 0, 4) - 1900;
    t.tm_mon = piece(timstr, 4, 2) - 1;
    t.tm_mday = piece(timstr, 6, 2);
    t.tm_hour = piece(timstr, 8, 2);
    t.tm_min = piece(timstr, 10, 2);
    t.tm_sec = piece(timstr, 12, 2);
    t.tm_isdst = 0;  // clock texts are always read as standard time
    // The pieces are at most four digits, so the year stays far inside what the
    // conversion handles; should it still fail, its -1 is the result (one second before
    // the epoch).
    return local_seconds(t);
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
    long long year = t.tm_year + 1900LL;
    date = strfmt("%02d-%3.3s-%4lld %02d:%02d:%02d", t.tm_mday, month_abbrev(t.tm_mon), year,
                  t.tm_hour, t.tm_min, t.tm_sec);
}

bool read_stamp(const std::string& text, const std::string& day, StampTime& st) {
    st = StampTime();
    std::string s = text;
    remove_chars(s, '"');
    trim(s);
    if (read_iso(s, st)) return true;
    if (st.dated) return false;
    int hh = 0, mm = 0, ss = 0;
    std::string date;
    bool dated = s.find_first_of("-/") != std::string::npos;
    if (dated) {
        TextScan(s).word(date).blank().clock(hh, mm, ss);
    } else {
        TextScan(s).clock(hh, mm, ss);
        date = day.empty() ? "01-JAN-1970" : day;
    }
    Fields f = classic_fields(date);
    f.hh = hh;
    f.mm = mm;
    f.ss = ss;
    st.dated = dated;
    st.secs = local_from_clock(clock_utc(f), st);
    return st.secs != -1;
}

time_t stamp_secs(const std::string& text) {
    StampTime st;
    read_stamp(text, "", st);
    return st.secs;
}

void to_classic_stamp(std::string& text) {
    if (!is_iso_stamp(text)) return;
    StampTime st;
    if (read_stamp(text, "", st)) secstodate(st.secs, text);
}

time_t get_csvdate(RunState& rs, int /*fmt*/, std::string& str) {
    remove_chars(str, '"');
    StampTime st;
    read_stamp(str, rs.comment_sdate, st);
    return st.secs;
}

std::string undated_day(const RunState& rs) {
    return rs.start_d.empty() ? "01-JAN-1970" : rs.start_d;
}
