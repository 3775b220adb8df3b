#include "input/survey.h"

#include <gtest/gtest.h>

#include <ctime>

#include "core/timestamps.h"
#include "file_set.h"
#include "harness.h"

namespace {

const time_t JAN1_2008 = 1199145600;  // 01-JAN-2008 00:00:00 UTC

// "dd-MMM-yyyy hh:mm:ss" on 01-JAN-2008 at the given second of the day.
std::string stamp(int secs) {
    char buf[40];
    snprintf(buf, sizeof buf, "01-JAN-2008 %02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
    return buf;
}

// A format 1 file: node line, heading, n data lines every `step` seconds from `from`.
std::string y8file(int from, int n, int step, const std::string& heading = "Sample Time,CPU,MEM,IO",
                   const std::string& node = "NODEA_1 x, Monitor Comment: test") {
    std::string s = node.empty() ? "" : node + "\n";
    s += heading + "\n";
    for (int i = 0; i < n; ++i) s += stamp(from + i * step) + "," + std::to_string(i) + ",2.5,3\n";
    return s;
}

struct SurveyTest : ::testing::Test {
    TempDir dir;
    EnvVar tz{"TZ", "UTC"};
    RunState rs;
    SurveyTest() { tzset(); }
    void files(const std::vector<std::pair<std::string, std::string>>& fs) {
        std::vector<std::string> names;
        for (const auto& f : fs) {
            dir.write(f.first, f.second);
            names.push_back(f.first);
        }
        name_files(rs, names);
    }
    RunResult check(int n = 0) {
        InDir in(dir.path());
        return capture([&] { check_csv_files_status = check_csv_files(rs, n); });
    }
    RunResult survey(const std::string& stdin_text = "") {
        InDir in(dir.path());
        StdinFrom input(stdin_text);
        return capture([&] { survey_status = read_datafil_cols(rs, 0); });
    }
    // check_csv_files starts from files nothing is known of yet, as read_datafil_cols
    // leaves them.
    void size_tables() {
        for (InputFile& f : rs.files) {
            InputFile fresh;
            fresh.datafil = f.datafil;
            f = fresh;
        }
    }
    int check_csv_files_status = 99;
    int survey_status = 99;
};

}  // namespace

TEST(SurveyRules, HeadingDataAndHeaderlessFields) {
    struct Case {
        const char* field;
        bool heading, data, headerless;
    };
    const Case cases[] = {
        {"Sample Time", true, false, false},
        {"SAMPLE TIME", true, false, false},
        {"Time", true, false, false},
        {"TIME", false, false, false},
        {"Start Time", false, false, false},
        {"Date Time", true, false, false},
        {"01-JAN-2008 10:00:00", false, true, true},
        {"01/15/2008 10:00:00", false, true, true},
        {"10:00:00", false, true, true},
        {"9:00:00", false, true, false},  // a colon at 1 is data, not a headerless start
        {"%", false, false, false},
        {"01-JAN-2008 10:00:00.5000000000000", false, false, false},  // over 29
    };
    for (const auto& c : cases) {
        EXPECT_EQ(is_heading_field(c.field), c.heading) << c.field;
        EXPECT_EQ(is_dataline_field(c.field), c.data) << c.field;
        EXPECT_EQ(is_headerless_field(c.field), c.headerless) << c.field;
    }
}

TEST(SurveyRules, TimeStampsThatAreTimes) {
    struct Case {
        const char* field;
        bool ok;
    };
    const Case cases[] = {
        {"01-JAN-2008 10:00:00", true},    {"1-jan-2008 10:00:00.50", true},
        {"01/15/2008 10:00:00", true},     {"15/JAN/2008 10:00:00", true},
        {"\"01/15/2008 10:00:00\"", true}, {"10:30:00", true},
        {"01-MAI-2008 10:00", true},       {"2008-01-01 10:00:00", true},
        {"2008-01-01T10:00:00.5+01:00", true}, {"2008-01-01Tab:cd", false},
        {"no-time-here", false},           {"01-JAN-2008", false},
        {"01-JAN-2008 ab:cd:ef", false},   {"x:y", false},
    };
    for (const auto& c : cases) EXPECT_EQ(stamp_is_time(c.field), c.ok) << c.field;
}

TEST(SurveyRules, CountColsSkipsEmptyFields) {
    struct Case {
        const char* line;
        int cols;
    };
    const Case cases[] = {{"Sample Time,A,B,C", 3}, {"Sample Time,A,,B", 2},
                          {"Sample Time", 0},       {"", 0},
                          {",Sample Time,A", 1},    {"T,A,B,", 2}};
    for (const auto& c : cases) EXPECT_EQ(count_cols(c.line), c.cols) << c.line;
}

TEST_F(SurveyTest, Format1WithDateLineAndUnitsLine) {
    std::string f = "NODEB, Monitor Comment: x\n01-JAN-2008\nSample Time,CPU,,MEM\n,%,KB\n";
    for (int i = 0; i < 8; ++i) f += stamp(36000 + 60 * i).substr(12) + ",1,2\n";  // time only
    f += "Column Average, 99999,1,2\n";
    files({{"a.csv", f}});
    size_tables();
    RunResult r = check();
    EXPECT_EQ(r.status, -1) << r.out;
    EXPECT_EQ(check_csv_files_status, 0);
    EXPECT_EQ(rs.files[0].y8format, 1);
    EXPECT_EQ(rs.files[0].paraline, 2);
    EXPECT_EQ(rs.files[0].firstdataline, 4);  // the units line is passed over
    EXPECT_EQ(rs.files[0].numcols, 2);        // the empty heading field is no column
    EXPECT_EQ(rs.files[0].numrows, 9);        // trailer counted
    EXPECT_EQ(rs.files[0].samp, 60);
    EXPECT_EQ(rs.files[0].csvstartsecs, JAN1_2008 + 36000);
    EXPECT_EQ(rs.files[0].csvendsecs, JAN1_2008 + 36000 + 7 * 60);
    EXPECT_EQ(rs.files[0].nodenam, "NODEB");
    EXPECT_EQ(rs.comment_sdate, "01-JAN-2008");
    EXPECT_EQ(rs.start_t, "10:00:00");
    EXPECT_EQ(rs.end_d, "01-JAN-2008");
    EXPECT_EQ(rs.end_t, "10:07:00");
    EXPECT_EQ(rs.files[0].line, "Sample Time,CPU,,MEM");
    EXPECT_EQ(rs.totals.numcols, 2);
    EXPECT_EQ(rs.totals.numrows, 9);
    EXPECT_EQ(rs.actualmaxlinelen, 21);
    EXPECT_EQ(rs.hdrlen, 5000);
}

TEST_F(SurveyTest, MidnightEndMarkerAndSingleLine) {
    // Time-only stamps passing midnight once; the data ends at a two-character line.
    std::string f =
        "Sample Time,A\n23:58:00,1\n23:59:00,1\n\n00:00:00,1\n00:01:00,1\nZZ\n10:00:00,1\n";
    files({{"m.csv", f}, {"one.csv", "Sample Time,A\n01-JAN-2008 10:00:00,1\n"}});
    size_tables();
    RunResult r = check();
    EXPECT_EQ(r.status, -1) << r.out;
    time_t day = 0;  // no date line: 01-JAN-1970
    EXPECT_EQ(rs.files[0].csvstartsecs, day + 86280);
    EXPECT_EQ(rs.files[0].csvendsecs, day + 60 + 86400);
    EXPECT_EQ(rs.files[0].numrows, 5);  // blank line counted, marker and later lines not
    EXPECT_EQ(rs.files[1].samp, 60);    // one data line
    EXPECT_EQ(rs.files[1].numrows, 1);
    EXPECT_EQ(rs.files[1].csvendsecs, rs.files[1].csvstartsecs);
    EXPECT_EQ(r.out, "Parameters in all files are the same\n");
    EXPECT_EQ(rs.diffparams, 0);
}

TEST_F(SurveyTest, CrlfLinesReadLikeLf) {
    std::string lf = y8file(36000, 6, 30);
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    files({{"lf.csv", lf}, {"crlf.csv", crlf + "\r\n"}});
    size_tables();
    RunResult r = check();
    EXPECT_EQ(r.status, -1) << r.out;
    for (int f = 0; f < 2; ++f) {
        EXPECT_EQ(rs.files[f].numrows, f == 0 ? 6 : 7);
        EXPECT_EQ(rs.files[f].samp, 30);
        EXPECT_EQ(rs.files[f].numcols, 3);
        EXPECT_EQ(rs.files[f].csvendsecs, JAN1_2008 + 36000 + 150);
    }
    EXPECT_EQ(rs.files[1].line, "Sample Time,CPU,MEM,IO");
    EXPECT_EQ(rs.diffparams, 0);
}

TEST_F(SurveyTest, HeaderlessFile) {
    std::string f;
    for (int i = 0; i < 14; ++i) f += stamp(3600 + 10 * i) + ",1,2\n";
    files({{"h.csv", f}});
    size_tables();
    RunResult r = check();
    EXPECT_EQ(r.status, -1) << r.out;
    EXPECT_EQ(rs.files[0].firstdataline, 0);
    EXPECT_EQ(rs.nohdr, 1);
    EXPECT_EQ(rs.files[0].samp, 10);
    EXPECT_EQ(rs.files[0].numrows, 14);
    EXPECT_EQ(rs.files[0].line, "Sample Time, Parameter #1, Parameter #2");
    EXPECT_EQ(rs.files[0].csvendsecs, JAN1_2008 + 3600 + 130);
}

TEST_F(SurveyTest, BadInputEndsWithMessage) {
    std::string shortheaderless;
    for (int i = 0; i < 6; ++i) shortheaderless += stamp(60 * i) + ",1\n";
    std::string noheading;
    for (int i = 0; i < 12; ++i) noheading += "x" + std::to_string(i) + ",1\n";
    const std::string examples = std::string("Time stamps look like ") + STAMP_EXAMPLES + "\n";
    const std::string cases[][2] = {
        {"", "no data in file f.csv\n"},
        {"Sample Time,A,B\n", "no data in file f.csv\n"},
        {"node\nSample Time,A,B\n,%,%\n", "no data in file f.csv\n"},
        {shortheaderless, "Not enough datalines\n"},
        {noheading, "\nNot a valid Y8 format file, no headers found in first 10 lines\n"},
        {"Sample Time,A\n2008-01-01 xx:00:00,1\n",
         "Invalid time stamp in f.csv: 2008-01-01 xx:00:00\n" + examples},
        {"Sample Time,A\n01-JAN-2008 10:00:00,1\nno-time-here,2\n",
         "Invalid time stamp in f.csv: no-time-here\n" + examples},
        {"Sample Time,A\nabc,1\n", "No time stamp in f.csv: its first data field is \"abc\"\n" + examples},
    };
    for (const auto& c : cases) {
        RunState fresh;
        rs = fresh;
        files({{"f.csv", c[0]}});
        size_tables();
        RunResult r = check();
        EXPECT_EQ(r.status, 1) << c[0];
        EXPECT_EQ(r.out, c[1]) << c[0];
    }
}

TEST_F(SurveyTest, MissingFileAmongSeveral) {
    files({{"a.csv", y8file(0, 3, 60)}, {"b.csv", y8file(0, 3, 60)}});
    rs.files.insert(rs.files.begin() + 1, InputFile{});
    rs.files[1].datafil = "gone.csv";
    rs.filenum = 2;
    size_tables();
    RunResult r = check();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError opening file, gone.csv\n");
}

TEST_F(SurveyTest, OverlongLineRetriesOnceThenFails) {
    std::string heading = "Sample Time";
    for (int i = 0; i < 30; ++i) heading += ",PARAM" + std::to_string(i);  // over 200 chars
    files({{"w.csv", y8file(0, 3, 60, heading)}});
    int len = static_cast<int>(heading.size());
    rs.maxlinelen = 100;
    size_tables();
    RunResult r = check(0);
    EXPECT_EQ(check_csv_files_status, -1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(rs.maxlinelen, len + 1000);
    size_tables();
    r = check(1);
    EXPECT_EQ(check_csv_files_status, 0) << r.out;
    EXPECT_EQ(rs.files[0].numcols, 30);

    rs.maxlinelen = 100;
    size_tables();
    r = check(1);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Data line too long: " + std::to_string(len) + " >= limit of 99 : w.csv\n" +
                         "Try setting Env. Variable MAXLINE to " + std::to_string(len + 2) +
                         " or greater\n");
}

TEST_F(SurveyTest, DefaultLimitRetryThroughTheSurveyStep) {
    std::string heading = "Sample Time";
    while (heading.size() < 230000)
        heading += ",LONG_PARAMETER_NAME_" + std::to_string(heading.size());
    files({{"wide.csv", y8file(0, 3, 60, heading)}});
    rs.set_opt().pflag = 1;
    rs.set_opt().qflag = 1;
    RunResult r = survey();
    EXPECT_EQ(survey_status, -1);
    EXPECT_EQ(rs.maxlinelen, static_cast<int>(heading.size()) + 1000);
    {
        InDir in(dir.path());
        r = capture([&] { survey_status = read_datafil_cols(rs, 1); });
    }
    EXPECT_EQ(survey_status, 0) << r.out.substr(0, 200);
    EXPECT_EQ(rs.numcol, count_cols(heading));
}

TEST_F(SurveyTest, ExplicitRows) {
    std::string f = "junk\nNAMES,A,B\nmore\n1,2,3\n4,5,6\n7,8,9\n";
    files({{"e.csv", f}});
    size_tables();
    rs.set_opt().datalinerow = 3;  // only the data row: the heading is the line above
    RunResult r = check();
    EXPECT_EQ(r.status, -1) << r.out;
    EXPECT_EQ(rs.files[0].paraline, 2);
    EXPECT_EQ(rs.files[0].line, "more");
    EXPECT_EQ(rs.files[0].numrows, 3);
    EXPECT_EQ(rs.files[0].samp, 60);

    rs.set_opt().datalinerow = -1;
    rs.set_opt().headerlinerow = 1;  // only the heading row: data follows it
    size_tables();
    r = check();
    EXPECT_EQ(r.status, -1) << r.out;
    EXPECT_EQ(rs.files[0].firstdataline, 2);
    EXPECT_EQ(rs.files[0].line, "NAMES,A,B");
    EXPECT_EQ(rs.files[0].numcols, 2);
    EXPECT_EQ(rs.files[0].numrows, 4);
}

TEST_F(SurveyTest, PerfmonFile) {
    std::string f =
        "\"(PDH-CSV 4.0) (GMT Standard Time)(0)\",\"\\\\WINBOX\\Processor(_Total)\\% Time\","
        "\"\\\\WINBOX\\Memory\\Available MBytes\"\n";
    for (int i = 0; i < 4; ++i)
        f += "\"01/15/2008 10:0" + std::to_string(i) + ":00.123\",\"5.0\",\"100\"\n";
    files({{"p.csv", f}});
    size_tables();
    RunResult r = check();
    EXPECT_EQ(r.out, "Perfmon file!!\n");
    EXPECT_EQ(rs.perfmon, 1);
    EXPECT_EQ(rs.files[0].nodenam, "WINBOX");
    EXPECT_EQ(rs.files[0].numcols, 2);
    EXPECT_EQ(rs.files[0].line.find('"'), std::string::npos);
    EXPECT_EQ(rs.files[0].samp, 60);
    EXPECT_EQ(rs.files[0].csvstartsecs, JAN1_2008 + 14 * 86400 + 36000);
}

TEST_F(SurveyTest, DifferentHeadingsAndVerboseSummary) {
    files({{"a.csv", y8file(0, 3, 60)}, {"b.csv", y8file(0, 3, 60, "Sample Time,CPU")}});
    size_tables();
    rs.set_opt().verbose = 1;
    RunResult r = check();
    EXPECT_EQ(rs.diffparams, 1);
    EXPECT_NE(r.out.find("allocated space for templine[3][220000]\n"), std::string::npos);
    EXPECT_NE(r.out.find("a.csv Format 1 ParameterLine 1 Len 22 DataLine 2 Cols 3 Rows 3\n"
                         "1199145600 1199145720 60 <Sample Time,CPU,MEM,IO>\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Parameters in the CSV files are different\nMax line length = 123\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("Earliest start time = 01-JAN-2008 00:00:00 (1199145600)  Latest end "
                         "time = 01-JAN-2008 00:02:00 (1199145720)\n"),
              std::string::npos);
}

TEST_F(SurveyTest, SurveyStepListsParametersCountsAndPrompts) {
    std::string f = "NODEA, Monitor Comment: big (4096Mb) with 8 cpus, Sampling Interval: 60\n" +
                    y8file(36000, 20, 60, "Sample Time, CPU Busy,Free List Size, IO", "");
    files({{"day.csv", f}});
    rs.set_opt().cflag = 2;
    RunResult r = survey("1,3\n");
    EXPECT_EQ(r.status, -1) << r.out;
    EXPECT_EQ(survey_status, 0);
    EXPECT_EQ(r.out,
              "Reading data from day.csv\n"
              "Number of CPUs = 8\n"
              "Nominal sampling interval = 60\n"
              "1\tCPU Busy\n2\tFree List Size\n3\tIO\n"
              "Format 1: 3 parameters in day.csv\n"
              "Number of Intervals = 20\n"
              "Enter Column numbers to extract (separated by commas) or 0 for all: ");
    EXPECT_EQ(rs.nums_str, "1,3");
    EXPECT_EQ(rs.numcol, 3);
    EXPECT_EQ(rs.physmem, 4096 * 128);
    EXPECT_EQ(rs.num, 20);
    EXPECT_EQ(rs.totmiss, 0);
    EXPECT_EQ(rs.firstsecs, 1199145600 + 10 * 3600);
    EXPECT_EQ(rs.lastsecs, 1199145600 + 10 * 3600 + 19 * 60);
    EXPECT_EQ(rs.files[0].fileintnums, 20);
    EXPECT_EQ(rs.x_vals.size(), 22u);
    EXPECT_EQ(rs.miss_ar.size(), 70u);
}

TEST_F(SurveyTest, PromptAtEndOfInputEndsTheRun) {
    files({{"day.csv", y8file(0, 5, 60)}});
    RunResult r = survey("");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Enter Column numbers to extract (separated by commas) or 0 for all: "
                         "\nNo column numbers given (end of input)\n"),
              std::string::npos);
}

TEST_F(SurveyTest, AppendShortcutNeedsSameHeadingsNodeAndAllColumns) {
    struct Case {
        const char* sel;
        const char* second_node;
        int status;
    };
    const Case cases[] = {
        {"all", "NODEA_2", -2}, {"0", "NODEA", -2}, {"1,2", "NODEA", 0}, {"ALL", "NODEB", 0}};
    for (const auto& c : cases) {
        RunState fresh;
        rs = fresh;
        files({{"a.csv", y8file(0, 5, 60)},
               {"b.csv",
                y8file(600, 5, 60, "Sample Time,CPU,MEM,IO", std::string(c.second_node) + ",x")}});
        rs.set_opt().append = 1;
        rs.set_opt().pflag = 1;
        rs.nums_str = c.sel;
        RunResult r = survey();
        EXPECT_EQ(survey_status, c.status) << c.sel << " " << c.second_node << r.out;
    }
}

TEST_F(SurveyTest, LaterFilesGetNamesAndCounts) {
    files({{"a.csv", y8file(0, 5, 60)}, {"b.csv", y8file(600, 7, 60, "Sample Time,CPU,DISK")}});
    rs.set_opt().pflag = 1;
    rs.set_opt().qflag = 1;
    RunResult r = survey();
    EXPECT_EQ(survey_status, 0) << r.out;
    EXPECT_EQ(r.out, "Parameters in the CSV files are different\n");
    EXPECT_EQ(rs.fileparams[0][2], "IO");
    EXPECT_EQ(rs.fileparams[1][1], "DISK");
    EXPECT_EQ(rs.files[1].fileparamnums, 2);
    EXPECT_EQ(rs.files[1].fileintnums, 7);
    EXPECT_EQ(rs.totals.fileintnums, 5 + 7);
}
