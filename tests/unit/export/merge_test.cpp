#include "export/merge.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <numeric>

#include "core/timestamps.h"
#include "harness.h"

namespace {

// A state with the given files' parameter names, as the survey leaves it for a merge.
RunState named_files(const std::vector<std::vector<std::string>>& files, int diffparams,
                     int dupflag) {
    RunState rs;
    rs.set_opt().mflag = 1;
    rs.filenum = static_cast<int>(files.size()) - 1;
    size_t slots = files.size() + 1;
    rs.fileparams.assign(slots, std::vector<std::string>(20));
    rs.files.assign(files.size(), InputFile{});
    for (size_t f = 0; f < files.size(); ++f) {
        for (size_t k = 0; k < files[f].size(); ++k) rs.fileparams[f][k] = files[f][k];
        rs.files[f].fileparamnums = rs.files[f].numcols = static_cast<int>(files[f].size());
    }
    rs.numcol = rs.files[0].numcols;
    rs.diffparams = diffparams;
    rs.set_opt().dupflag = dupflag;
    return rs;
}

std::vector<std::string> merged_list(const RunState& rs) {
    int last = rs.filenum + 1;
    const auto& names = rs.fileparams[static_cast<size_t>(last)];
    return std::vector<std::string>(names.begin(), names.begin() + rs.totals.fileparamnums);
}

std::vector<int> mapping(const RunState& rs, int f) {
    const auto& row = rs.merged_ar[static_cast<size_t>(f)];
    return std::vector<int>(row.begin(),
                            row.begin() + rs.files[static_cast<size_t>(f)].fileparamnums);
}

}  // namespace

TEST(Merge, MergedListAndColumnMapping) {
    using Names = std::vector<std::string>;
    struct Case {
        const char* what;
        std::vector<Names> files;
        int diffparams, dupflag;
        Names merged;
        std::vector<std::vector<int>> maps;  // files 1 onward
    } cases[] = {
        {"union in order of appearance",
         {{"A", "B"}, {"B", "C"}, {"C", "D"}},
         1,
         0,
         {"A", "B", "C", "D"},
         {{1, 2}, {2, 3}}},
        {"equal names of one file both get columns; a later file takes the first",
         {{"A"}, {"X", "X"}, {"X"}},
         1,
         0,
         {"A", "X", "X"},
         {{1, 2}, {1}}},
        {"duplicates: every later name gets its own suffixed column",
         {{"A", "B"}, {"B", "C"}},
         1,
         1,
         {"A", "B", "B_1", "C_1"},
         {{2, 3}}},
        {"equal headings: column k stays k", {{"A", "B"}, {"A", "B"}}, 0, 0, {"A", "B"}, {{0, 1}}},
        {"equal headings with duplicates still separate the files",
         {{"A", "B"}, {"A", "B"}, {"A", "B"}},
         0,
         1,
         {"A", "B", "A_1", "B_1", "A_2", "B_2"},
         {{2, 3}, {4, 5}}},
    };
    for (const auto& c : cases) {
        RunState rs = named_files(c.files, c.diffparams, c.dupflag);
        RunResult r = capture([&] {
            allocate_merged_ar(rs);
            merge_params(rs);
        });
        EXPECT_EQ(r.status, -1) << c.what;
        EXPECT_EQ(merged_list(rs), c.merged) << c.what;
        std::vector<int> own(c.files[0].size());
        std::iota(own.begin(), own.end(), 0);
        EXPECT_EQ(mapping(rs, 0), own) << c.what;
        for (size_t f = 1; f < c.files.size(); ++f)
            EXPECT_EQ(mapping(rs, static_cast<int>(f)), c.maps[f - 1]) << c.what << " file " << f;
    }
}

TEST(Merge, VerboseTraceOfTheMergeTable) {
    RunState rs = named_files({{"A", "B"}, {"B", "C"}}, 1, 0);
    rs.set_opt().verbose = 1;
    RunResult r = capture([&] {
        allocate_merged_ar(rs);
        merge_params(rs);
    });
    // numcol plus every file's columns, as different headings may need them all.
    EXPECT_EQ(r.out, "Allocated memory for merged_ar[2][6]\nC not found in array\n");
}

TEST(Merge, FindInArray) {
    RunState rs = named_files({{"A", "B"}, {"C"}}, 1, 0);
    int last = rs.filenum + 1;
    rs.fileparams[static_cast<size_t>(last)][0] = "CPU";
    rs.fileparams[static_cast<size_t>(last)][1] = "Mem";
    rs.totals.fileparamnums = 2;
    struct Case {
        const char* name;
        int dupflag, expected;
    } cases[] = {
        {"CPU", 0, 0},  {"Mem", 0, 1}, {"MEM", 0, 2},  // exact, case included
        {"Disk", 0, 2}, {"CPU", 1, 3},                 // absent: the count; duplicates: count + 1
    };
    for (const auto& c : cases) {
        rs.set_opt().dupflag = c.dupflag;
        EXPECT_EQ(find_in_array(rs, c.name), c.expected) << c.name;
    }
}

namespace {

// Three merged columns over four minute steps from 10:00 on 01-JAN-2008, ready to write.
struct Written {
    RunState rs;
    Written() {
        EnvVar tz("TZ", "UTC");
        tzset();
        rs.filenum = 1;
        rs.fileparams.assign(3, std::vector<std::string>(5));
        rs.fileparams[2] = {"CPU", "Mem", "CPU_1", "", ""};
        rs.files.assign(2, InputFile{});
        rs.files[0].fileparamnums = 2;
        rs.files[1].fileparamnums = 1;
        rs.totals.fileparamnums = 3;
        rs.files[0].numcols = rs.totals.numcols = 3;
        rs.files[1].numcols = 1;
        rs.numcol = 3;
        rs.files[0].line = "Sample Time,CPU,Mem,Disk";
        rs.files[1].line = "Sample Time,CPU";
        rs.diffparams = 1;
        rs.orig_nums_str = "all";
        rs.resolve({1, 2, 3}, LIST_NUMBERS);
        rs.set_opt().pflag = 1;
        rs.set_opt().csv_outfil = "m.csv";
        rs.outrows = 4;
        std::string text, compact;
        text = "01-JAN-2008 10:00:00";
        cvtdate(text, compact);
        time_t t0 = cvttime(compact);
        rs.x_vals.assign(6, "");
        rs.outrows_secs.assign(4, 0);
        for (int i = 0; i < 4; ++i) {
            rs.outrows_secs[static_cast<size_t>(i)] = t0 + 60 * i;
            secstodate(t0 + 60 * i, rs.x_vals[static_cast<size_t>(i)]);
        }
        rs.mpts = {{1, 2, 3, 4}, {-2.7, 5e9, 0.5, 0}, {1.255, 2, 0, 10}, {0, 0, 0, 0}};
        rs.merged_fp_nums = {0, 0, 1, 0};
    }
};

std::string write_out(RunState& rs, int& reached, RunResult& r) {
    FILE* fp = tmpfile();
    r = capture([&] { reached = write_out_merged_data(rs, fp); });
    rewind(fp);
    std::string s = read_stream(fp);
    fclose(fp);
    return s;
}

}  // namespace

TEST(Merge, WrittenHeadingAndValues) {
    struct Case {
        const char* what;
        std::function<void(RunState&)> setup;
        std::string expected;
        int params, steps;
    };
    const std::string rows4 =
        "01-JAN-2008 10:00:00,1,-2,1.25\n"
        "01-JAN-2008 10:01:00,2,5000000000,2.00\n"
        "01-JAN-2008 10:02:00,3,0,0.00\n"
        "01-JAN-2008 10:03:00,4,0,10.00\n";
    const Case cases[] = {
        {"all columns; whole numbers truncated toward zero, fractions with two decimals",
         [](RunState&) {}, "Sample Time,CPU,Mem,CPU_1\n" + rows4, 3, 4},
        {"equal headings and all: the first file's heading as it stands",
         [](RunState& rs) {
             rs.diffparams = 0;
             rs.files[0].line = "Sample Time, CPU, Mem, CPU_1";
         },
         "Sample Time, CPU, Mem, CPU_1\n" + rows4, 3, 4},
        {"an empty merged name is never written", [](RunState& rs) { rs.fileparams[2][1] = ""; },
         "Sample Time,CPU,CPU_1\n"
         "01-JAN-2008 10:00:00,1,1.25\n"
         "01-JAN-2008 10:01:00,2,2.00\n"
         "01-JAN-2008 10:02:00,3,0.00\n"
         "01-JAN-2008 10:03:00,4,10.00\n",
         2, 4},
    };
    EnvVar tz("TZ", "UTC");
    tzset();
    for (const auto& c : cases) {
        Written w;
        c.setup(w.rs);
        int reached = -1;
        RunResult r;
        std::string text = write_out(w.rs, reached, r);
        EXPECT_EQ(text, c.expected) << c.what;
        EXPECT_EQ(w.rs.mergeparcnt, c.params) << c.what;
        EXPECT_EQ(w.rs.mergeintcnt, c.steps) << c.what;
        EXPECT_EQ(r.status, -1) << c.what;
    }
}

TEST(Merge, WritingReportsItsProgress) {
    EnvVar tz("TZ", "UTC");
    tzset();
    Written w;
    w.rs.set_opt().verbose = 1;
    int reached = -1;
    RunResult r;
    write_out(w.rs, reached, r);
    EXPECT_EQ(reached, 4);
    EXPECT_EQ(r.out,
              "allocated merged_nums_mask[3]\n"
              "writing out parameters \n"
              "Writing out data to m.csv ....\n");
}
