#include "core/tables.h"

#include <gtest/gtest.h>

#include "harness.h"

TEST(Tables, GlobalTablesOfOneFileWithTenColumns) {
    RunState rs;
    rs.filenum = 0;
    rs.files.assign(1, InputFile{});
    rs.files[0].numcols = rs.totals.numcols = 10;
    rs.numcol = 10;
    rs.set_opt().verbose = 1;
    rs.set_opt().pcflag = 1;
    rs.set_opt().cflag = 3;
    RunResult r = capture([&] { alloc_global_vars(rs); });
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.out,
              "Allocated memory for nums_mask[1][110]\n"
              "Allocated memory for param_nums[2][360]\n"
              "Allocated memory for xlabel[510][140]\n"
              "Allocated memory for 110 percentile values\n"
              "allocated fp_nums[820]\n"
              "allocated max_ar[820]\n"
              "allocated correl_lis[820]\n");
    EXPECT_EQ(rs.fp_nums.size(), 820u);
    EXPECT_EQ(rs.max_ar.size(), 820u);
    EXPECT_EQ(rs.xlabel.size(), 510u);
    EXPECT_EQ(rs.param_nums.size(), 2u);
    EXPECT_EQ(rs.param_nums[1].size(), 360u);
    EXPECT_EQ(rs.median.size(), 110u);
}

TEST(Tables, LabelCountAndOptionalTablesFollowTheRun) {
    struct Case {
        int filenum, numcol, total, mflag, append, pcflag, cflag;
        size_t labels;
        bool percent, correl;
    };
    const Case cases[] = {
        {1, 10, 25, 0, 0, 0, 0, 510, false, false},  // two files: numcol + 500
        {2, 10, 25, 0, 0, 0, 0, 125, false, false},  // three files: union count + 100
        {2, 10, 25, 1, 0, 1, 0, 510, true, false},   // merging
        {2, 10, 25, 0, 1, 0, 2, 510, false, true},   // appending
    };
    for (const auto& c : cases) {
        RunState rs;
        rs.filenum = c.filenum;
        rs.files.assign(static_cast<size_t>(c.filenum + 1), InputFile{});
        for (InputFile& f : rs.files) f.numcols = c.numcol;
        rs.totals.numcols = c.total;
        rs.numcol = c.numcol;
        rs.set_opt().mflag = c.mflag;
        rs.set_opt().append = c.append;
        rs.set_opt().pcflag = c.pcflag;
        rs.set_opt().cflag = c.cflag;
        RunResult r = capture([&] { alloc_global_vars(rs); });
        EXPECT_EQ(r.out, "");  // quiet without verbose
        EXPECT_EQ(rs.xlabel.size(), c.labels) << c.filenum;
        EXPECT_EQ(rs.nums_mask.size(), static_cast<size_t>(c.filenum + 1));
        EXPECT_EQ(!rs.p1.empty(), c.percent);
        EXPECT_GE(rs.correl_lis.capacity(), c.correl ? 10u * 128 + 64000 : 0u);
    }
}

TEST(Tables, TraceLinesOfTheSmallerTables) {
    RunState rs;
    rs.filenum = 1;
    rs.set_opt().verbose = 1;
    rs.numcalcs = 2;
    rs.numcol = 3;
    RunResult r = capture([&] {
        alloc_fileparams_space(rs);
        alloc_templine_space(rs, 220000);
        free_templine_space(rs, 220000);
        alloc_line_space(rs, 500);
        alloc_xvals_space(rs, 1442);
        alloc_calcp_space(rs, 4);
        alloc_wild_nums(rs);
        alloc_jnk_space(rs, 3);
        free_jnk_space(rs, 3);
        allocate_merged_ar(rs, 7);
    });
    EXPECT_EQ(r.out,
              "Allocated space for fileparams[3][20000][140]\n"
              "allocated space for templine[3][220000]\n"
              "freed space for templine[3][220000]\n"
              "allocated space for line[3][1100]\n"
              "Allocated memory for x_vals[1442][30]\n"
              "Allocated memory for x_vals_secs[1442]\n"
              "Allocated memory for calcp[52][4][140]\n"
              "Allocated memory for calcpar[52][4]\n"
              "Allocated memory for calc[4][140]\n"
              "Allocated memory for wlcalc[4][140]\n"
              "Allocated memory for calcops[50][4][6]\n"
              "Allocated memory for wild_nums[2][3][3]\n"
              "Allocated memory for wcalc_label[2][3][140]\n"
              "Allocated memory for jnk[203][140]\n"
              "freed space for jnk[203][140]\n"
              "Allocated memory for merged_ar[2][7]\n");
    EXPECT_EQ(rs.max_xvals, 1442);
    EXPECT_EQ(rs.fileparams.size(), 3u);
    EXPECT_EQ(rs.fileparams[2].size(), 20000u);
    EXPECT_EQ(rs.wild_nums[1].size(), 3u);  // a label's routed columns grow as found
}

TEST(Tables, FailedAllocationPrintsItsLineAndEndsWithError) {
#ifdef TSGRAF_SANITIZED
    GTEST_SKIP() << "the sanitizer's allocator aborts instead of failing an allocation";
#endif
    std::vector<std::vector<int>> t;
    // Row tables no allocator can satisfy: the top level, then a row.
    RunResult r = capture([&] { alloc_table2(t, 1 << 30, 1, "nums_mask"); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "nums_mask calloc failed\n");
    r = capture([&] { alloc_table2(t, 2, -1, "param_nums"); });
    EXPECT_EQ(r.status, -1);  // a negative count is an empty row, not a failure
    EXPECT_EQ(t.size(), 2u);
}
