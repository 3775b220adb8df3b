// Reading numbers and words from text the way sscanf does for the few directives the
// program uses, but safely: a number too large for an int is clamped instead of
// overflowing, and nothing is read past the end of the text.
#pragma once
#include <string>

// A cursor over a text. Each call matches one directive of a sscanf format; after the
// first directive that fails, every later one does nothing (and assigns nothing), just
// as sscanf stops at the first mismatch.
class TextScan {
public:
    explicit TextScan(const std::string& text) : s_(text) {}
    // "%d": optional white space, an optional sign and at least one digit.
    TextScan& num(int& v);
    // A literal character of the format; no white space is skipped before it.
    TextScan& lit(char c);
    // A blank in the format: skips any white space, including none.
    TextScan& blank();
    // "%Nc": up to n characters as they are (fewer only at the end of the text).
    TextScan& chars(std::string& v, size_t n);
    // "%s": optional white space, then a run of non-white-space characters.
    TextScan& word(std::string& v);
    // A clock reading "%d:%d:%d".
    TextScan& clock(int& hh, int& mm, int& ss) {
        return num(hh).lit(':').num(mm).lit(':').num(ss);
    }
    // Number of values assigned so far (what sscanf would return).
    int count() const { return count_; }
    bool ok() const { return ok_; }

private:
    const std::string& s_;
    size_t pos_ = 0;
    bool ok_ = true;
    int count_ = 0;
};

// a * b, clamped to the int range.
int clamped_mul(int a, int b);
// v clamped to the int range.
int clamped_int(long long v);
// Seconds of a clock reading h:m:s, in 64 bits: the fields come from text and may lie
// far beyond one day.
inline long long clock_secs(int hh, int mm, int ss) {
    return hh * 3600LL + mm * 60LL + ss;
}
