// What the loader hands on while it reads, besides the grid: the lines above the first
// data line, the heading, and every stored row with its fields as read. The loader does
// not know who takes them: the calculated columns, which add their values to each row,
// and after them the extract output.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One stored row as the loader hands it on.
struct StoredRow {
    int file = 0;                    // the input file it comes from
    int slot = 0;                    // its row slot in the grid
    std::string_view stamp;          // its time stamp as read
    std::vector<double> calculated;  // the calculated values, in the order they ran
};

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
    // The row is stored in the grid. A sink may add calculated values for those after it.
    virtual void row(StoredRow& row) = 0;
    // Every file is read.
    virtual void end_of_load() = 0;
};
