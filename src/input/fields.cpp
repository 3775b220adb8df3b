#include "input/fields.h"

#include <fast_float/fast_float.h>

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "base/strings.h"
#include "core/run_state.h"

void first_field_into(std::string_view line, std::string& out) {
    out.clear();
    size_t b = line.find_first_not_of(',');
    if (b == std::string_view::npos) return;
    size_t e = line.find(',', b);
    out.assign(line.substr(b, e == std::string_view::npos ? std::string_view::npos : e - b));
}

std::string first_field(const std::string& line) {
    std::string f;
    first_field_into(line, f);
    return f;
}

void split_fields(const std::string& line, std::vector<std::string>& fields) {
    fields = split_fields(line, ',');
}

int count_cols(std::string_view line) {
    int fields = 0;
    size_t i = 0, n = line.size();
    while (i < n) {
        size_t e = line.find(',', i);
        if (e == std::string_view::npos) e = n;
        if (e > i) ++fields;
        i = e + 1;
    }
    return fields > 0 ? fields - 1 : 0;
}

// A field's value. An empty or blank field is an idle counter and reads as 0; a field
// that is not wholly a number ("N/A", "-", "1.2.3", "nan") is missing.
double field_value(const char* b, const char* e, bool& bad) {
    bad = false;
    while (b < e && is_space(*b)) ++b;
    while (e > b && is_space(e[-1])) --e;
    if (b == e) return 0.0;
    double v = 0;
    if (plain_field(b, e, v) == e) return v;
    const char* p = b;
    if (*p == '+') ++p;
    if (p < e && (p == b || *p != '-')) {
        auto res = std::from_chars(p, e, v);
        if (res.ptr == e && res.ec == std::errc() && !std::isnan(v)) return v;
        if (res.ptr == e && res.ec == std::errc::result_out_of_range) {
            std::string s(b, e);
            return strtod(s.c_str(), nullptr);
        }
    }
    bad = true;
    return MISSING;
}

namespace {

// True when no digit before the exponent of the number text [b, e) is other than 0: a
// zero read from it is its value, not one too small for a double.
bool zero_digits(const char* b, const char* e) {
    for (; b < e && *b != 'e' && *b != 'E'; ++b)
        if (*b >= '1' && *b <= '9') return false;
    return true;
}

}  // namespace

const char* plain_field(const char* p, const char* end, double& v) {
    // Both readers round correctly, so they agree on every finite value; infinities, NaN
    // and values beyond the range of a double are left to field_value.
    auto res = fast_float::from_chars(p, end, v);
    if (res.ec != std::errc() || res.ptr == p) return nullptr;
    if (res.ptr != end && *res.ptr != ',') return nullptr;
    if (!std::isfinite(v) || (v == 0 && !zero_digits(p, res.ptr))) return nullptr;
    return res.ptr;
}
