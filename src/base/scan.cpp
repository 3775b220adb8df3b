#include "base/scan.h"

#include <climits>

#include "base/strings.h"

TextScan& TextScan::num(int& v) {
    if (!ok_) return *this;
    size_t p = pos_;
    while (p < s_.size() && is_space(s_[p])) ++p;
    bool neg = false;
    if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) neg = s_[p++] == '-';
    if (p >= s_.size() || s_[p] < '0' || s_[p] > '9') {
        ok_ = false;
        return *this;
    }
    long long mag = 0;
    const long long cap = static_cast<long long>(INT_MAX) + 1;
    for (; p < s_.size() && s_[p] >= '0' && s_[p] <= '9'; ++p)
        if (mag < cap) mag = mag * 10 + (s_[p] - '0');
    if (mag > cap) mag = cap;
    long long r = neg ? -mag : mag;
    if (r > INT_MAX) r = INT_MAX;
    v = static_cast<int>(r);
    pos_ = p;
    ++count_;
    return *this;
}

TextScan& TextScan::lit(char c) {
    if (!ok_) return *this;
    if (pos_ < s_.size() && s_[pos_] == c)
        ++pos_;
    else
        ok_ = false;
    return *this;
}

TextScan& TextScan::blank() {
    if (!ok_) return *this;
    while (pos_ < s_.size() && is_space(s_[pos_])) ++pos_;
    return *this;
}

TextScan& TextScan::chars(std::string& v, size_t n) {
    if (!ok_) return *this;
    if (pos_ >= s_.size() || n == 0) {
        ok_ = false;
        return *this;
    }
    v = s_.substr(pos_, n);
    pos_ += v.size();
    ++count_;
    return *this;
}

TextScan& TextScan::word(std::string& v) {
    if (!ok_) return *this;
    size_t p = pos_;
    while (p < s_.size() && is_space(s_[p])) ++p;
    size_t b = p;
    while (p < s_.size() && !is_space(s_[p])) ++p;
    if (p == b) {
        ok_ = false;
        return *this;
    }
    v = s_.substr(b, p - b);
    pos_ = p;
    ++count_;
    return *this;
}

int clamped_mul(int a, int b) {
    return clamped_int(static_cast<long long>(a) * b);
}

int clamped_int(long long r) {
    if (r > INT_MAX) return INT_MAX;
    if (r < INT_MIN) return INT_MIN;
    return static_cast<int>(r);
}
