#include <cmath>
#include "input/load.h"

#include <gtest/gtest.h>

#include <ctime>

#include "input/linereader.h"
#include "loaded_run.h"
#include "report/html.h"

namespace {

// A dated file with one line per second-of-day on 01-JAN-2008; values "i,2*i".
std::string dated(const std::vector<int>& secs) {
    std::string s = "Sample Time,A,B\n";
    for (size_t i = 0; i < secs.size(); ++i)
        s += "01-JAN-2008 " + clock_text(secs[i]) + "," + std::to_string(i) + "," +
             std::to_string(2 * i) + "\n";
    return s;
}

std::vector<int> every(int from, int n, int step) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(from + i * step);
    return v;
}

}  // namespace

TEST(Load, ValuesGoIntoTheGridInSelectionOrder) {
    LoadedRun l;
    l.file("a.csv", dated(every(36000, 20, 60)));
    l.load();
    ASSERT_EQ(l.result.status, -1) << l.result.out;
    EXPECT_EQ(l.rs.numpar, 2);
    EXPECT_EQ(l.rs.num, 20);
    EXPECT_EQ(l.rs.sampint, 60);
    EXPECT_DOUBLE_EQ(l.at(0, 0, 7), 7);
    EXPECT_DOUBLE_EQ(l.at(0, 1, 19), 38);
    EXPECT_EQ(l.rs.x_vals[3], "01-JAN-2008 10:03:00");
    EXPECT_EQ(l.rs.ch_start_d, "01-JAN-2008");
    EXPECT_EQ(l.rs.start_t, "10:00:00");
    EXPECT_EQ(l.rs.end_t, "10:19:00");
    EXPECT_EQ(l.rs.rangedursecs, 19 * 60);
}

TEST(Load, GapsOfFiveOrMoreSamplesLeaveMarkedRows) {
    struct Case {
        int missing;  // samples left out after row 49
        int marked;   // rows marked missing
    };
    const Case cases[] = {{9, 9}, {4, 0}};
    for (const auto& c : cases) {
        LoadedRun l;
        std::vector<int> secs = every(36000, 50, 60);
        for (int s : every(36000 + (50 + c.missing) * 60, 50, 60)) secs.push_back(s);
        l.file("g.csv", dated(secs));
        l.load();
        ASSERT_EQ(l.result.status, -1) << l.result.out;
        int marked = 0;
        for (int m : l.rs.miss_ar) marked += m == -1;
        EXPECT_EQ(marked, c.marked) << c.missing;
        // Row 50 (value 50) lands after the gap.
        EXPECT_DOUBLE_EQ(l.at(0, 0, 50 + c.marked), 50) << c.missing;
        if (c.marked) {
            EXPECT_EQ(l.rs.miss_ar[50], -1);
            EXPECT_EQ(l.rs.miss_ar[58], -1);
            EXPECT_EQ(l.rs.miss_ar[59], 0);
            EXPECT_TRUE(std::isnan(l.at(0, 0, 55)));  // slots of the gap are missing
            // Each grid row carries its own time; the rows of the gap have none.
            EXPECT_EQ(l.rs.x_vals[49], "01-JAN-2008 10:49:00");
            EXPECT_EQ(l.rs.x_vals[50], "");
            EXPECT_EQ(l.rs.x_vals[59], "01-JAN-2008 10:59:00");
            EXPECT_EQ(l.rs.x_vals[108], "01-JAN-2008 11:48:00");
        }
    }
}

TEST(Load, EmptyFieldsReadAsZeroAndTimeOnlyStamps) {
    LoadedRun l;
    std::string s = "Sample Time,A,B,C\n";
    for (int i = 0; i < 12; ++i) {
        // Intervals of 59 and 61 seconds between time-only stamps count as 60.
        int t = 36000 + i * 60 + (i % 2 ? 1 : -1) * (i > 0);
        s += clock_text(t) + ",1,,3\n";
    }
    l.file("t.csv", s);
    l.load();
    ASSERT_EQ(l.result.status, -1) << l.result.out;
    EXPECT_EQ(l.rs.numpar, 3);
    EXPECT_DOUBLE_EQ(l.at(0, 0, 4), 1);
    EXPECT_DOUBLE_EQ(l.at(0, 1, 4), 0);
    EXPECT_DOUBLE_EQ(l.at(0, 2, 4), 3);
    EXPECT_EQ(l.rs.sampint, 60);
}

TEST(Load, ThinningAndTimeOfDayRange) {
    LoadedRun l;
    l.file("a.csv", dated(every(36000, 30, 60)));
    l.rs.set_opt().nth = 3;
    l.load();
    ASSERT_EQ(l.result.status, -1) << l.result.out;
    EXPECT_EQ(l.rs.num, 10);
    EXPECT_DOUBLE_EQ(l.at(0, 0, 0), 0);
    EXPECT_DOUBLE_EQ(l.at(0, 0, 1), 3);
    EXPECT_DOUBLE_EQ(l.at(0, 0, 2), 6);

    LoadedRun r;
    r.file("a.csv", dated(every(36000, 30, 60)));
    r.rs.set_opt().timerange.kind = TimeRange::DAILY;
    r.rs.set_opt().timerange.from = 10 * 3600 + 5 * 60;
    r.rs.set_opt().timerange.to = 10 * 3600 + 15 * 60;
    r.load();
    ASSERT_EQ(r.result.status, -1) << r.result.out;
    EXPECT_DOUBLE_EQ(r.at(0, 0, 0), 5);  // 10:05 is the first row inside the range
    EXPECT_DOUBLE_EQ(r.at(0, 0, 9), 14);
}

TEST(Load, SeveralFilesEachFromTheirOwnColumns) {
    LoadedRun l;
    l.rs.set_opt().qflag = 0;
    l.file("a.csv", dated(every(36000, 12, 60)));
    l.file("b.csv", "Sample Time,B,A\n" + [] {
        std::string s;
        for (int i = 0; i < 12; ++i)
            s += "01-JAN-2008 " + clock_text(39600 + i * 60) + "," + std::to_string(100 + i) +
                 "," + std::to_string(200 + i) + "\n";
        return s;
    }());
    l.load();
    ASSERT_EQ(l.result.status, -1) << l.result.out;
    EXPECT_DOUBLE_EQ(l.at(1, 0, 3), 203);  // label A is column 2 of the second file
    EXPECT_DOUBLE_EQ(l.at(1, 1, 3), 103);
    EXPECT_NE(l.result.out.find("a.csv,    12 records, 60 secs interval\n"), std::string::npos)
        << l.result.out;
}

TEST(Load, HtmlTableStartShowsTheSpan) {
    LoadedRun l;
    l.rs.set_opt().nocharts = 0;
    // Windows names cannot hold "<" or ">".
    l.file(WINDOWS_BUILD ? "a&b.csv" : "a<b>.csv", dated(every(36000, 12, 60)));
    FILE* fp = fopen("page.htm", "wb");
    l.rs.htmfp = fp;
    l.load();
    // The page's table starts with the span the load found.
    write_html_table_start(l.rs);
    fclose(fp);
    l.rs.htmfp = nullptr;
    EXPECT_EQ(l.dir.read("page.htm"),
              std::string("<center>") + (WINDOWS_BUILD ? "a&amp;b" : "a&lt;b&gt;") +
                  ".csv \nfrom 01-JAN 10:00 to 01-JAN 10:11</center>\n"
              "<center><table>\n");
}

TEST(Load, IntervalsAtTheIntLimitsDoNotOverflow) {
    // Stamps more than 68 years apart give intervals held at the int limits.
    for (int sampint : {1, -1, 60}) {
        for (const char* prev : {"01-JAN-2100 10:00:00", "01-JAN-1900 10:00:00"}) {
            EnvVar tz("TZ", "UTC");
            tzset();
            RunState rs;
            rs.set_opt().iflag = 1;
            rs.comm_sampint = sampint;
            rs.totmiss = 10;
            rs.num = 2;
            rs.miss_ar.assign(70, 0);
            rs.x_vals = {prev, "01-JAN-2008 10:00:00", ""};
            RunResult r = capture([&] { calc_sampint(rs, 1, 0, 0); });
            EXPECT_EQ(r.status, -1) << r.out;
            EXPECT_LE(rs.missints, rs.totmiss);
        }
    }
}

// Cells are read to the same double in the first row (which also looks for decimals) and
// in the rows after it (read in one step with finding their end), whatever their form.
TEST(Load, CellsReadToTheExactValueInEveryRow) {
    const struct {
        const char* cell;
        double value;  // MISSING for a cell that is no number
    } cases[] = {
        {"16.32", 16.32},
        {"0.3", 0.3},
        {"-0", -0.0},
        {"-0.00", -0.0},
        {"+7.5", 7.5},
        {".5", 0.5},
        {"5.", 5.0},
        {"0.30000000000000004", 0.30000000000000004},
        {"123456789012345", 123456789012345.0},
        {"1234567.89012345678", 1234567.89012345678},
        {"9007199254740993", 9007199254740993.0},
        {"00012.5000", 12.5},
        {"2.5E3", 2500.0},
        {"1e-5", 1e-5},
        {"4.9e-324", 4.9e-324},
        {"1e400", HUGE_VAL},
        {"1e-400", 0.0},
        {" 12 ", 12.0},
        {"", 0.0},
        {"12abc", MISSING},
        {"0x10", MISSING},
        {"1.2.3", MISSING},
        {"1e", MISSING},
        {"+-5", MISSING},
        {"-", MISSING},
        {"nan", MISSING},
        {"-1.5", -1.5},  // last on the line: no comma ends it
    };
    std::string heading = "Sample Time", row;
    for (size_t c = 0; c < std::size(cases); ++c) {
        heading += ",c" + std::to_string(c);
        row += std::string(",") + cases[c].cell;
    }
    std::string text = heading + "\n";
    for (int i = 0; i < 3; ++i) text += "01-JAN-2008 " + clock_text(36000 + 60 * i) + row + "\n";
    LoadedRun l;
    l.file("cells.csv", text);
    l.load();
    ASSERT_EQ(l.result.status, -1) << l.result.out;
    ASSERT_EQ(l.rs.numpar, static_cast<int>(std::size(cases)));
    for (size_t c = 0; c < std::size(cases); ++c)
        for (int i = 0; i < 3; ++i) {
            double v = l.at(0, static_cast<int>(c), i), want = cases[c].value;
            if (is_missing(want))
                EXPECT_TRUE(is_missing(v)) << cases[c].cell << " row " << i << ": " << v;
            else
                EXPECT_TRUE(v == want && std::signbit(v) == std::signbit(want))
                    << cases[c].cell << " row " << i << ": " << v;
        }
}

// A line is read the same whether it lies within the read block or runs over its end,
// and whatever its form: line ends, quotes, blanks in the time stamp.
TEST(Load, LinesReadTheSameWhateverTheirForm) {
    const struct {
        const char* name;
        const char* line;  // rows 1 and 2 (ending the file) of three; row 0 is plain
    } cases[] = {
        {"plain", "01-JAN-2008 10:01:00,1.5,-2"},
        {"crlf", "01-JAN-2008 10:01:00,1.5,-2\r"},
        {"quoted", "\"01-JAN-2008 10:01:00\",\"1.5\",\"-2\""},
        {"blanks", "  01-JAN-2008 \t 10:01:00 ,1.5,-2"},
        {"trailing comma", "01-JAN-2008 10:01:00,1.5,-2,"},
    };
    for (const auto& c : cases) {
        LoadedRun l;
        std::string last = c.line;
        last.replace(last.find("10:01"), 5, "10:02");
        l.file("f.csv", std::string("Sample Time,A,B\n01-JAN-2008 10:00:00,1,1\n") + c.line +
                            "\n" + last);
        l.load();
        ASSERT_EQ(l.result.status, -1) << c.name << l.result.out;
        EXPECT_EQ(l.rs.num, 3) << c.name;
        EXPECT_EQ(l.rs.end_t, "10:02:00") << c.name;
        for (int i = 1; i <= 2; ++i) {
            EXPECT_EQ(l.rs.x_vals[i], "01-JAN-2008 10:0" + std::to_string(i) + ":00") << c.name;
            EXPECT_EQ(l.at(0, 0, i), 1.5) << c.name;
            EXPECT_EQ(l.at(0, 1, i), -2) << c.name;
        }
    }
    std::string text = "\xEF\xBB\xBFSample Time,A\r\n\r\n01-JAN-2008 10:00:00,1\n\n";
    for (int i = 0; i < 40; ++i) text += std::string(i % 7, 'x') + "\r\n";
    text += "last line, no line end";
    for (size_t block : {size_t{1}, size_t{5}, size_t{16}, size_t{1} << 20}) {
        TempDir dir;
        dir.write("l.csv", text);
        FILE* a = fopen(dir.file("l.csv").c_str(), "rb");
        FILE* b = fopen(dir.file("l.csv").c_str(), "rb");
        LineReader copies(a, block), views(b, block);
        std::string s;
        std::string_view v;
        int lines = 0;
        for (; copies.next(s); ++lines) {
            ASSERT_TRUE(views.next(v)) << block << " line " << lines;
            EXPECT_EQ(v, s) << block << " line " << lines;
            EXPECT_EQ(views.rawlen(), copies.rawlen()) << block << " line " << lines;
        }
        EXPECT_FALSE(views.next(v)) << block;
        EXPECT_EQ(lines, 45) << block;
        fclose(a);
        fclose(b);
    }
}
