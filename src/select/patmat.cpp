#include "select/patmat.h"

#include <vector>

#include "base/strings.h"

namespace {

// Backtracking matcher. A (text, pattern) position that failed once fails always, so
// failures are remembered: hostile patterns with many stars stay polynomial.
struct Matcher {
    const std::string& raw;
    const std::string& pat;
    std::string* var;
    std::vector<char> failed;

    bool seen_fail(size_t r, size_t p) const { return failed[r * (pat.size() + 1) + p]; }
    void mark_fail(size_t r, size_t p) { failed[r * (pat.size() + 1) + p] = 1; }

    // star: number of stars before pattern position p.
    bool match(size_t r, size_t p, int star) {
        if (seen_fail(r, p)) return false;
        bool ok = step(r, p, star);
        if (!ok) mark_fail(r, p);
        return ok;
    }

    bool step(size_t r, size_t p, int star) {
        if (p == pat.size()) return r == raw.size();
        if (pat[p] == '*') {
            ++star;
            std::string& cap = var[star % 6];
            if (p + 1 == pat.size()) {
                cap = raw.substr(r);
                return true;
            }
            char next = pat[p + 1];
            for (size_t i = r; i <= raw.size(); ++i) {
                bool here = i < raw.size() && (raw[i] == next || next == '?');
                if (here && match(i + 1, p + 2, star)) {
                    cap = raw.substr(r, i - r);
                    return true;
                }
            }
            return false;
        }
        if (r == raw.size()) return false;
        if (raw[r] != pat[p] && pat[p] != '?') return false;
        return match(r + 1, p + 1, star);
    }
};

}  // namespace

int patmat(RunState& rs, const std::string& raw, const std::string& pat) {
    std::string r = upper_copy(raw), p = upper_copy(pat);
    Matcher m{r, p, rs.var, std::vector<char>((r.size() + 1) * (p.size() + 1), 0)};
    return m.match(0, 0, 0) ? 1 : 0;
}

int insert_var_in_param(const std::string& param, const std::string v[6], std::string& newparam) {
    newparam = param;
    for (int n = 1; n <= 5; ++n) {
        std::string amp = "&" + std::to_string(n), tilde = "~" + std::to_string(n);
        if (!replace_substring(newparam, amp, v[n])) replace_substring(newparam, tilde, v[n]);
    }
    return 0;
}
