#include "base/strings.h"

#include <gtest/gtest.h>

#include "base/out.h"

TEST(Strings, InPlaceRoutines) {
    struct Case {
        std::string in, upper, ltrim, trimmed;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"abc", "ABC", "abc", "abc"},
        {"  a  b\t\tc \n", "  A  B\t\tC \n", "a  b\t\tc \n", "a b c"},
        {"\r\f\v x", "\r\f\v X", "x", "x"},
        {"Cpu 00 Idle%", "CPU 00 IDLE%", "Cpu 00 Idle%", "Cpu 00 Idle%"},
    };
    for (const auto& c : cases) {
        std::string s = c.in;
        EXPECT_EQ(strupper(s), c.upper);
        s = c.in;
        EXPECT_EQ(strltrim(s), c.ltrim);
        s = c.in;
        EXPECT_EQ(trim(s), c.trimmed) << "[" << c.in << "]";
    }
}

TEST(Strings, SearchRemoveReplace) {
    EXPECT_EQ(mystristr("Data.LIS", ".lis"), 4u);
    EXPECT_EQ(mystristr("abc", "x"), std::string::npos);
    EXPECT_TRUE(contains_nocase("TSGRAF_01012026.his", "tsgraf_"));

    std::string s = "\"a\"b\"";
    EXPECT_EQ(remove_chars(s, '"'), "ab");

    s = "one two one";
    EXPECT_TRUE(replace_substring(s, "one", "1"));
    EXPECT_EQ(s, "1 two one");
    EXPECT_FALSE(replace_substring(s, "three", "3"));
    EXPECT_FALSE(replace_substring(s, "", "3"));

    EXPECT_EQ(after_equals("--average=10"), "10");
    EXPECT_EQ(after_equals("10"), "10");
    EXPECT_EQ(atoi_s("12abc"), 12);
    EXPECT_EQ(atoi_s("abc"), 0);
    EXPECT_DOUBLE_EQ(atof_s(".65x"), 0.65);
    s = "line\r\n";
    EXPECT_EQ(chomp(s), "line");
}

TEST(Out, FormatsLikePrintf) {
    EXPECT_EQ(strfmt("%3d %s", 7, "a.csv"), "  7 a.csv");
    EXPECT_EQ(strfmt("%-5.3s|%.*f", "abcdef", 2, 1.005), "abc  |1.00");
    EXPECT_EQ(strfmt("%s", std::string(10000, 'x').c_str()).size(), 10000u);
}
