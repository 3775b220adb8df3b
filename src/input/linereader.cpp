#include "input/linereader.h"

#include <cstring>

namespace {
// The block of the last reader to finish, for the next one: the passes over a run's
// files follow one another, and a fresh block costs a page fault for every 4 KB of it.
thread_local std::vector<char> spare;
}  // namespace

LineReader::LineReader(FILE* fp, size_t block) : fp_(fp), block_(block) {
    if (spare.size() >= block)
        buf_.swap(spare);
    else
        buf_.resize(block);
}

LineReader::~LineReader() {
    if (buf_.size() > spare.size()) spare.swap(buf_);
}

bool LineReader::fill() {
    if (eof_) return false;
    bufstart_ += static_cast<long long>(end_);
    pos_ = 0;
    end_ = fread(buf_.data(), 1, block_, fp_);
    if (end_ == 0) eof_ = true;
    return end_ > 0;
}

bool LineReader::next(std::string& s) {
    s.clear();
    bool any = false;
    for (;;) {
        if (pos_ >= end_ && !fill()) break;
        // A UTF-8 byte order mark at the start of the file is no part of its first line.
        if (bufstart_ == 0 && pos_ == 0 && end_ >= 3 && memcmp(buf_.data(), "\xEF\xBB\xBF", 3) == 0)
            pos_ = 3;
        any = true;
        const char* start = buf_.data() + pos_;
        const char* nl = static_cast<const char*>(memchr(start, '\n', end_ - pos_));
        if (nl) {
            s.append(start, static_cast<size_t>(nl - start));
            pos_ += static_cast<size_t>(nl - start) + 1;
            if (!s.empty() && s.back() == '\r') s.pop_back();
            rawlen_ = s.size() + 1;
            return true;
        }
        s.append(start, end_ - pos_);
        pos_ = end_;
    }
    rawlen_ = s.size();
    return any;
}

bool LineReader::next(std::string_view& v) {
    // The start of the file (its byte order mark) and a line the block ends inside take
    // the copying way.
    if (pos_ < end_ && (bufstart_ != 0 || pos_ != 0)) {
        const char* start = buf_.data() + pos_;
        const char* nl = static_cast<const char*>(memchr(start, '\n', end_ - pos_));
        if (nl) {
            size_t len = static_cast<size_t>(nl - start);
            pos_ += len + 1;
            if (len > 0 && start[len - 1] == '\r') --len;
            rawlen_ = len + 1;
            v = std::string_view(start, len);
            return true;
        }
    }
    bool any = next(joined_);
    v = joined_;
    return any;
}

void LineReader::rewind() {
    fseek(fp_, 0, SEEK_SET);
    clearerr(fp_);
    pos_ = end_ = 0;
    bufstart_ = 0;
    eof_ = false;
}

void LineReader::sync() {
    long long at = bufstart_ + static_cast<long long>(pos_);
    fseeko(fp_, static_cast<off_t>(at), SEEK_SET);
    clearerr(fp_);
    bufstart_ = at;
    pos_ = end_ = 0;
    eof_ = false;
}
