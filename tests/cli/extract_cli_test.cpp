// Extract and trim-zeros files written through the built binary, compared whole.
#include <gtest/gtest.h>

#include <algorithm>

#include "harness.h"

namespace {

const char* const HEAD =
    "NODEX,Monitor Comment: test (1024Mb) with 2 cpus,Sampling Interval: 60,NODEX\n"
    "Second descriptive line\n";

// Nine one-minute rows: a whole-number column, a fractional one with an empty field,
// an all-zero column, one that stays below 0.01, and a negative one.
std::string day_csv() {
    return std::string(HEAD) +
           "Sample Time,Cpu Busy,Disk Rate,Idle Zero,Tiny,Neg\n"
           "01-JAN-2024 10:00:00,1,2.5,0,0.009,0\n"
           "01-JAN-2024 10:01:00,3,1.25,0,0,-1\n"
           "01-JAN-2024 10:02:00,5,,0,0.001,-2\n"
           "01-JAN-2024 10:03:00,7,4.125,0,0,-3\n"
           "01-JAN-2024 10:04:00,9,5,0,0,-4\n"
           "01-JAN-2024 10:05:00,11,6.75,0,0,-5\n"
           "01-JAN-2024 10:06:00,13,0.5,0,0,-6\n"
           "01-JAN-2024 10:07:00,15,8,0,0,-7\n"
           "01-JAN-2024 10:08:00,17,9.5,0,0,-8\n";
}

RunResult run(const TempDir& d, std::vector<std::string> args,
              const std::map<std::string, std::string>& env = {}) {
    args.insert(args.begin(), {"day.csv", "--nohistory", "--quiet"});
    return run_tsgraf(d, args, "", env);
}

bool has(const RunResult& r, const std::string& text) {
    return r.out.find(text) != std::string::npos;
}

}  // namespace

// Every parameter goes through the load's own extract (a list of names or numbers is
// listed in its typed order, and the sorted run writes the file: see below). Fractional
// columns (a decimal point in the first row) take the decimals; the others are copied.
TEST(ExtractCli, TheLoadWritesTheSelectedRows) {
    const std::string heading = "Sample Time, Cpu Busy,Disk Rate,Idle Zero,Tiny,Neg\n";
    const std::string first3 = "--timerange=01-JAN-2024:10:00,01-JAN-2024:10:03";
    struct Case {
        std::vector<std::string> args;
        std::string file;
        const char* message;
    } cases[] = {
        {{"--x=out.csv"},
         HEAD + heading +
             "01-JAN-2024 10:00:00,1,2.50,0,0.01,0\n"
             "01-JAN-2024 10:01:00,3,1.25,0,0.00,-1\n"
             "01-JAN-2024 10:02:00,5,0.00,0,0.00,-2\n"
             "01-JAN-2024 10:03:00,7,4.12,0,0.00,-3\n"
             "01-JAN-2024 10:04:00,9,5.00,0,0.00,-4\n"
             "01-JAN-2024 10:05:00,11,6.75,0,0.00,-5\n"
             "01-JAN-2024 10:06:00,13,0.50,0,0.00,-6\n"
             "01-JAN-2024 10:07:00,15,8.00,0,0.00,-7\n"
             "01-JAN-2024 10:08:00,17,9.50,0,0.00,-8\n",
         "\nOutput file out.csv created\n"},
        // With charts, every third row.
        {{"--extract=out.csv:3"},
         HEAD + heading +
             "01-JAN-2024 10:00:00,1,2.50,0,0.01,0\n"
             "01-JAN-2024 10:03:00,7,4.12,0,0.00,-3\n"
             "01-JAN-2024 10:06:00,13,0.50,0,0.00,-6\n",
         "\nNew file out.csv created\n"},
        {{"--x=out.csv:4", "--noheader"},
         "01-JAN-2024 10:00:00,1,2.50,0,0.01,0\n"
         "01-JAN-2024 10:04:00,9,5.00,0,0.00,-4\n"
         "01-JAN-2024 10:08:00,17,9.50,0,0.00,-8\n",
         "\nOutput file out.csv created\n"},
        {{"--x=out.csv", "--decimals=3", first3},
         HEAD + heading +
             "01-JAN-2024 10:00:00,1,2.500,0,0.009,0\n"
             "01-JAN-2024 10:01:00,3,1.250,0,0.000,-1\n"
             "01-JAN-2024 10:02:00,5,0.000,0,0.001,-2\n",
         "\nOutput file out.csv created\n"},
        {{"--x=out.csv", "--decimals=0", first3},
         HEAD + heading +
             "01-JAN-2024 10:00:00,1,2,0,0,0\n"
             "01-JAN-2024 10:01:00,3,1,0,0,-1\n"
             "01-JAN-2024 10:02:00,5,0,0,0,-2\n",
         "\nOutput file out.csv created\n"},
        // -1 keeps every value as read; the empty field reads as a blank.
        {{"--x=out.csv", "--decimals=-1", first3},
         HEAD + heading +
             "01-JAN-2024 10:00:00,1,2.5,0,0.009,0\n"
             "01-JAN-2024 10:01:00,3,1.25,0,0,-1\n"
             "01-JAN-2024 10:02:00,5, ,0,0.001,-2\n",
         "\nOutput file out.csv created\n"},
    };
    for (const Case& c : cases) {
        TempDir d;
        d.write("day.csv", day_csv());
        std::vector<std::string> args = c.args;
        args.push_back("--parameters=all");
        RunResult r = run(d, args);
        EXPECT_EQ(r.status, 0) << c.args[0] << r.out;
        EXPECT_TRUE(has(r, c.message)) << r.out;
        // An x run ends in the load: no chart page, no end-of-run summary.
        bool x = c.args[0].rfind("--x", 0) == 0;
        EXPECT_EQ(d.exists("tsgraf.htm"), !x) << c.args[0];
        EXPECT_EQ(has(r, "No charts were generated"), false) << c.args[0];
        EXPECT_EQ(d.read("out.csv"), c.file) << c.args[0] << " " << c.args.back();
    }
}

TEST(ExtractCli, TrimZerosDropsTheColumnsWithoutData) {
    const std::string trimmed = std::string(HEAD) +
                                "Sample Time,Cpu Busy,Disk Rate,Neg\n"
                                "01-JAN-2024 10:00:00,1,2.5,0\n"
                                "01-JAN-2024 10:01:00,3,1.25,-1\n"
                                "01-JAN-2024 10:02:00,5,,-2\n"
                                "01-JAN-2024 10:03:00,7,4.125,-3\n"
                                "01-JAN-2024 10:04:00,9,5,-4\n"
                                "01-JAN-2024 10:05:00,11,6.75,-5\n"
                                "01-JAN-2024 10:06:00,13,0.5,-6\n"
                                "01-JAN-2024 10:07:00,15,8,-7\n"
                                "01-JAN-2024 10:08:00,17,9.5,-8\n";
    std::vector<std::vector<std::string>> forms = {
        {"--x=out.csv:0"},
        {"--extract=out.csv:0"},
        {"--trimzeros=out.csv", "--extract"},
        {"--trimzeros=out.csv", "--x"},
    };
    for (auto& form : forms) {
        TempDir d;
        d.write("day.csv", day_csv());
        std::vector<std::string> args = form;
        args.push_back("--parameters=all");
        RunResult r = run(d, args);
        EXPECT_EQ(r.status, 0) << form[0] << r.out;
        EXPECT_TRUE(has(r,
                        "\nOutput file out.csv created with 3 parameters\n"
                        "Excluded 2 all-zero parameters\n"))
            << form[0] << r.out;
        EXPECT_EQ(d.read("out.csv"), trimmed) << form[0];
    }
}

TEST(ExtractCli, TrimZerosTakesTheTimeRangeButNoThinning) {
    TempDir d;
    d.write("day.csv", day_csv());
    RunResult r = run(d, {"--trimzeros=out.csv", "--extract=:2", "--parameters=tiny,neg",
                          "--timerange=01-JAN-2024:10:01,01-JAN-2024:10:06"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r, "created with 1 parameters\nExcluded 1 all-zero parameters\n")) << r.out;
    // Tiny reaches 0.009 only at 10:00, outside the range.
    EXPECT_EQ(d.read("out.csv"), std::string(HEAD) +
                                     "Sample Time,Neg\n"
                                     "01-JAN-2024 10:01:00,-1\n"
                                     "01-JAN-2024 10:02:00,-2\n"
                                     "01-JAN-2024 10:03:00,-3\n"
                                     "01-JAN-2024 10:04:00,-4\n"
                                     "01-JAN-2024 10:05:00,-5\n");
}

TEST(ExtractCli, FormatTwoBlockWrapsAfterTheLimit) {
    std::string csv =
        "NODEY,two\nSample Time,a1,a2,a3,a4,a5,a6,a7,a8,a9\n"
        "10:00:00,1,2,3,4,5,6,7,8,9\n10:01:00,1,2,3,4,5,6,7,8,9\n";
    struct Case {
        const char* limit;  // MAXF2OUTPAR, empty for the default of 6
        const char* block;
    } cases[] = {
        {"", "Sample Time,a1,a2,a3,a4,a5\na6,a7,a8,a9\n"},
        {"3", "Sample Time,a1,a2\na3,a4,a5\na6,a7,a8\na9\n"},
    };
    for (const Case& c : cases) {
        TempDir d;
        d.write("day.csv", csv);
        std::map<std::string, std::string> env;
        if (*c.limit) env["MAXF2OUTPAR"] = c.limit;
        RunResult r = run(d, {"--x=out.csv", "--parameters=all", "--format=2"}, env);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(d.read("out.csv"), std::string("NODEY,two\n"
                                                 "$$$ START COLUMN HEADERS $$$\n") +
                                         c.block +
                                         "$$$ END COLUMN HEADERS $$$\n"
                                         "10:00:00,1,2,3,4,5,6,7,8,9\n"
                                         "10:01:00,1,2,3,4,5,6,7,8,9\n")
            << c.limit;
    }
}

TEST(ExtractCli, FormatTwoInputIsWrittenAsFormatTwoAndReadsBack) {
    TempDir d;
    d.write("day.csv",
            "NODEZ,block input\n"
            "$$$ START COLUMN HEADERS $$$\n"
            "Date,alpha,beta\n"
            "gamma\n"
            "$$$ END COLUMN HEADERS $$$\n"
            "02-JAN-2024 00:00:00,1,0,3.5\n"
            "02-JAN-2024 00:01:00,2,0,4.5\n");
    RunResult r = run(d, {"--x=out.csv", "--parameters=all"});
    EXPECT_EQ(r.status, 0) << r.out;
    // A first field that is no time heading gives way to a line of its own.
    const std::string block =
        "NODEZ,block input\n"
        "$$$ START COLUMN HEADERS $$$\n"
        "Sample Time\n"
        "alpha,beta,gamma\n"
        "$$$ END COLUMN HEADERS $$$\n";
    EXPECT_EQ(d.read("out.csv"), block +
                                     "02-JAN-2024 00:00:00,1,0,3.50\n"
                                     "02-JAN-2024 00:01:00,2,0,4.50\n");

    // The written file reads back with the same names; trim-zeros drops beta.
    RunResult back =
        run_tsgraf(d, {"out.csv", "--nohistory", "--quiet", "--parameters=all", "--x=back.csv:0"});
    EXPECT_EQ(back.status, 0) << back.out;
    EXPECT_EQ(d.read("back.csv"),
              "NODEZ,block input\n"
              "$$$ START COLUMN HEADERS $$$\n"
              "Sample Time,alpha,gamma\n"
              "$$$ END COLUMN HEADERS $$$\n"
              "02-JAN-2024 00:00:00,1,3.50\n"
              "02-JAN-2024 00:01:00,2,4.50\n");
}

TEST(ExtractCli, CalculatedColumnsFollowTheSelection) {
    TempDir d;
    d.write("day.csv", day_csv());
    // An ordinary line: a numeric selection is listed in its typed order, so the
    // sorted run writes the file with precision digits.
    d.write("calc.lis", "Cpu Busy\n[CALC],Cpu Busy,*,2,Double\n");
    RunResult r = run(d, {"--x=out.csv:3", "--parameters=calc.lis"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(d.read("out.csv"), std::string(HEAD) +
                                     "Sample Time,Cpu Busy,Double\n"
                                     "01-JAN-2024 10:00:00,1.00,2.00\n"
                                     "01-JAN-2024 10:03:00,7.00,14.00\n"
                                     "01-JAN-2024 10:06:00,13.00,26.00\n");

    // Wildcard lines: the rows hold the sums only, and so does the heading.
    d.write("cpu.csv",
            "NODEC,cpus\n"
            "Sample Time,cpu0 user,cpu1 user,cpu0 sys,cpu1 sys\n"
            "10:00:00,1,2,0.5,0.25\n"
            "10:01:00,3,4,1,2\n");
    d.write("wild.lis", "[CALC],cpu* *,All ~2\n");
    RunResult w = run_tsgraf(
        d, {"cpu.csv", "--nohistory", "--quiet", "--x=wild.csv", "--parameters=wild.lis"});
    EXPECT_EQ(w.status, 0) << w.out;
    EXPECT_EQ(d.read("wild.csv"),
              "NODEC,cpus\n"
              "Sample Time, All USER,All SYS\n"
              "10:00:00,3.00,0.75\n"
              "10:01:00,7.00,3.00\n");
}

TEST(ExtractCli, HeadingAndRowsStayInOneOrder) {
    struct Case {
        std::vector<std::string> args;
        const char* heading;
        const char* row;  // the row of 10:03
    } cases[] = {
        // A numeric list is listed in its typed order: heading and rows both follow it.
        {{"--x=out.csv", "--parameters=2,1"},
         "Sample Time,Disk Rate,Cpu Busy\n",
         "01-JAN-2024 10:03:00,4.12,7.00\n"},
        // A sort given after --x still gets the file written, in sorted order
        // (ascending maxima; equal ones keep their order).
        {{"--x=out.csv", "--parameters=all", "--sort=max:a"},
         "Sample Time,Idle Zero,Neg,Tiny,Disk Rate,Cpu Busy\n",
         "01-JAN-2024 10:03:00,0.00,-3.00,0.00,4.12,7.00\n"},
        // The sorted run writes a format 2 block too.
        {{"--x=out.csv", "--parameters=2,1", "--format=2"},
         "$$$ START COLUMN HEADERS $$$\nSample Time\nDisk Rate,Cpu Busy\n"
         "$$$ END COLUMN HEADERS $$$\n",
         "01-JAN-2024 10:03:00,4.12,7.00\n"},
    };
    for (const Case& c : cases) {
        TempDir d;
        d.write("day.csv", day_csv());
        RunResult r = run(d, c.args);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_TRUE(has(r, "No charts were generated\nNew file out.csv created\n")) << r.out;
        std::string file = d.read("out.csv");
        EXPECT_EQ(file.substr(0, file.find("01-JAN")), std::string(HEAD) + c.heading);
        EXPECT_NE(file.find(c.row), std::string::npos) << file;
        size_t heading = file.find("01-JAN");
        EXPECT_EQ(std::count(file.begin() + heading, file.end(), '\n'), 9) << file;
    }
}

TEST(ExtractCli, MovingAveragesOfAnXRunAreWritten) {
    TempDir d;
    d.write("day.csv", day_csv());
    RunResult r = run(d, {"--x=out.csv", "--parameters=cpu", "--average=3"});
    EXPECT_EQ(r.status, 0) << r.out;
    std::string file = d.read("out.csv");
    EXPECT_EQ(file.substr(0, file.find("01-JAN")), std::string(HEAD) + "Sample Time, Cpu Busy\n");
    int rows = 0;
    for (size_t p = file.find("01-JAN-2024 10:"); p != std::string::npos;
         p = file.find("01-JAN-2024 10:", p + 1))
        ++rows;
    EXPECT_EQ(rows, 9) << file;
}

TEST(ExtractCli, PerfmonInputGetsItsNodeLine) {
    TempDir d;
    d.write("day.csv",
            "\"(PDH-CSV 4.0) (GMT Standard Time)(0)\",\"\\\\SRV1\\Processor\\% Busy\"\r\n"
            "\"01/02/2024 10:00:00.000\",\"12.5\"\r\n"
            "\"01/02/2024 10:01:00.000\",\"13\"\r\n"
            "\"01/02/2024 10:02:00.000\",\"14.25\"\r\n");
    RunResult r = run(d, {"--x=out.csv", "--parameters=all"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(d.read("out.csv"),
              "SRV1, PERFMON data (Converted to Y8 format by TSGRAF)\n"
              "Sample Time, \\\\SRV1\\Processor\\% Busy\n"
              "01/02/2024 10:00:00.000,12.50\n"
              "01/02/2024 10:01:00.000,13.00\n"
              "01/02/2024 10:02:00.000,14.25\n");
}

// Trim-zeros reads its input a second time, so writing over it would lose it all.
TEST(ExtractCli, OutputThatIsAnInputIsRefusedUntouched) {
    SKIP_ON_WINDOWS("a path written with '/' is split into qualifiers there");
    std::vector<std::vector<std::string>> forms = {
        {"--x=./day.csv"},
        {"--x=day.csv:0"},
        {"--trimzeros=day.csv", "--x"},
    };
    for (auto& args : forms) {
        TempDir d;
        d.write("day.csv", day_csv());
        args.push_back("--parameters=all");
        RunResult r = run(d, args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_TRUE(has(r, " is the same file as input file day.csv\n")) << r.out;
        EXPECT_EQ(d.read("day.csv"), day_csv()) << args[0];
    }
}

TEST(ExtractCli, AnOutputThatCannotBeWrittenEndsWithAnError) {
    SKIP_ON_WINDOWS("a path written with '/' is split into qualifiers there");
    std::vector<std::vector<std::string>> forms = {
        {"--x=/dev/full", "--parameters=cpu"},
        {"--x=/dev/full:0", "--parameters=all"},
        {"--extract=/dev/full", "--parameters=2,1"},
    };
    for (auto& args : forms) {
        TempDir d;
        d.write("day.csv", day_csv());
        RunResult r = run(d, args);
        EXPECT_EQ(r.status, 1) << args[0] << r.out;
        EXPECT_TRUE(has(r, "\nError writing output CSV file, /dev/full\n")) << r.out;
        EXPECT_FALSE(has(r, "created")) << r.out;
    }
}

// Files that differ in their selection go through the load: the rows of every file, each
// with its own time, whether the selection is by number or by name.
TEST(ExtractCli, AppendByTheLoadWritesTheRowsOfEveryFile) {
    TempDir d;
    d.write("a1.csv",
            "NODEA, first\nSample Time,x,y\n"
            "01-JAN-2024 10:00:00,1,2\n01-JAN-2024 10:01:00,3,4\n");
    d.write("a2.csv",
            "NODEA, second\nSample Time,x,y\n"
            "01-JAN-2024 10:02:00,5,6\n01-JAN-2024 10:03:00,7,8\n");
    for (const char* selection : {"--parameters=2", "--parameters=y"}) {
        RunResult r = run_tsgraf(
            d, {"a2.csv", "a1.csv", "--nohistory", "--quiet", selection, "--append=out.csv"});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_TRUE(has(r, "Output file out.csv created\n")) << r.out;
        EXPECT_EQ(d.read("out.csv"),
                  "NODEA, first\nSample Time, y\n"
                  "01-JAN-2024 10:00:00,2\n01-JAN-2024 10:01:00,4\n"
                  "01-JAN-2024 10:02:00,6\n01-JAN-2024 10:03:00,8\n")
            << selection;
    }
}
