#include "input/multifile.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace {

RunState files_with(const std::vector<time_t>& starts) {
    RunState rs;
    rs.filenum = static_cast<int>(starts.size()) - 1;
    rs.files.assign(starts.size(), InputFile{});
    for (size_t i = 0; i < starts.size(); ++i) {
        rs.files[i].datafil = "f" + std::to_string(i) + ".csv";
        rs.files[i].csvstartsecs = starts[i];
        rs.files[i].csvendsecs = starts[i] + 3600;
        rs.files[i].numrows = static_cast<int>(10 + i);
        rs.files[i].line = "Sample Time,P" + std::to_string(i);
        rs.files[i].samp = 60;
    }
    return rs;
}

}  // namespace

TEST(MultiFile, NodeNameFromFirstField) {
    struct Case {
        const char* line;
        const char* node;
    };
    const Case cases[] = {
        {"NODEA_1 more text, Monitor Comment: x", "NODEA"},
        {"NODEB,x", "NODEB"},
        {",,NODEC rest", "NODEC"},
        {"Sample Time,A,B", "Sample"},
    };
    for (const auto& c : cases) {
        RunState rs;
        rs.files.assign(2, InputFile{});
        read_nodename(rs, c.line, 1);
        EXPECT_EQ(rs.nodestr, c.node) << c.line;
        EXPECT_EQ(rs.files[1].nodenam, c.node);
        read_nodename(rs, "OTHER,x", 1);  // a name once set stays
        EXPECT_EQ(rs.files[1].nodenam, c.node);
        EXPECT_EQ(rs.nodestr, "OTHER");
    }
}

TEST(MultiFile, HeaderFactsOfTheFirstFile) {
    RunState rs;
    rs.files.assign(1, InputFile{});
    rs.files[0].paraline = 1;
    rs.set_opt().verbose = 1;
    TempDir dir;
    rs.logfp = fopen(dir.file("log").c_str(), "wb");
    RunResult r = capture([&] {
        get_data_from_header(rs,
                             "NODEA, Monitor Comment: prod box (2048Mb) with 4 cpus,"
                             " Sampling Interval: 30, ,ignored\n",
                             0);
    });
    fclose(rs.logfp);
    EXPECT_EQ(rs.physmem, 2048 * 128);
    EXPECT_EQ(rs.numcpus, 4);
    EXPECT_EQ(rs.comm_sampint, 30);
    EXPECT_EQ(rs.nodestr, "NODEA");
    EXPECT_EQ(r.out,
              "Physical Memory = 2048 Mb 262144 pages\n"
              "Number of CPUs = 4\n"
              "Nominal sampling interval = 30\n");
    // The list of fields ends at a blank one (adjacent commas are one separator).
    EXPECT_EQ(dir.read("log"),
              "Monitor Comment: prod box (2048Mb) with 4 cpus\nSampling Interval: 30\n\n");

    // ... and at a repeat of the node name.
    RunState repeat;
    repeat.files.assign(1, InputFile{});
    repeat.files[0].paraline = 1;
    capture([&] {
        get_data_from_header(repeat, "NODEA, Sampling Interval: 30, NODEA, Sampling Interval: 99",
                             0);
    });
    EXPECT_EQ(repeat.comm_sampint, 30);

    RunState heading_first;
    heading_first.files.assign(1, InputFile{});
    get_data_from_header(heading_first, "N, Sampling Interval: 30", 0);
    EXPECT_EQ(heading_first.comm_sampint, 0);
}

TEST(MultiFile, OrderByStartTiesKeepCommandLineOrder) {
    struct Case {
        std::vector<time_t> starts;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {{36000, 28800, 32400}, {"f1.csv", "f2.csv", "f0.csv"}},
        {{500, 100, 500, 100}, {"f1.csv", "f3.csv", "f0.csv", "f2.csv"}},
        {{1, 2}, {"f0.csv", "f1.csv"}},
    };
    for (const auto& c : cases) {
        RunState rs = files_with(c.starts);
        RunState before = rs;
        capture([&] { reorder_csvfiles(rs); });
        for (size_t k = 0; k < c.order.size(); ++k) {
            EXPECT_EQ(rs.files[k].datafil, c.order[k]);
            int from = std::stoi(c.order[k].substr(1));
            // Every fact moves with its file.
            EXPECT_EQ(rs.files[k].csvstartsecs, before.files[from].csvstartsecs);
            EXPECT_EQ(rs.files[k].csvendsecs, before.files[from].csvendsecs);
            EXPECT_EQ(rs.files[k].numrows, before.files[from].numrows);
            EXPECT_EQ(rs.files[k].line, before.files[from].line);
        }
    }
}

TEST(MultiFile, VerboseReorderWarnsOfDifferentIntervals) {
    RunState rs = files_with({200, 100});
    rs.files[0].samp = 30;
    rs.set_opt().verbose = 1;
    RunResult r = capture([&] { reorder_csvfiles(rs); });
    EXPECT_EQ(r.out,
              "Original order\n  0 f0.csv\n  1 f1.csv\n"
              "Warning! Sample intervals do not match:\nf1.csv (60)  f0.csv (30)\n"
              "Sorted order:\n  0 f1.csv\n  1 f0.csv\n");
}

TEST(MultiFile, SameOrDifferentNodes) {
    RunState rs = files_with({1, 2, 3});
    for (InputFile& f : rs.files) f.nodenam = "A";
    RunResult r = capture([&] { EXPECT_EQ(check_if_diff_nodes(rs), 0); });
    EXPECT_EQ(r.out, "The CSV files are from the same node\n");
    rs.files[2].nodenam = "B";
    r = capture([&] { EXPECT_EQ(check_if_diff_nodes(rs), 1); });
    EXPECT_EQ(r.out, "");
}

TEST(MultiFile, UnionOfParameterNames) {
    struct Case {
        std::vector<std::string> headings;
        std::vector<int> cols;
        std::string joined;
        int count;
    };
    const Case cases[] = {
        {{"Sample Time,A,B", "Sample Time,B,C"}, {2, 2}, "Sample Time,A,B,C", 3},
        {{"T,A,B", "T,A,B", "T,C,A"}, {2, 2, 2}, "T,A,B,C", 3},
        {{"T,A, B", "T,B,a"}, {2, 2}, "T,A, B,B,a", 4},  // names compare exactly
    };
    for (const auto& c : cases) {
        RunState rs;
        rs.filenum = static_cast<int>(c.headings.size()) - 1;
        rs.files.assign(c.headings.size(), InputFile{});
        for (size_t f = 0; f < c.headings.size(); ++f) {
            rs.files[f].line = c.headings[f];
            rs.files[f].numcols = c.cols[f];
        }
        rs.actualmaxlinelen = 100;
        get_all_param_names(rs);
        EXPECT_EQ(rs.files[0].line, c.joined);
        EXPECT_EQ(rs.totals.line, c.joined);
        EXPECT_EQ(rs.files[0].numcols, c.count);
        EXPECT_EQ(rs.totals.numcols, c.count);
    }
}

// A memory size beyond what the page count can hold is held at the largest count.
TEST(MultiFile, HugeMemorySizeIsHeldAtTheLimit) {
    for (const char* size : {"99999999999", "2147483647", "16777216"}) {
        RunState rs;
        rs.files.assign(1, InputFile{});
        rs.files[0].paraline = 1;
        rs.set_opt().qflag = 1;
        rs.set_opt().iflag = 1;
        capture([&] {
            get_data_from_header(
                rs, std::string("NODEA, Monitor Comment: big (") + size + "Mb) with 4 cpus\n", 0);
        });
        EXPECT_EQ(rs.physmem, 2147483647) << size;
    }
}
