#include "select/rename.h"

#include <gtest/gtest.h>

#include "core/tables.h"
#include "file_set.h"
#include "harness.h"
#include "select/selection.h"

namespace {

// One surveyed file with the given heading; the selection text as the option layer
// leaves it (a "[RENAME]" rewrite or a parameter file name).
struct Rename {
    TempDir dir;
    InDir in{dir.path()};
    RunState rs;
    RunResult result;

    Rename(const std::string& sel, const std::string& heading) {
        int cols = static_cast<int>(heading_names(heading).size());
        same_heading_files(rs, 1, heading, cols);
        rs.numcol = cols;
        rs.nums_str = rs.orig_nums_str = sel;
        rs.set_opt().iflag = 1;
        rs.set_opt().qflag = 1;
    }
    // Selection, then the renaming the header builder asks for, label by label.
    std::vector<std::string> run() {
        result = capture([&] {
            alloc_global_vars(rs);
            get_parameters(rs, 0);
            for (int p = 0; p < rs.numpar; ++p) rename_label(rs, p);
        });
        return std::vector<std::string>(rs.xlabel.begin(), rs.xlabel.begin() + rs.numpar);
    }
};

using Labels = std::vector<std::string>;

}  // namespace

TEST(Rename, LabelsFollowTheTemplates) {
    struct Case {
        const char* sel;
        const char* heading;
        const char* lis;  // parameter file contents, when sel names one
        Labels labels;
    };
    const Case cases[] = {
        {"[RENAME],[*]*,&2",
         "Time,[DISK]Busy,[CPU]Idle Time,plain",
         nullptr,
         {"Busy", "Idle Time"}},
        {"[RENAME],*.*,$NODE_&2", "Time,cpu.idle,mem", nullptr, {"NODEA_idle"}},
        {"[RENAME],*.*,~1 of $NODE", "Time,Cpu.Idle", nullptr, {"Cpu of NODEA"}},
        // the second label meeting an earlier one gets its column number
        {"[RENAME],[*]*,&2", "Time,[DISK]Busy,x,[CPU]Busy", nullptr, {"Busy", "Busy_3"}},
        // every matching pattern works on the label as it came; the last one decides
        {"sel.lis",
         "Time,Cpu 00 Idle,Cpu 01 User,Disk",
         "[RENAME]|Cpu *|Processor &1\n[RENAME]|* Idle|&1 free\n",
         {"Cpu 00 free", "Processor 01 User"}},
        // a capture is restored from where its star matched, not where its text first occurs
        {"[RENAME],Busy *,&1!", "Time,Busy busy,Busy", nullptr, {"busy!"}},
        {"[RENAME],* of *,&2 &1", "Time,AB of ab", nullptr, {"ab AB"}},
        {"sel.lis",
         "Time,Cpu 00 Idle,Mem",
         "[RENAME],\"Cpu *\",\"Processor &1\"\n",
         {"Processor 00 Idle"}},
        // a line without a template only selects
        {"sel.lis",
         "Time,Cpu 00 Idle,Mem",
         "[RENAME],Cpu *\n[RENAME],Mem*,\n",
         {"Cpu 00 Idle", "Mem"}},
    };
    for (const auto& c : cases) {
        Rename t(c.sel, c.heading);
        t.rs.nodestr = "NODEA";
        if (c.lis) t.dir.write(c.sel, c.lis);
        EXPECT_EQ(t.run(), c.labels) << c.sel;
        EXPECT_EQ(t.result.status, -1) << c.sel << t.result.out;
        EXPECT_EQ(t.result.out, "") << c.sel;
    }
}

TEST(Rename, LongNamesAreCutAndLabelsRenamedOnce) {
    Rename t("[RENAME],n*,&1_&1_x", "Time,nnnn,other");
    t.run();
    ASSERT_EQ(t.rs.numpar, 1);
    EXPECT_EQ(t.rs.xlabel[0], "nnn_&1_x");  // "&1" is replaced once per template
    // a second header asking again (a later input file) does not rename twice
    rename_label(t.rs, 0);
    EXPECT_EQ(t.rs.xlabel[0], "nnn_&1_x");

    std::string longer = "n" + std::string(140, 'l');
    t.rs.xlabel[1] = longer;
    rename_label(t.rs, 1);
    EXPECT_EQ(t.rs.xlabel[1], (longer.substr(1) + "_&1_x").substr(0, 139));
}

TEST(Rename, AtMostTenPatterns) {
    std::string lis;
    for (int i = 0; i < 11; ++i)
        lis += "[RENAME]|P" + std::to_string(i) + " *|R" + std::to_string(i) + " &1\n";
    std::string heading = "Time";
    for (int i = 0; i < 11; ++i) heading += ",P" + std::to_string(i) + " x";
    Rename t("sel.lis", heading);
    t.dir.write("sel.lis", lis);
    Labels labels = t.run();
    EXPECT_EQ(t.rs.oldnameptrn.size(), 10u);
    ASSERT_EQ(labels.size(), 10u);  // the eleventh line does not even select
    EXPECT_EQ(labels[0], "R0 x");
    EXPECT_EQ(labels[9], "R9 x");
}

TEST(Rename, PatternJoinsTheCollectedSelection) {
    RunState rs;
    std::string collected = "CPU";
    parse_rename_line(rs, "[RENAME]|\"Disk*\"|D&1", collected);
    EXPECT_EQ(collected, "CPU,Disk*");
    ASSERT_EQ(rs.oldnameptrn.size(), 1u);
    EXPECT_EQ(rs.oldnameptrn[0], "Disk*");
    EXPECT_EQ(rs.newnameptrn[0], "D&1");
    std::string empty;
    parse_rename_line(rs, "[RENAME],Mem *,M &1", empty);
    EXPECT_EQ(empty, "Mem *");
}
