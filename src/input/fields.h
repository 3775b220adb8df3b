// Splitting CSV lines the way the Y8 layouts are read: fields are separated by commas
// and empty fields are skipped, so two adjacent commas count as one separator.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// The first non-empty comma field of line (empty when there is none).
std::string first_field(const std::string& line);
// The same into out, reusing its storage (for loops over many lines).
void first_field_into(std::string_view line, std::string& out);
// Every non-empty comma field of line, in order.
void split_fields(const std::string& line, std::vector<std::string>& fields);
// Number of non-empty comma fields after the first one.
int count_cols(std::string_view line);
// The value of the field text [b, e). An empty or blank field is an idle counter and
// reads as 0; a field that is not wholly a number ("N/A", "-", "1.2.3", "nan") sets bad
// and reads as MISSING.
double field_value(const char* b, const char* e, bool& bad);
// The field that starts at p, when it is plainly a number: written without spaces or a
// '+', finite, and ended by a comma or by end. Sets v to what field_value gives it and
// returns the end of the field; returns nullptr for every other field, which then needs
// field_value.
const char* plain_field(const char* p, const char* end, double& v);

// plain_field, with the common case worked out in line: a decimal of at most 15 digits
// and no exponent ("-12.50"). Its digits and its power of ten are both exact doubles, so
// one division gives the correctly rounded value, as any correct reader does.
inline const char* short_decimal_field(const char* p, const char* end, double& v) {
    static constexpr double tens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* q = p;
    const bool neg = q < end && *q == '-';
    if (neg) ++q;
    unsigned long long m = 0;
    const char* digits = q;
    while (q < end && static_cast<unsigned>(*q - '0') < 10)
        m = m * 10 + static_cast<unsigned>(*q++ - '0');
    long whole = q - digits, frac = 0;
    if (q < end && *q == '.') {
        digits = ++q;
        while (q < end && static_cast<unsigned>(*q - '0') < 10)
            m = m * 10 + static_cast<unsigned>(*q++ - '0');
        frac = q - digits;
    }
    if (whole + frac == 0 || whole + frac > 15 || (q < end && *q != ',')) {
        // Through a local, so that the caller's v need not live in memory.
        double w = 0;
        const char* e = plain_field(p, end, w);
        v = w;
        return e;
    }
    const double d = static_cast<double>(m) / tens[frac];
    v = neg ? -d : d;
    return q;
}
