// A number as the listing and the chart show it: printed with a fixed number of
// decimals ("%.*f"). The number travels; its text is made where it is shown. Where a
// later step goes on from the shown value (the Y scale starts from the maximum the
// listing shows, not from the exact one), it asks this value, which answers from the
// text: the answers match what the user sees, printf's rounding included.
#pragma once
#include <string>

struct Shown {
    double value = 0;  // the number before rounding
    int places = 0;    // decimals shown (as printf's precision: negative means six)

    std::string text() const;
    // The text has a decimal point.
    bool decimals() const;
    // The number the text shows.
    double number() const;
    // The whole part of the text, the decimals cut off (toward zero, keeping a sign).
    double whole() const;
    // The whole part held to the int range.
    int whole_int() const;
};
