#include "core/timestamps.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "base/platform.h"
#include "harness.h"

namespace {

// Puts the process into a time zone for the lifetime of the object.
class Zone {
   public:
    explicit Zone(const char* tz) : env_(std::make_unique<EnvVar>("TZ", tz)) { tzset(); }
    ~Zone() {
        env_.reset();
        tzset();
    }

   private:
    std::unique_ptr<EnvVar> env_;
};

// Central European rules written out, so no zone database is needed.
const char* const CET_RULES = "CET-1CEST,M3.5.0,M10.5.0/3";

time_t csvdate(const std::string& field, const std::string& sdate = "") {
    RunState rs;
    rs.comment_sdate = sdate;
    std::string s = field;
    return get_csvdate(rs, 1, s);
}

}  // namespace

TEST(Timestamps, CompactTextOfEveryShape) {
    struct Case {
        std::string in, compact, after;  // after: the input text once cvtdate is done
    };
    const Case cases[] = {
        {"01-JAN-2008 10:00:00", "20080101100000", "01-JAN-2008 10:00:00"},
        {"01-jan-2008 10:00:00", "20080101100000", "01-JAN-2008 10:00:00"},
        {"1-Feb-2008 9:5:7", "20080201090507", "1-FEB-2008 9:5:7"},
        {"01/02/2008 00:00:00", "20080102000000", "01/02/2008 00:00:00"},
        {"15/jan/2008 01:02:03", "20080115010203", "15/jan/2008 01:02:03"},
        {"31-DEC-99 23:59:59", "19991231235959", "31-DEC-99 23:59:59"},
        {"01-JAN-07 00:00:00", "20070101000000", "01-JAN-07 00:00:00"},
        {"01-JAN-50", "19500101000000", "01-JAN-50"},
        {"01-JAN-49", "20490101000000", "01-JAN-49"},
        {"01-MAI-2008 00:00:00", "20081301000000", "01-MAI-2008 00:00:00"},
        {"01-JAN-2008 10:00:00.50", "20080101100000", "01-JAN-2008 10:00:00.50"},
        {"01-JAN-2008", "20080101000000", "01-JAN-2008"},
        {"20080101 10:00:00", "00000000000", "20080101 10:00:00"},
        {"", "00000000000", ""},
    };
    for (const auto& c : cases) {
        std::string dat = c.in, out = "junk";
        EXPECT_EQ(cvtdate(dat, out), 1);
        EXPECT_EQ(out, c.compact) << c.in;
        EXPECT_EQ(dat, c.after) << c.in;
    }
}

TEST(Timestamps, SecondsInUtc) {
    Zone z("UTC0");
    struct Case {
        std::string field, sdate;
        time_t secs;
    };
    const Case cases[] = {
        {"01-JAN-2008 10:00:00", "", 1199181600},     {"01-jan-2008 10:00:00", "", 1199181600},
        {"\"01-JAN-2008 10:00:00\"", "", 1199181600}, {"01-JAN-2008 10:00:00.50", "", 1199181600},
        {"01-JAN-2008 10:00:00.99", "", 1199181600},  {"01/02/2008 00:00:00", "", 1199232000},
        {"15/JAN/2008 00:00:00", "", 1200355200},     {"31-DEC-99 23:59:59", "", 946684799},
        {"01-JAN-07 00:00:00", "", 1167609600},       {"10:30:00", "", 37800},
        {"10:30:00", "05-MAR-2008", 1204713000},      {"\"10:30:00\"", "05-mar-2008", 1204713000},
        {"01-MAI-2008 00:00:00", "", 1230768000},     {"01-JAN-2040 00:00:00", "", 2208988800},
        {"31-DEC-9999 23:59:59", "", 253402300799},
    };
    for (const auto& c : cases) EXPECT_EQ(csvdate(c.field, c.sdate), c.secs) << c.field;

    std::string field = "\"01-JAN-2008\" \"10:00:00\"";
    RunState rs;
    get_csvdate(rs, 2, field);
    EXPECT_EQ(field, "01-JAN-2008 10:00:00");  // quotes go, letter case stays

    std::string date;
    for (const auto& c : std::initializer_list<std::pair<time_t, const char*>>{
             {0, "01-JAN-1970 00:00:00"},
             {1199181600, "01-JAN-2008 10:00:00"},
             {2208988800, "01-JAN-2040 00:00:00"},
             {253402300799, "31-DEC-9999 23:59:59"},
             {-86400, "31-DEC-1969 00:00:00"}}) {
        secstodate(c.first, date);
        EXPECT_EQ(date, c.second);
    }
}

// Clock texts are read as standard time and written back as standard time, so a summer
// clock time survives the round trip unchanged.
TEST(Timestamps, SummerTimeRoundTrip) {
    struct Zoned {
        const char* tz;
        time_t jul15_noon;  // 15-JUL-2008 12:00:00 read as standard time
    };
    std::vector<Zoned> zones = {{CET_RULES, 1216119600}};
    // The Windows C runtime knows zones by rules only, not by name.
    if (!WINDOWS_BUILD && file_exists("/usr/share/zoneinfo/America/New_York"))
        zones.push_back({"America/New_York", 1216141200});
    for (const auto& zn : zones) {
        Zone z(zn.tz);
        EXPECT_EQ(csvdate("15-JUL-2008 12:00:00"), zn.jul15_noon) << zn.tz;
        for (const char* text :
             {"15-JUL-2008 12:00:00", "15-JAN-2008 12:00:00", "01-JUL-2040 08:30:00",
              "31-DEC-2039 23:59:59", "30-MAR-2008 02:30:00", "26-OCT-2008 02:30:00"}) {
            std::string in = text, compact, back;
            cvtdate(in, compact);
            secstodate(cvttime(compact), back);
            EXPECT_EQ(back, text) << zn.tz;
        }
    }
    // Every half hour of a year with both switches, in both directions: the text is the
    // standard-time clock (UTC + 1 hour) whatever the season.
    Zone z(CET_RULES);
    static const char* const mon[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (time_t t = 1199145600; t < 1230768000; t += 1800) {
        time_t shifted = t + 3600;
        struct tm u;
        utc_time(shifted, u);
        char want[32];
        snprintf(want, sizeof want, "%02d-%s-%4d %02d:%02d:%02d", u.tm_mday, mon[u.tm_mon],
                 u.tm_year + 1900, u.tm_hour, u.tm_min, u.tm_sec);
        std::string got, in = want, compact;
        secstodate(t, got);
        ASSERT_EQ(got, want) << t;
        cvtdate(in, compact);
        ASSERT_EQ(cvttime(compact), t) << want;
    }
    std::string date;
    secstodate(1216116000, date);  // 10:00 UTC is 12:00 summer time, 11:00 standard time
    EXPECT_EQ(date, "15-JUL-2008 11:00:00");
    secstodate(2224740600, date);  // 07:30 UTC on 1 July 2040
    EXPECT_EQ(date, "01-JUL-2040 08:30:00");
}

// Hostile texts give some definite result and never read or write out of bounds.
TEST(Timestamps, HostileInput) {
    Zone z("UTC0");
    struct Case {
        std::string in, compact;
    };
    const Case cases[] = {
        {"99999999999999999999-JAN-2008 10:00:00", "2008012147483647100000"},
        {"01-JAN-2008 99999999999:00:00", "2008010121474836470000"},
        {"-99999999999-JAN-2008", "200801-2147483648000000"},
        {"01/99999999999/2008", "20081301000000"},
        {"01-JA", "01301000000"},
        {"01-", "01301000000"},
        {"-", "01300000000"},
        {"/", "01300000000"},
        {"+-1-JAN-2008", "01300000000"},
        {"01-JAN-12345 00:00:00", "123450101000000"},
    };
    for (const auto& c : cases) {
        std::string dat = c.in, out;
        cvtdate(dat, out);
        EXPECT_EQ(out, c.compact) << c.in;
        cvttime(out);
    }
    for (const std::string& s :
         {std::string(100000, '9'), std::string(100000, '-'), std::string(50000, '/') + "1",
          "01-JAN-2008 " + std::string(100000, ':'), std::string("\"\"\""), std::string(":::"),
          std::string("01-JAN-2008\0-x", 14)})
        csvdate(s, "01-JAN-2008");

    EXPECT_EQ(cvttime(""), cvttime("0000"));
    EXPECT_EQ(cvttime("99991231235959"), 253402300799);

    std::string date;
    for (time_t t : {std::numeric_limits<time_t>::max(), std::numeric_limits<time_t>::min()}) {
        secstodate(t, date);
        EXPECT_EQ(date, "00-JAN-1900 00:00:00");
    }
}

TEST(Timestamps, EveryFormReadsToTheSameMoment) {
    Zone utc("UTC");
    const time_t ten = 1796119200;  // 01-DEC-2026 10:00:00 UTC
    struct Case {
        const char* text;
        time_t secs;  // -1: not a moment the calendar holds
        bool dated;
    };
    const Case cases[] = {
        {"01-DEC-2026 10:00:00", ten, true},
        {"\"01-dec-2026 10:00:00.75\"", ten, true},
        {"12/01/2026 10:00:00", ten, true},
        {"01/DEC/2026 10:00", ten, true},
        {"2026-12-01T10:00:00", ten, true},
        {"2026-12-01 10:00:00.999", ten, true},
        {"2026-12-01T10:00:00Z", ten, true},
        {"2026-12-01T11:30:00+01:30", ten, true},
        {"2026-12-01T05:00:00.5-05:00", ten, true},
        {"10:00:00", ten, false},
        // Fields beyond their range carry over, in 64 bits.
        {"01-DEC-2026 888888810:00:00", ten - 36000 + 888888810LL * 3600, true},
        {"99999999999-JAN-99999999999 99999999999:99999999999:0", -1, true},
    };
    for (const auto& c : cases) {
        StampTime st;
        EXPECT_EQ(read_stamp(c.text, "01-DEC-2026", st), c.secs != -1) << c.text;
        EXPECT_EQ(st.secs, c.secs) << c.text;
        if (c.secs == -1) continue;
        EXPECT_EQ(st.dated, c.dated) << c.text;
        EXPECT_EQ(st.tod, c.secs == ten ? 36000 : 18 * 3600) << c.text;
    }
}

TEST(Timestamps, RangesKeepTheirStartAndLeaveTheirEnd) {
    auto at = [](long long day, long long tod) {
        StampTime st;
        st.day = day;
        st.tod = tod;
        st.secs = static_cast<time_t>(day * 86400 + tod);
        return st;
    };
    TimeRange dates{TimeRange::DATES, 1000, 2000, 0, 0};
    TimeRange office{TimeRange::DAILY, 0, 0, 9 * 3600, 17 * 3600};
    TimeRange night{TimeRange::DAILY, 0, 0, 22 * 3600, 6 * 3600};
    struct Case {
        const TimeRange& range;
        StampTime st;
        bool held;
        long long window;
    };
    const Case cases[] = {
        {dates, at(0, 999), false, 0},          {dates, at(0, 1000), true, 0},
        {dates, at(0, 1999), true, 0},          {dates, at(0, 2000), false, 0},
        {office, at(3, 9 * 3600), true, 3},     {office, at(3, 17 * 3600), false, 3},
        {night, at(3, 23 * 3600), true, 3},     {night, at(4, 5 * 3600), true, 3},
        {night, at(4, 6 * 3600), false, 4},     {night, at(4, 12 * 3600), false, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.range.holds(c.st), c.held) << c.st.secs;
        EXPECT_EQ(c.range.window_of(c.st), c.window) << c.st.secs;
    }
}
