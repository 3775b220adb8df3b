#include "export/append.h"

#include <gtest/gtest.h>

#include "file_set.h"
#include "harness.h"

TEST(Append, DataLinesAreThoseWithAClockTimeFirst) {
    struct Case {
        std::string line;
        bool data;
    } cases[] = {
        {"01-JAN-2008 10:00:00,1,2\n", true},
        {",,10:00:00,1\n", true},  // empty fields do not count
        {"\"01/02/2008 10:00:00.000\",\"1\"\r\n", true},
        {"Column Average, 99999,1,2\n", false},
        {"NODEA,Monitor Comment: test\n", false},   // the colon is in a later field
        {std::string(39, 'x') + ":00,1\n", false},  // beyond the first 39 characters
        {std::string(38, 'x') + ":00,1\n", true},
        {"Totals\n", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(is_append_data_line(c.line), c.data) << c.line;
}

namespace {

// Two surveyed files in a temporary directory, ready for the copy.
struct Copy {
    TempDir d;
    RunState rs;
    Copy(const std::string& first, const std::string& second) {
        d.write("a.csv", first);
        d.write("b.csv", second);
        name_files(rs, {d.file("a.csv"), d.file("b.csv")});
        for (InputFile& f : rs.files) {
            f.y8format = LAYOUT_HEADING_LINE;
            f.paraline = 1;
            f.firstdataline = 2;
            f.line = "Sample Time,CPU,Mem";
        }
        rs.set_opt().csv_outfil = d.file("out.csv");
    }
    RunResult run() {
        rs.outcsvfp = fopen(rs.opt().csv_outfil.c_str(), "wb");
        RunResult r = capture([&] { append_similar_files(rs); });
        if (rs.outcsvfp) fclose(rs.outcsvfp);
        return r;
    }
};

const std::string kSecond = "NODEA,x\nSample Time,CPU,Mem\n01-JAN-2008 11:00:00,5,6\n";

}  // namespace

TEST(Append, HeadingOfTheFirstFileInEachLayout) {
    struct Case {
        const char* what;
        std::string first;
        int format, paraline, firstdata, fmtflag, layout;
        std::string heading;
        std::string expected;
    } cases[] = {
        {"heading line as surveyed (quotes already gone)",
         "NODEA,x\n\"Sample Time\",CPU,Mem\n01-JAN-2008 10:00:00,1,2\n", 1, 1, 2, 0, 1,
         "Sample Time,CPU,Mem",
         "NODEA,x\nSample Time,CPU,Mem\n01-JAN-2008 10:00:00,1,2\n01-JAN-2008 11:00:00,5,6\n"},
        {"a chosen block layout: time heading and five names, then the rest",
         "NODEA,x\nSample Time,A,B,C,D,E,F,G,H,I\n01-JAN-2008 10:00:00,1\n", 1, 1, 2, 1, 2,
         "Sample Time,A,B,C,D,E,F,G,H,I",
         "NODEA,x\n$$$ START COLUMN HEADERS $$$\nSample Time,A,B,C,D,E\nF,G,H,I\n"
         "$$$ END COLUMN HEADERS $$$\n01-JAN-2008 10:00:00,1\n01-JAN-2008 11:00:00,5,6\n"},
        {"a block input gets a rewritten block in place of its own",
         "NODEA,x\n$$$ START COLUMN HEADERS $$$\nDate,CPU\nMem\n$$$ END COLUMN HEADERS $$$\n"
         "01-JAN-2008 10:00:00,1,2\n",
         2, 2, 5, 0, 2, "Date,CPU,Mem",
         "NODEA,x\n$$$ START COLUMN HEADERS $$$\nSample Time\nDate,CPU,Mem\n"
         "$$$ END COLUMN HEADERS $$$\n01-JAN-2008 10:00:00,1,2\n01-JAN-2008 11:00:00,5,6\n"},
        {"a file without heading gets its made-up heading before its first line",
         "01-JAN-2008 10:00:00,1,2\n01-JAN-2008 10:01:00,3,4\n", 1, 0, 0, 0, 1,
         "Sample Time, Parameter #1, Parameter #2",
         "Sample Time, Parameter #1, Parameter #2\n01-JAN-2008 10:00:00,1,2\n"
         "01-JAN-2008 10:01:00,3,4\n01-JAN-2008 11:00:00,5,6\n"},
    };
    for (const auto& c : cases) {
        Copy cp(c.first, kSecond);
        cp.rs.files[0].y8format = static_cast<CsvLayout>(c.format);
        cp.rs.files[0].paraline = c.paraline;
        cp.rs.files[0].firstdataline = c.firstdata;
        cp.rs.set_opt().fmtflag = c.fmtflag;
        cp.rs.set_opt().format = c.layout;
        cp.rs.files[0].line = c.heading;
        RunResult r = cp.run();
        EXPECT_EQ(r.status, 0) << c.what;
        EXPECT_EQ(cp.d.read("out.csv"), c.expected) << c.what;
    }
}

TEST(Append, MessagesAndAMissingFile) {
    Copy cp("NODEA,x\nSample Time,CPU,Mem\n01-JAN-2008 10:00:00,1,2\n01-JAN-2008 10:01:00,3,4\n",
            kSecond);
    RunResult r = cp.run();
    EXPECT_EQ(r.out,
              "\nAppending data:\n"
              "appended " +
                  cp.d.file("a.csv") +
                  ", 2 data lines\n"
                  "appended " +
                  cp.d.file("b.csv") +
                  ", 1 data lines\n"
                  "\nAppended data written to " +
                  cp.d.file("out.csv") + "\n");
    EXPECT_EQ(cp.rs.outcsvfp, nullptr);  // closed by the copy

    Copy gone("NODEA,x\nSample Time,CPU,Mem\n01-JAN-2008 10:00:00,1,2\n", kSecond);
    gone.rs.files[1].datafil = gone.d.file("gone.csv");
    r = gone.run();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nAppending data:\nappended " + gone.d.file("a.csv") +
                         ", 1 data lines\nError opening file " + gone.d.file("gone.csv") + "\n");
}
