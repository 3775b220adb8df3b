#include "base/strings.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string& strupper(std::string& s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string upper_copy(const std::string& s) {
    std::string u = s;
    return strupper(u);
}

std::string& strltrim(std::string& s) {
    size_t i = 0;
    while (i < s.size() && is_space(s[i])) ++i;
    s.erase(0, i);
    return s;
}

std::string& trim(std::string& s) {
    std::string r;
    r.reserve(s.size());
    bool pending = false;
    for (char c : s) {
        if (is_space(c)) {
            pending = !r.empty();
        } else {
            if (pending) r += ' ';
            pending = false;
            r += c;
        }
    }
    s.swap(r);
    return s;
}

std::string& remove_chars(std::string& s, char c) {
    // Every data line passes here, and most hold no such character: look for one first
    // (a fast library search), then close the gaps in place.
    size_t i = s.find(c);
    if (i == std::string::npos) return s;
    s.erase(std::remove(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(), c), s.end());
    return s;
}

size_t mystristr(const std::string& hay, const std::string& needle) {
    return upper_copy(hay).find(upper_copy(needle));
}

bool replace_substring(std::string& s, const std::string& from, const std::string& to) {
    size_t p = s.find(from);
    if (from.empty() || p == std::string::npos) return false;
    s.replace(p, from.size(), to);
    return true;
}

std::string& chomp(std::string& s) {
    if (!s.empty() && s.back() == '\n') s.pop_back();
    if (!s.empty() && s.back() == '\r') s.pop_back();
    return s;
}

int atoi_s(const std::string& s) {
    // strtol, not atoi: an out-of-range number is clamped instead of undefined.
    long v = std::strtol(s.c_str(), nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}
double atof_s(const std::string& s) { return std::atof(s.c_str()); }

std::string after_equals(const std::string& s) {
    size_t p = s.find('=');
    return p == std::string::npos ? s : s.substr(p + 1);
}

std::vector<std::string> split_fields(const std::string& line, char delim) {
    std::vector<std::string> f;
    size_t i = 0, n = line.size();
    while (i < n) {
        while (i < n && line[i] == delim) ++i;
        if (i >= n) break;
        size_t j = line.find(delim, i);
        if (j == std::string::npos) j = n;
        f.emplace_back(line, i, j - i);
        i = j;
    }
    return f;
}

std::string plain_number(double v) {
    char buf[512];
    snprintf(buf, sizeof buf, "%.6f", v);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}
