#include "select/patmat.h"

#include <gtest/gtest.h>

TEST(Patmat, MatchesWholeTextsCaseInsensitively) {
    struct Case {
        const char* raw;
        const char* pat;
        int match;
    };
    const Case cases[] = {
        {"", "", 1},
        {"abc", "", 0},
        {"", "*", 1},
        {"", "?", 0},
        {"Cpu 01 Idle", "*cpu 0? idle*", 1},
        {"Cpu 1 Idle", "*cpu 0? idle*", 0},
        {"CPU Busy", "cpu*", 1},
        {"Total CPU", "cpu*", 0},
        {"[DISK]Busy", "[*]*", 1},
        {"abc", "a?c", 1},
        {"abc", "a?", 0},
        {"abcd", "*d", 1},
        {"abcd", "*c", 0},
        {"aXbXc", "*x*x*", 1},
        {"a*b", "a*b", 1},
        {"mississippi", "*sip*", 1},
        {"mississippi", "*ss*ss*pi", 1},
        {"mississippi", "*ss*ss*ss*", 0},
    };
    for (const auto& c : cases) {
        RunState rs;
        EXPECT_EQ(patmat(rs, c.raw, c.pat), c.match) << c.raw << " ~ " << c.pat;
    }
}

TEST(Patmat, EachStarCapturesItsOwnText) {
    struct Case {
        const char* raw;
        const char* pat;
        std::vector<std::string> caps;  // var[1], var[2], ...
    };
    const Case cases[] = {
        {"[DISK]Busy", "[*]*", {"DISK", "BUSY"}},
        {"[DISK]DKA0 I/O Rate", "[DISK]* I/O Rate", {"DKA0"}},
        {"Cpu 03 Idle", "cpu *", {"03 IDLE"}},
        {"abc", "abc*", {""}},
        {"a-b-c", "*-*-*", {"A", "B", "C"}},
        // The first star takes the shortest text that lets the rest match.
        {"x_y_z", "*_*", {"X", "Y_Z"}},
        {"12345", "*?*", {"", "2345"}},
    };
    for (const auto& c : cases) {
        RunState rs;
        ASSERT_EQ(patmat(rs, c.raw, c.pat), 1) << c.raw;
        for (size_t n = 0; n < c.caps.size(); ++n)
            EXPECT_EQ(rs.var[n + 1], c.caps[n]) << c.raw << " star " << n + 1;
    }
}

TEST(Patmat, SixthStarUsesSlotZeroAndHostilePatternsFinish) {
    RunState rs;
    ASSERT_EQ(patmat(rs, "a1b2c3d4e5f6", "a*b*c*d*e*f*"), 1);
    EXPECT_EQ(rs.var[1], "1");
    EXPECT_EQ(rs.var[5], "5");
    EXPECT_EQ(rs.var[0], "6");

    // Many stars over a long text without a match: must not backtrack exponentially.
    std::string text(3000, 'a');
    std::string pat;
    for (int i = 0; i < 40; ++i) pat += "*a";
    pat += "*b";
    EXPECT_EQ(patmat(rs, text, pat), 0);
}

TEST(Patmat, CapturesGoIntoTemplates) {
    std::string v[6] = {"", "DISK", "BUSY", "", "", ""};
    std::string out;
    struct Case {
        const char* tmpl;
        const char* expected;
    };
    const Case cases[] = {
        {"&2", "BUSY"},
        {"&1 &2", "DISK BUSY"},
        {"~2 of ~1", "BUSY of DISK"},
        {"&1 &1", "DISK &1"},     // only the first occurrence of each
        {"&1 ~1", "DISK ~1"},     // "~n" only when there is no "&n"
        {"no captures", "no captures"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(insert_var_in_param(c.tmpl, v, out), 0);
        EXPECT_EQ(out, c.expected) << c.tmpl;
    }
}
