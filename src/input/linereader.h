// Whole-line reading of the input files through one large block buffer, so that a
// survey or load pass costs one read per block, not one call per character.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class LineReader {
   public:
    explicit LineReader(FILE* fp, size_t block = 1 << 20);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    // Reads the next line into s without its line end; "\r\n" ends a line just like
    // "\n". Returns false at the end of the file. s keeps its capacity between calls.
    bool next(std::string& s);
    // The same line as a view, without copying it when it lies wholly in the block (most
    // lines do). The view holds until the next call on this reader.
    bool next(std::string_view& v);
    // Length of the last line as it stood in the file with its new-line counted once:
    // a blank line is 1 (or 0 at the end of a file without a final new-line).
    size_t rawlen() const { return rawlen_; }
    // Back to the start of the file.
    void rewind();
    // Puts the file position where the next unread line begins, so that another
    // routine can go on reading the FILE directly; this reader follows afterwards.
    void sync();
    FILE* file() const { return fp_; }

   private:
    bool fill();
    FILE* fp_;
    std::vector<char> buf_;
    size_t block_;
    size_t pos_ = 0;
    size_t end_ = 0;
    long long bufstart_ = 0;  // file offset of buf_[0]
    bool eof_ = false;
    size_t rawlen_ = 0;
    std::string joined_;  // a line that ran over the end of the block
};
