// Merging and appending synthetic files through the built binary; the output files are
// compared whole.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

// A Y8 file on 01-JAN-2008: a node line (left out when node is empty), the heading,
// then each row as "hh:mm:ss,values".
std::string csv(const std::string& node, int interval, const std::string& heading,
                const std::vector<std::string>& rows) {
    std::string s;
    if (!node.empty())
        s += node + ",Monitor Comment: test (1024Mb) with 2 cpus,Sampling Interval: " +
             std::to_string(interval) + "," + node + "\n";
    s += heading + "\n";
    for (const auto& r : rows) s += "01-JAN-2008 " + r + "\n";
    return s;
}

std::string node_line(const std::string& nodes, int interval, const std::string& node) {
    return nodes + ",Monitor Comment: test (1024Mb) with 2 cpus,Sampling Interval: " +
           std::to_string(interval) + "," + node + "\n";
}

RunResult run(const TempDir& d, std::vector<std::string> args) {
    args.push_back("--nohistory");
    RunResult r = run_tsgraf(d, args);
    // The day's history file is made on the first run of the day.
    size_t h = r.out.find("No TSGRAF History file");
    if (h != std::string::npos) r.out.erase(h, r.out.find('\n', h) + 1 - h);
    return r;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Two nodes with one parameter in common.
void write_two_nodes(const TempDir& d) {
    d.write("a.csv", csv("NODEA", 60, "Sample Time,CPU,Mem",
                         {"10:00:00,10,100", "10:01:00,20,200", "10:02:00,30,300"}));
    d.write("b.csv", csv("NODEB", 60, "Sample Time,CPU,Disk",
                         {"10:01:00,1,5", "10:02:00,2,6", "10:03:00,3,7"}));
}

}  // namespace

TEST(MergeCli, DifferentParametersShareOneAxis) {
    TempDir d;
    write_two_nodes(d);
    RunResult r = run(d, {"b.csv", "a.csv", "--merge=m.csv"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "\nTSGRAF V1.0-156\n\n"
              "Opened output log file Y8_LOG.LIS\n"
              "Parameters in the CSV files are different\n"
              "Reading data from a.csv\n"
              "Number of CPUs = 2\n"
              "Nominal sampling interval = 60\n"
              "Format 1: 2 parameters in a.csv\n"
              "Merging data from a.csv ... 3 records\n"
              "Merging data from b.csv ... 3 records\n"
              "\nWriting out data to m.csv ....\n"
              "\n3 parameters and 4 intervals written to merged csv file m.csv\n");
    // CPU of both nodes adds up; a step a file does not cover holds 0.
    EXPECT_EQ(d.read("m.csv"), node_line("NODEA/NODEB Merged", 60, "NODEA") +
                                   "Sample Time,CPU,Mem,Disk\n"
                                   "01-JAN-2008 10:00:00,10,100,0\n"
                                   "01-JAN-2008 10:01:00,21,200,5\n"
                                   "01-JAN-2008 10:02:00,32,300,6\n"
                                   "01-JAN-2008 10:03:00,3,0,7\n");
}

TEST(MergeCli, DuplicatesAndSelection) {
    struct Case {
        std::vector<std::string> extra;
        std::string b_heading;
        std::string expected;  // after the node line
    } cases[] = {
        // Each file's parameters in columns of their own, suffixed by the file number.
        {{"--duplicates"},
         "Sample Time,CPU,Disk",
         "Sample Time,CPU,Mem,CPU_1,Disk_1\n"
         "01-JAN-2008 10:00:00,10,100,0,0\n"
         "01-JAN-2008 10:01:00,20,200,1,5\n"
         "01-JAN-2008 10:02:00,30,300,2,6\n"
         "01-JAN-2008 10:03:00,0,0,3,7\n"},
        // Equal headings of two nodes: without /duplicates the columns add up...
        {{},
         "Sample Time,CPU,Mem",
         "Sample Time,CPU,Mem\n"
         "01-JAN-2008 10:00:00,10,100\n"
         "01-JAN-2008 10:01:00,21,205\n"
         "01-JAN-2008 10:02:00,32,306\n"
         "01-JAN-2008 10:03:00,3,7\n"},
        // ...and with it each node keeps its own columns.
        {{"--duplicates"},
         "Sample Time,CPU,Mem",
         "Sample Time,CPU,Mem,CPU_1,Mem_1\n"
         "01-JAN-2008 10:00:00,10,100,0,0\n"
         "01-JAN-2008 10:01:00,20,200,1,5\n"
         "01-JAN-2008 10:02:00,30,300,2,6\n"
         "01-JAN-2008 10:03:00,0,0,3,7\n"},
        // A selected name picks every merged column that holds it.
        {{"--duplicates", "--parameters=cpu"},
         "Sample Time,CPU,Disk",
         "Sample Time,CPU,CPU_1\n"
         "01-JAN-2008 10:00:00,10,0\n"
         "01-JAN-2008 10:01:00,20,1\n"
         "01-JAN-2008 10:02:00,30,2\n"
         "01-JAN-2008 10:03:00,0,3\n"},
    };
    for (const auto& c : cases) {
        TempDir d;
        d.write("a.csv", csv("NODEA", 60, "Sample Time,CPU,Mem",
                             {"10:00:00,10,100", "10:01:00,20,200", "10:02:00,30,300"}));
        d.write("b.csv",
                csv("NODEB", 60, c.b_heading, {"10:01:00,1,5", "10:02:00,2,6", "10:03:00,3,7"}));
        std::vector<std::string> args = {"a.csv", "b.csv", "--merge=m.csv"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        RunResult r = run(d, args);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(d.read("m.csv"), node_line("NODEA/NODEB Merged", 60, "NODEA") + c.expected)
            << c.b_heading;
    }
}

TEST(MergeCli, SampleMergeAveragesRowsOfOneStep) {
    TempDir d;
    std::vector<std::string> rows;
    for (int i = 0; i < 9; ++i)
        rows.push_back("10:0" + std::to_string(i / 3) + ":" + std::to_string(i % 3 * 2) + "0," +
                       std::to_string(i + 1) + ".0");
    d.write("a.csv", csv("NODEA", 20, "Sample Time,Rate", rows));
    d.write("b.csv",
            csv("NODEB", 60, "Sample Time,Count", {"10:00:00,5", "10:01:00,6", "10:02:00,7"}));
    RunResult r = run(d, {"a.csv", "b.csv", "--merge=m.csv", "--samplemerge=60"});
    EXPECT_EQ(r.status, 0) << r.out;
    // Windows are centred on the steps: 10:00 takes :00 and :20, 10:01 takes :40 to
    // 1:20; the last row (10:02:40) gets a step of its own rather than being dropped.
    EXPECT_EQ(d.read("m.csv"), node_line("NODEA/NODEB Merged", 60, "NODEA") +
                                   "Sample Time,Rate,Count\n"
                                   "01-JAN-2008 10:00:00,1.50,5\n"
                                   "01-JAN-2008 10:01:00,4.00,6\n"
                                   "01-JAN-2008 10:02:00,7.00,7\n"
                                   "01-JAN-2008 10:03:00,9.00,0\n");
    EXPECT_TRUE(has(r.out, "\n2 parameters and 4 intervals written to merged csv file m.csv\n"));
}

TEST(MergeCli, MissingStepsBetweenFilesAreFilled) {
    struct Case {
        const char* option;
        const char* gap;  // the two steps between the files
    } cases[] = {
        {"--missing", "01-JAN-2008 10:02:00,0,0.00\n01-JAN-2008 10:03:00,0,0.00\n"},
        {"--missing=7.5", "01-JAN-2008 10:02:00,7,7.50\n01-JAN-2008 10:03:00,7,7.50\n"},
        {"--missing=prev", "01-JAN-2008 10:02:00,20,2.50\n01-JAN-2008 10:03:00,20,2.50\n"},
    };
    for (const auto& c : cases) {
        TempDir d;
        d.write("a.csv",
                csv("NODEA", 60, "Sample Time,CPU,Mem", {"10:00:00,10,1.5", "10:01:00,20,2.5"}));
        d.write("b.csv",
                csv("NODEA", 60, "Sample Time,CPU,Mem", {"10:04:00,30,3.5", "10:05:00,40,4.5"}));
        RunResult r = run(d, {"a.csv", "b.csv", "--merge=m.csv", c.option});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(d.read("m.csv"), node_line("NODEA Merged", 60, "NODEA") +
                                       "Sample Time,CPU,Mem\n"
                                       "01-JAN-2008 10:00:00,10,1.50\n"
                                       "01-JAN-2008 10:01:00,20,2.50\n" +
                                       c.gap +
                                       "01-JAN-2008 10:04:00,30,3.50\n"
                                       "01-JAN-2008 10:05:00,40,4.50\n")
            << c.option;
    }
}

TEST(MergeCli, TimeRangeLimitsRowsAndSteps) {
    // With every parameter selected too, steps outside the range are not written. A
    // range ends before its end time: the rows and the step at 10:02 are left out.
    struct Case {
        const char* range;
        const char* rows;
    } cases[] = {
        {"--timerange=01-jan-2008:10:00,01-jan-2008:10:02",
         "01-JAN-2008 10:00:00,10,100,0\n"
         "01-JAN-2008 10:01:00,21,200,5\n"},
        {"--timerange=10:01,10:03",
         "01-JAN-2008 10:01:00,21,200,5\n"
         "01-JAN-2008 10:02:00,32,300,6\n"},
    };
    for (const auto& c : cases) {
        TempDir d;
        write_two_nodes(d);
        RunResult r = run(d, {"a.csv", "b.csv", "--merge=m.csv", c.range});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(d.read("m.csv"), node_line("NODEA/NODEB Merged", 60, "NODEA") +
                                       "Sample Time,CPU,Mem,Disk\n" + c.rows)
            << c.range;
    }
}

TEST(MergeCli, StepsAverageTheRowsOfTheirHalfOpenWindow) {
    // Rows every 30 s merged into 60-s steps: the step at t averages the rows from 30 s
    // before t up to, but not including, 30 s after it.
    TempDir d;
    d.write("a.csv", csv("NODEA", 30, "Sample Time,CPU",
                         {"10:00:00,10", "10:00:30,20", "10:01:00,40", "10:01:30,80", "10:02:00,160"}));
    d.write("b.csv", csv("NODEB", 30, "Sample Time,Disk",
                         {"10:00:00,1", "10:00:30,1", "10:01:00,1", "10:01:30,1", "10:02:00,1"}));
    RunResult r = run(d, {"a.csv", "b.csv", "--merge=m.csv", "--samplemerge=60"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(d.read("m.csv"), "Sample Time,CPU,Disk\n"
                                     "01-JAN-2008 10:00:00,10,1\n"
                                     "01-JAN-2008 10:01:00,30,1\n"
                                     "01-JAN-2008 10:02:00,120,1\n"))
        << d.read("m.csv");
}

TEST(MergeCli, HeadingOnFirstLineAndBlockLayout) {
    TempDir d;
    // No node line: the output starts with "Unknown". A block heading makes the
    // output a block too, at most MAXF2OUTPAR names a line after the first.
    d.write("a.csv",
            "$$$ START COLUMN HEADERS $$$\nSample Time,A,B\nC\n$$$ END COLUMN HEADERS $$$\n"
            "01-JAN-2008 10:00:00,1,2,3\n01-JAN-2008 10:01:00,4,5,6\n");
    d.write("b.csv", csv("", 60, "Sample Time,D,E", {"10:00:00,7,8", "10:01:00,9,10"}));
    RunResult r = run_tsgraf(d, {"a.csv", "b.csv", "--merge=m.csv", "--nohistory"}, "",
                             {{"MAXF2OUTPAR", "2"}});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(d.read("m.csv"),
              "Unknown\n"
              "$$$ START COLUMN HEADERS $$$\n"
              "Sample Time,A,B\n"
              "C,D,E\n"
              "$$$ END COLUMN HEADERS $$$\n"
              "01-JAN-2008 10:00:00,1,2,3,7,8\n"
              "01-JAN-2008 10:01:00,4,5,6,9,10\n");
}

TEST(MergeCli, RefusalsEndWithAnErrorStatus) {
    SKIP_ON_WINDOWS("a path written with '/' is split into qualifiers there");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"a.csv", "--merge=m.csv"},
         "No files found. Merge option can only be used with Multiple CSV files\n"},
        {{"a.csv", "b.csv", "--merge=a.csv"},
         "\nOutput CSV file a.csv is the same file as input file a.csv\n"},
        {{"a.csv", "b.csv", "--duplicates"}, "/duplicates can only be used with /merge\n\n"},
        {{"a.csv", "b.csv", "--merge=m.csv", "--samplemerge=-5"}, "\nInvalid merge interval -5\n"},
        {{"a.csv", "b.csv", "--merge=/dev/full"}, "\nError writing output CSV file, /dev/full\n"},
        {{"c.csv", "d.csv", "--append=/dev/full", "--parameters=all"},
         "\nError writing output CSV file, /dev/full\n"},
        {{"a.csv", "gone.csv", "--merge=m.csv"}, "\nError opening file, gone.csv\n"},
    };
    for (const auto& c : cases) {
        TempDir d;
        write_two_nodes(d);
        d.write("c.csv", csv("NODEA", 60, "Sample Time,CPU", {"10:00:00,1", "10:01:00,2"}));
        d.write("d.csv", csv("NODEA", 60, "Sample Time,CPU", {"11:00:00,1", "11:01:00,3"}));
        std::string a_before = d.read("a.csv");
        RunResult r = run(d, c.args);
        EXPECT_EQ(r.status, 1) << c.args[2];
        EXPECT_TRUE(has(r.out, c.message)) << r.out;
        EXPECT_EQ(d.read("a.csv"), a_before);
    }
}

TEST(AppendCli, FilesOfOneNodeAreCopiedInTimeOrder) {
    TempDir d;
    std::string head = node_line("NODEA", 60, "NODEA") + "01-JAN-2008\nSample Time,CPU,Mem\n";
    d.write("h10.csv", head +
                           "01-JAN-2008 10:00:00,1,2\r\n01-JAN-2008 10:01:00,3,4\r\n"
                           "Column Average, 99999,2,3\n");
    d.write("h08.csv", head + "01-JAN-2008 08:00:00,5,6\n01-JAN-2008 08:01:00,7,8\nTotals\n");
    // The last line has no line end: the next file's first line must not run into it.
    d.write("h09.csv", head + "01-JAN-2008 09:00:00,9,10\n01-JAN-2008 09:01:00,11,12");
    RunResult r = run(d, {"h10.csv", "h08.csv", "h09.csv", "--append=all.csv", "--parameters=all"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out,
                    "\nAppending data:\n"
                    "appended h08.csv, 2 data lines\n"
                    "appended h09.csv, 2 data lines\n"
                    "appended h10.csv, 2 data lines\n"
                    "\nAppended data written to all.csv\n"))
        << r.out;
    EXPECT_EQ(d.read("all.csv"), head +
                                     "01-JAN-2008 08:00:00,5,6\n01-JAN-2008 08:01:00,7,8\n"
                                     "01-JAN-2008 09:00:00,9,10\n01-JAN-2008 09:01:00,11,12\n"
                                     "01-JAN-2008 10:00:00,1,2\r\n01-JAN-2008 10:01:00,3,4\r\n");
}

TEST(AppendCli, MergeOfOneNodeWithoutFillTakesTheCopy) {
    // The copy keeps only the rows a time range holds, as the merge itself does.
    struct Case {
        std::vector<std::string> extra;
        const char* rows;
    } cases[] = {
        {{},
         "01-JAN-2008 10:00:00,1\n01-JAN-2008 10:01:00,2\n"
         "01-JAN-2008 10:05:00,3\n01-JAN-2008 10:06:00,4\n"},
        {{"--timerange=10:01,10:06"}, "01-JAN-2008 10:01:00,2\n01-JAN-2008 10:05:00,3\n"},
        {{"--timerange=01-jan-2008:10:00,01-jan-2008:10:01", "--append=m.csv"},
         "01-JAN-2008 10:00:00,1\n"},
    };
    for (const auto& c : cases) {
        TempDir d;
        d.write("a.csv", csv("NODEA", 60, "Sample Time,CPU", {"10:00:00,1", "10:01:00,2"}));
        d.write("b.csv", csv("NODEA", 60, "Sample Time,CPU", {"10:05:00,3", "10:06:00,4"}));
        std::vector<std::string> args = {"a.csv", "b.csv"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        if (args.back() != "--append=m.csv") args.push_back("--merge=m.csv");
        RunResult r = run(d, args);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_TRUE(has(r.out, "Appending data:\n")) << r.out;
        EXPECT_EQ(d.read("m.csv"), node_line("NODEA", 60, "NODEA") + "Sample Time,CPU\n" + c.rows)
            << args.back();
    }
}
