#include "input/multifile.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace {

RunState files_with(const std::vector<time_t>& starts) {
    RunState rs;
    rs.filenum = static_cast<int>(starts.size()) - 1;
    size_t n = starts.size() + 1;
    rs.csvstartsecs.assign(n, 0);
    rs.csvendsecs.assign(n, 0);
    for (auto* v : {&rs.numrows, &rs.numcols, &rs.firstdataline, &rs.paraline, &rs.y8format,
                    &rs.samp, &rs.fileparamnums})
        v->assign(n, 0);
    rs.nodenam.assign(n, "");
    rs.line.assign(n, "");
    for (size_t i = 0; i < starts.size(); ++i) {
        rs.datafil.push_back("f" + std::to_string(i) + ".csv");
        rs.csvstartsecs[i] = starts[i];
        rs.csvendsecs[i] = starts[i] + 3600;
        rs.numrows[i] = static_cast<int>(10 + i);
        rs.line[i] = "Sample Time,P" + std::to_string(i);
        rs.samp[i] = 60;
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
        rs.nodenam.assign(2, "");
        read_nodename(rs, c.line, 1);
        EXPECT_EQ(rs.nodestr, c.node) << c.line;
        EXPECT_EQ(rs.nodenam[1], c.node);
        read_nodename(rs, "OTHER,x", 1);  // a name once set stays
        EXPECT_EQ(rs.nodenam[1], c.node);
        EXPECT_EQ(rs.nodestr, "OTHER");
    }
}

TEST(MultiFile, HeaderFactsOfTheFirstFile) {
    RunState rs;
    rs.paraline = {1, 0};
    rs.verbose = 1;
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
    repeat.paraline = {1, 0};
    capture([&] {
        get_data_from_header(repeat, "NODEA, Sampling Interval: 30, NODEA, Sampling Interval: 99",
                             0);
    });
    EXPECT_EQ(repeat.comm_sampint, 30);

    RunState heading_first;
    heading_first.paraline = {0, 0};
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
            EXPECT_EQ(rs.datafil[k], c.order[k]);
            int from = std::stoi(c.order[k].substr(1));
            // Every fact moves with its file.
            EXPECT_EQ(rs.csvstartsecs[k], before.csvstartsecs[from]);
            EXPECT_EQ(rs.csvendsecs[k], before.csvendsecs[from]);
            EXPECT_EQ(rs.numrows[k], before.numrows[from]);
            EXPECT_EQ(rs.line[k], before.line[from]);
        }
    }
}

TEST(MultiFile, VerboseReorderWarnsOfDifferentIntervals) {
    RunState rs = files_with({200, 100});
    rs.samp[0] = 30;
    rs.verbose = 1;
    RunResult r = capture([&] { reorder_csvfiles(rs); });
    EXPECT_EQ(r.out,
              "Original order\n  0 f0.csv\n  1 f1.csv\n"
              "Warning! Sample intervals do not match:\nf1.csv (60)  f0.csv (30)\n"
              "Sorted order:\n  0 f1.csv\n  1 f0.csv\n");
}

TEST(MultiFile, SameOrDifferentNodes) {
    RunState rs = files_with({1, 2, 3});
    rs.nodenam = {"A", "A", "A", ""};
    RunResult r = capture([&] { EXPECT_EQ(check_if_diff_nodes(rs), 0); });
    EXPECT_EQ(r.out, "The CSV files are from the same node\n");
    rs.nodenam[2] = "B";
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
        rs.line = c.headings;
        rs.line.push_back("");
        rs.numcols = c.cols;
        rs.numcols.push_back(0);
        rs.actualmaxlinelen = 100;
        get_all_param_names(rs);
        EXPECT_EQ(rs.line[0], c.joined);
        EXPECT_EQ(rs.line.back(), c.joined);
        EXPECT_EQ(rs.numcols[0], c.count);
        EXPECT_EQ(rs.numcols.back(), c.count);
    }
}

// A memory size beyond what the page count can hold is held at the largest count.
TEST(MultiFile, HugeMemorySizeIsHeldAtTheLimit) {
    for (const char* size : {"99999999999", "2147483647", "16777216"}) {
        RunState rs;
        rs.paraline = {1, 0};
        rs.qflag = 1;
        rs.iflag = 1;
        capture([&] {
            get_data_from_header(
                rs, std::string("NODEA, Monitor Comment: big (") + size + "Mb) with 4 cpus\n", 0);
        });
        EXPECT_EQ(rs.physmem, 2147483647) << size;
    }
}
