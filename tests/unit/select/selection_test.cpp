#include "select/selection.h"

#include <gtest/gtest.h>

#include "core/output_files.h"
#include "core/tables.h"
#include "file_set.h"
#include "harness.h"
#include "select/paramlist.h"

namespace {

const char* kHeading =
    "Sample Time,[CPU]Cpu 00 Busy,[CPU]Cpu 00 Idle,[CPU]Cpu 1 Idle,[DISK]DKA0 Read Rate,"
    "[DISK]DKA0 Write Rate,[DISK]DKB1 Read Rate,[MEMORY]Free List Size,[NET]Old Packets,"
    "[NET]New Packets";
constexpr int kCols = 9;

// A run state with one surveyed file holding the heading above.
struct Selection {
    TempDir dir;
    InDir in{dir.path()};
    RunState rs;
    RunResult result;

    // The selection text as the option scanner leaves it.
    explicit Selection(const std::string& sel, int files = 1) {
        same_heading_files(rs, files, kHeading, kCols);
        rs.numcol = kCols;
        rs.nums_str = rs.orig_nums_str = sel;
        rs.set_opt().iflag = 1;
        rs.set_opt().qflag = 1;
        take_typed_numbers(rs);
    }
    std::vector<int> run() {
        result = capture([&] {
            alloc_global_vars(rs);
            for (int f = 0; f <= rs.filenum; ++f) get_parameters(rs, f);
        });
        finish_all_outputs(rs);  // as a completed run does
        std::vector<int> cols(rs.param_nums[0].begin(), rs.param_nums[0].begin() + rs.numpar);
        return cols;
    }
};

using Cols = std::vector<int>;

}  // namespace

TEST(Selection, TermsSelectColumns) {
    struct Case {
        const char* sel;
        Cols cols;
    };
    const Case cases[] = {
        {"0", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"all", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"*", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"*,anything", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"5", {5}},
        {"9,3,5", {3, 5, 9}},
        {"9,3,3,5", {3, 5, 9}},
        {"3-5", {3, 4, 5}},
        {"5-3", {5}},
        {"3-50", {3, 4, 5, 6, 7, 8, 9}},  // reading stops past the last column
        {"cpu", {1, 2, 3}},
        {"[cpu]*", {1, 2, 3}},
        {"*cpu 0? idle*", {2}},
        {"disk,-write", {4, 6}},
        {"+disk,read", {4, 6}},
        {"read,-dkb1", {4}},
        {"cpu,5,x", {1, 2, 3}},          // numbers and one-letter terms after the first
        {"idle,packets", {2, 3, 8, 9}},
        {"*-old", {1, 2, 3, 4, 5, 6, 7, 9}},  // exclusion variant
    };
    for (const auto& c : cases) {
        Selection s(c.sel);
        EXPECT_EQ(s.run(), c.cols) << c.sel;
        EXPECT_EQ(s.result.status, -1) << c.sel << s.result.out;
    }
}

TEST(Selection, LabelsListFileAndParamLis) {
    Selection s("idle,packets");
    s.rs.set_opt().iflag = 0;
    s.rs.set_opt().yflag = 1;
    s.rs.set_opt().csv_paramfil = "NAMES.LIS";
    s.run();
    EXPECT_EQ(s.rs.xlabel[0], "[CPU]Cpu 00 Idle");
    EXPECT_EQ(s.rs.xlabel[3], "[NET]New Packets");
    EXPECT_EQ(s.dir.read("PARAM.LIS"), "2,3,8,9\n");
    EXPECT_EQ(s.dir.read("NAMES.LIS"),
              "[CPU]Cpu 00 Idle\n[CPU]Cpu 1 Idle\n[NET]Old Packets\n[NET]New Packets\n");
    EXPECT_EQ(s.rs.nums_mask[0][8], 1);
    EXPECT_EQ(s.rs.nums_mask[0][7], 0);
}

TEST(Selection, FreeListAddsTheDerivedParameter) {
    Selection s("list,busy");
    s.run();
    EXPECT_EQ(s.rs.numpar, 2);
    EXPECT_EQ(s.rs.freelistnum, 1);
    EXPECT_EQ(s.rs.xlabel[2], "[CALC]Memory Utilization");
    EXPECT_EQ(s.rs.param_nums[0][2], 3);
    EXPECT_EQ(s.rs.memutilnum, 8);
}

// PARAM.LIS records the list the selection took: resolved lists as numbers, a list the
// user wrote as numbers as written.
TEST(Selection, ParamLisRecordsTheList) {
    struct Case {
        const char* sel;
        const char* lis;  // a parameter file's text, or none
        const char* record;
    };
    const Case cases[] = {
        {"9,3,3,5", nullptr, "3,5,9\n"},
        {"3-5", nullptr, "3,4,5\n"},
        {"05", nullptr, "05\n"},
        {"all", nullptr, "1,2,3,4,5,6,7,8,9\n"},
        {"-", nullptr, "-\n"},
        {"idle,packets", nullptr, "2,3,8,9\n"},
        {"n.lis", "5,3,,7\n", "5,3,,7\n"},
        {"n.lis", "4-6\n", "4,5,6\n"},
    };
    for (const auto& c : cases) {
        Selection s(c.sel);
        if (c.lis) s.dir.write(c.sel, c.lis);
        s.rs.set_opt().iflag = 0;
        s.run();
        EXPECT_EQ(s.result.status, -1) << c.sel << s.result.out;
        EXPECT_EQ(s.dir.read("PARAM.LIS"), c.record) << c.sel;
    }
}

TEST(Selection, ParameterFileTermsAndErrors) {
    Selection s("sel.lis");
    s.dir.write("sel.lis", "\ncpu ; the processors\n\n; only a comment\n[net]new\n");
    EXPECT_EQ(s.run(), (Cols{1, 2, 3, 9}));

    struct Bad {
        const char* sel;
        const char* file;
        const char* message;
    };
    const Bad bad[] = {
        {"missing.lis", nullptr, "Cannot open file missing.lis\n"},
        {"nomatch", nullptr, "No columns selected \n"},
        {"CPU*", nullptr, "No columns selected \n"},  // the names begin with "[CPU]"
        {"empty.lis", "; nothing\n", "No columns selected \n"},
    };
    for (const auto& b : bad) {
        Selection t(b.sel);
        if (b.file) t.dir.write(b.sel, b.file);
        t.run();
        EXPECT_EQ(t.result.status, 1) << b.sel;
        EXPECT_EQ(t.result.out, b.message) << b.sel;
    }
}

TEST(Selection, LongNamesAreCutWithAWarning) {
    Selection s("long");
    std::string name = "Long" + std::string(150, 'x');
    s.rs.files[0].line = "Sample Time,a,  " + name + "  ,b";
    s.rs.numcol = s.rs.files[0].numcols = 3;
    s.run();
    ASSERT_EQ(s.rs.numpar, 1);
    EXPECT_EQ(s.rs.xlabel[0], name.substr(0, 137));  // cut to 139, then trimmed
    EXPECT_EQ(s.result.out, "Warning: Name too long (158)! \n  " + name +
                                "  \nWill be truncated to 139 characters\n");
}

TEST(Selection, OverlayKeepsTwentyParameters) {
    Selection s("0");
    std::string heading = "Sample Time";
    for (int i = 1; i <= 25; ++i) heading += ",p" + std::to_string(i);
    s.rs.files[0].line = heading;
    s.rs.numcol = s.rs.files[0].numcols = s.rs.totals.numcols = 25;
    s.rs.set_opt().oflag = 1;
    s.run();
    EXPECT_EQ(s.rs.numpar, 20);
    EXPECT_EQ(s.rs.numovr, 19);
    EXPECT_EQ(s.result.out, "Only 20 parameters can be overlaid on one chart\n");
}

TEST(Selection, LaterFilesMapLabelsByName) {
    Selection s("idle", 2);
    s.rs.files[1].line = "Time,[CPU]Cpu 1 Idle,x,y";
    s.rs.files[1].numcols = 3;
    s.run();
    ASSERT_EQ(s.rs.numpar, 2);
    EXPECT_EQ(s.rs.param_nums[1][0], 4);  // [CPU]Cpu 00 Idle is missing: one past the end
    EXPECT_EQ(s.rs.param_nums[1][1], 1);
    EXPECT_EQ(s.rs.nums_mask[1][1], 1);
    EXPECT_EQ(s.rs.nums_mask[1][3], 0);
}
