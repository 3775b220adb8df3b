#include "base/shown.h"

#include <gtest/gtest.h>

// What later steps read from a shown value is what its text says, not the exact number.
TEST(Shown, LaterStepsReadWhatTheTextSays) {
    struct Case {
        double value;
        int places;
        const char* text;
        bool decimals;
        double number, whole;
        int whole_int;
    };
    const Case cases[] = {
        {-54.9, 2, "-54.90", true, -54.9, -54, -54},  // cut at the point, toward zero
        {2.999, 2, "3.00", true, 3, 3, 3},            // the rounded text, not the exact value
        {12.5, 0, "12", false, 12, 12, 12},           // whole numbers: no point to cut at
        {3e9, 0, "3000000000", false, 3e9, 3e9, 2147483647},  // held to the int range
        {7.25, -1, "7.250000", true, 7.25, 7, 7},             // negative decimals: printf's six
    };
    for (const Case& c : cases) {
        Shown s{c.value, c.places};
        EXPECT_EQ(s.text(), c.text);
        EXPECT_EQ(s.decimals(), c.decimals) << c.text;
        EXPECT_DOUBLE_EQ(s.number(), c.number) << c.text;
        EXPECT_DOUBLE_EQ(s.whole(), c.whole) << c.text;
        EXPECT_EQ(s.whole_int(), c.whole_int) << c.text;
    }
}
