#include "export/extract.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>

#include "core/output_files.h"
#include "core/tables.h"
#include "file_set.h"
#include "harness.h"
#include "input/load.h"
#include "input/survey.h"
#include "select/calc.h"
#include "select/calccount.h"
#include "select/selection.h"

namespace {

// A run state whose extract output goes to out.csv in a fresh folder.
struct Out {
    TempDir dir;
    RunState rs;
    Out() {
        rs.set_opt().eflag = 1;
        rs.set_opt().csv_outfil = "out.csv";
        rs.outcsvfp = fopen(dir.file("out.csv").c_str(), "wb");
    }
    ~Out() {
        if (rs.outcsvfp) fclose(rs.outcsvfp);
    }
    std::string text() {
        if (rs.outcsvfp) fclose(rs.outcsvfp);
        rs.outcsvfp = nullptr;
        return dir.read("out.csv");
    }
};

const std::string START = "$$$ START COLUMN HEADERS $$$\n";
const std::string END = "$$$ END COLUMN HEADERS $$$\n";

}  // namespace

TEST(Fmt2Header, NamesWrapByCountAndLength) {
    std::string longname(70, 'L');
    struct Case {
        std::string heading;
        int fmt2max;
        std::string block;  // between the markers
    } cases[] = {
        // Nine names, six per line counting the time heading.
        {"Sample Time,a,b,c,d,e,f,g,h,i", 6, "Sample Time,a,b,c,d,e\nf,g,h,i\n"},
        {"TIME,a,b,c", 2, "TIME,a\nb,c\n"},
        {"Date Time,a", 6, "Date Time,a\n"},
        // The line stays below 132 characters.
        {"Sample Time," + longname + "," + longname + ",x", 6,
         "Sample Time," + longname + "\n" + longname + ",x\n"},
        // A first field that is no time heading gives way to a line of its own, so that
        // the names are read back as names (also the empty one of a sorted run).
        {"Date,a,b", 6, "Sample Time\na,b\n"},
        {"Timestamp,a", 6, "Sample Time\na\n"},
        {",p1,p2,p3", 2, "Sample Time\np1,p2\np3\n"},
        {"Sample Time", 6, "Sample Time\n"},
        {"Date", 6, "Sample Time\n"},
    };
    for (const Case& c : cases) {
        Out o;
        o.rs.fmt2max = c.fmt2max;
        write_fmt2_header(o.rs, c.heading);
        EXPECT_EQ(o.text(), START + c.block + END) << c.heading;
    }
}

TEST(ExtractValue, FractionalColumnsTakeTheDecimals) {
    RunState rs;
    rs.fp_nums = {0, 1, 0};  // column 1 fractional, column 2 whole numbers
    struct Case {
        int decsize, col;
        const char* text;
        double v;
        const char* want;
    } cases[] = {
        {3, 1, "1.5", 1.5, ",1.500"},  {2, 1, "2.345", 2.345, ",2.35"},
        {0, 1, "7", 7, ",7"},          {2, 1, "10:00", 0, ",0.00"},  // a colon reads as 0
        {2, 1, "", 0, ",0.00"},        {3, 2, "15", 15, ",15"},
        {3, 2, "1.5", 1.5, ",1.5"},  // fractional only by its first row
        {3, 2, "", 0, ", "},           {-1, 1, "1.5", 1.5, ",1.5"},  // -1 keeps every value as read
        {2, 9, "4.25", 4.25, ",4.25"},                               // beyond the table: as read
    };
    for (const Case& c : cases) {
        rs.set_opt().decsize = c.decsize;
        std::string t = c.text;
        EXPECT_EQ(extract_value(rs, c.col, t.data(), t.size(), c.v), c.want)
            << c.decsize << " " << c.col << " " << c.text;
    }
}

TEST(ExtractHeading, MatchesTheRowsOfTheRun) {
    struct Case {
        const char* what;
        std::function<void(RunState&)> set;
        std::string want;
    } cases[] = {
        {"plain", [](RunState&) {}, "Sample Time, A,B\n"},
        {"no lines above the heading", [](RunState& rs) { rs.hdrsmissing = 1; },
         "NODE7, Y8EXTR (Converted to Y8 format by TSGRAF)\nSample Time, A,B\n"},
        {"perfmon", [](RunState& rs) { rs.hdrsmissing = rs.perfmon = 1; },
         "NODE7, PERFMON data (Converted to Y8 format by TSGRAF)\nSample Time, A,B\n"},
        {"format 2", [](RunState& rs) { rs.set_opt().format = 2; }, START + "Date Time,A,B\n" + END},
        // Calculated lines: a skipped one and a wildcard one add nothing.
        {"calculated",
         [](RunState& rs) {
             rs.numcalcs = 3;
             rs.skipcalc = {0, 1, 0};
             rs.xlabel = {"A", "B", "Sum", "Bad", "Ratio"};
         },
         "Sample Time, A,B,Sum,Ratio\n"},
        {"calculated after the memory parameter",
         [](RunState& rs) {
             rs.numcalcs = 1;
             rs.freelistnum = 1;
             rs.xlabel = {"A", "B", "[CALC]Memory Utilization", "Sum"};
         },
         "Sample Time, A,B,Sum\n"},
        // Wildcard sums replace the column values in the rows, so in the heading too.
        {"wildcard",
         [](RunState& rs) {
             rs.wild = 1;
             rs.numcalcs = 2;
             rs.wildcalc[0] = rs.wildcalc[1] = 1;
             rs.wcalc = {2, 1};
             rs.totwcalc = 3;
             rs.xlabel = {"A", "B", "All X", "All Y", "Z"};
         },
         "Sample Time, All X,All Y,Z\n"},
        // Moving averages: every parameter of the run, in selection order.
        {"moving averages",
         [](RunState& rs) {
             rs.set_opt().macsvflg = 1;
             rs.srtflag = SORT_DESCENDING;
             rs.numcalcs = 1;
             rs.skipcalc = {1};
             rs.xlabel = {"A", "B", "Sum"};
         },
         "Sample Time, A,B,Sum\n"},
        {"noheader", [](RunState& rs) { rs.set_opt().noheader = 1; }, ""},
        {"sorted run writes it", [](RunState& rs) { rs.srtflag = SORT_ASCENDING; }, ""},
        {"trim-zeros writes its own", [](RunState& rs) { rs.set_opt().trimzeros = 1; }, ""},
    };
    for (const Case& c : cases) {
        Out o;
        o.rs.numpar = 2;
        o.rs.xlabel = {"A", "B"};
        o.rs.newline = "Date Time,A,B";
        o.rs.files.assign(1, InputFile{});
        o.rs.files[0].nodenam = "NODE7";
        c.set(o.rs);
        extract_heading(o.rs, 0);
        extract_heading(o.rs, 1);  // later files add nothing
        EXPECT_EQ(o.text(), c.want) << c.what;
    }
}

namespace {

// A surveyed and selected file, loaded the way a run loads it.
struct LoadRun {
    Out o;
    InDir in{o.dir.path()};
    EnvVar tz{"TZ", "UTC"};
    RunResult result;

    explicit LoadRun(const std::string& csv) {
        tzset();
        o.dir.write("in.csv", csv);
        RunState& rs = o.rs;
        name_files(rs, {"in.csv"});
        rs.set_opt().pflag = 1;
        rs.nums_str = rs.orig_nums_str = "all";
        rs.set_opt().iflag = rs.set_opt().qflag = rs.set_opt().nocharts = 1;
    }
    RunResult load(const std::function<void(RunState&)>& after_selection = {}) {
        RunState& rs = o.rs;
        return result = capture([&] {
                   read_datafil_cols(rs, 0);
                   alloc_global_vars(rs);
                   get_parameters(rs, 0);
                   if (after_selection) after_selection(rs);
                   if (rs.numcalcs > 0) translate_calc_params(rs);
                   load_and_extract(rs);
               });
    }
    RunResult trim() {
        return capture([&] { write_trimzeros(o.rs, o.rs.hdrlen); });
    }
};

const char* const TRIMCSV =
    "NODE1, comment\n"
    "Sample Time,Whole,Late,Cents,Below,Neg,Clock\n"
    "10:00:00,0,0,0.00,0.009,0,0\n"
    "10:01:00,0,0.5,0.01,0.001,-2,10:00\n"
    "10:02:00,0,0,0,0,0,0\n"
    "\n"
    ",,,\n"
    "trailer line without time\n"
    "10:03:00,0,0,0,0,0,0\n";

}  // namespace

TEST(TrimZeros, KeepsEveryColumnWithAValueOfAtLeastOneHundredth) {
    LoadRun t(TRIMCSV);
    t.o.rs.set_opt().trimzeros = 1;
    ASSERT_EQ(t.load().status, -1) << t.result.out;
    EXPECT_EQ(t.o.rs.outcsvfp != nullptr, true);  // left open for the trim-zeros file
    RunResult r = t.trim();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "strtok call failed! ,,,\n"
              "\nOutput file out.csv created with 3 parameters\n"
              "Excluded 3 all-zero parameters\n");
    EXPECT_EQ(t.o.rs.outcsvfp, nullptr);
    // A whole-number column counts its fractional values; a negative column is data;
    // a colon reads as 0.
    EXPECT_EQ(t.o.dir.read("out.csv"),
              "NODE1, comment\n"
              "Sample Time,Late,Cents,Neg\n"
              "10:00:00,0,0.00,0\n"
              "10:01:00,0.5,0.01,-2\n"
              "10:02:00,0,0,0\n"
              "10:03:00,0,0,0\n");
    ASSERT_EQ(t.o.rs.tr_maxpts.size(), 6u);
    EXPECT_EQ(t.o.rs.tr_maxpts[1], 50);
    EXPECT_EQ(t.o.rs.tr_maxpts[3], 0);
}

TEST(TrimZeros, NoheaderWritesRowsOnly) {
    LoadRun t(TRIMCSV);
    t.o.rs.set_opt().trimzeros = t.o.rs.set_opt().noheader = 1;
    ASSERT_EQ(t.load().status, -1) << t.result.out;
    EXPECT_EQ(t.trim().status, 0);
    EXPECT_EQ(t.o.dir.read("out.csv"),
              "10:00:00,0,0.00,0\n10:01:00,0.5,0.01,-2\n10:02:00,0,0,0\n10:03:00,0,0,0\n");
}

TEST(TrimZeros, MissingInputEndsWithAnError) {
    LoadRun t(TRIMCSV);
    t.o.rs.set_opt().trimzeros = 1;
    ASSERT_EQ(t.load().status, -1) << t.result.out;
    remove(t.o.dir.file("in.csv").c_str());
    RunResult r = t.trim();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Input file in.csv not found\n");
}

TEST(ExtractLoad, OrdinaryCalculatedValuesFollowTheColumns) {
    LoadRun t(
        "NODE1, comment\n"
        "Sample Time,Alpha,Beta,Gamma\n"
        "10:00:00,1,2.5,7\n"
        "10:01:00,3,0.25,8\n"
        "10:02:00,5,1,9\n");
    t.o.dir.write("calc.lis",
                  "Alpha\nBeta\n[CALC],Alpha,+,Beta,Sum\n"
                  "[CALC],Alpha,*,Nothing,Bad\n[CALC],Sum,*,2,Twice\n");
    t.o.rs.nums_str = t.o.rs.orig_nums_str = "calc.lis";
    t.o.rs.numcalcs = get_numcalcs_cnt(t.o.rs, "calc.lis");
    RunResult r = t.load([](RunState& rs) {
        // A listing that is not sorted leaves the rows to the load.
        rs.srtflag = SORT_NONE;
    });
    EXPECT_EQ(r.status, -1) << r.out;
    EXPECT_EQ(t.o.rs.outcsvfp, nullptr);  // closed at the end of the load
    // The line that names a missing column adds neither a label nor a value.
    EXPECT_EQ(t.o.dir.read("out.csv"),
              "NODE1, comment\n"
              "Sample Time, Alpha,Beta,Sum,Twice\n"
              "10:00:00,1,2.50,3.50,7.00\n"
              "10:01:00,3,0.25,3.25,6.50\n"
              "10:02:00,5,1.00,6.00,12.00\n");
}

TEST(CloseOutputCsv, AFileThatCannotBeWrittenEndsWithAnError) {
    SKIP_ON_WINDOWS("no device there that is always full");
    RunState rs;
    rs.set_opt().csv_outfil = "/dev/full";
    rs.outcsvfp = fopen("/dev/full", "wb");
    ASSERT_NE(rs.outcsvfp, nullptr);
    fputs("some rows\n", rs.outcsvfp);
    RunResult r = capture([&] { close_output_csv(rs); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError writing output CSV file, /dev/full\n");
    EXPECT_EQ(rs.outcsvfp, nullptr);
    // Nothing open: nothing to do.
    EXPECT_EQ(capture([&] { close_output_csv(rs); }).status, -1);
}
