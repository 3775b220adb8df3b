// What the loader hands on while it reads, besides the grid: the lines above the first
// data line, the heading, and every stored row with its fields as read and the values
// calculated from them. The loader does not know who takes them (the extract output).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

class RowSink {
public:
    virtual ~RowSink() = default;
    // Line i (0-based) above file f's first data line, without its line end.
    virtual void line_above(int f, int i, const std::string& line) = 0;
    // File f's heading, once the run state holds its selected columns.
    virtual void heading(int f) = 0;
    // Whether the rows of file f are wanted; cells and rows of that file follow only then.
    virtual bool wants_rows(int f) = 0;
    // The field of column col (1-based) read into parameter slot j of the row being read:
    // its text and value; bad when it is no number (read as missing).
    virtual void cell(int j, int col, const char* text, size_t len, double v, bool bad) = 0;
    // The row is stored: its time stamp as read and the calculated values in the order
    // the calculations ran.
    virtual void row(const std::string& stamp, const std::vector<double>& calculated) = 0;
    // Every file is read.
    virtual void end_of_load() = 0;
};
