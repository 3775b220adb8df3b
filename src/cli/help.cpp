// The summary screen of the interactive help and its topic prompt.
#include "cli/help.h"

#include <algorithm>
#include <cstring>

#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "cli/platform.h"
#include "cli/prompt.h"

namespace {

constexpr int GRID_ROWS = 10;
constexpr int GRID_COLS = 6;

// The topic grid; every name but the last gets the option prefix.
const char* const grid[GRID_ROWS][GRID_COLS] = {
    {"append", "average", "bar_chart", "border", "caption", "colors"},
    {"constant", "correlate", "dataline", "decimals", "dotcolors", "dots"},
    {"directory", "displaynum", "extract", "fill", "format", "help"},
    {"headerline", "height", "history", "horizontal", "ignore", "labels"},
    {"lines", "merge", "missing", "nocharts", "nofloat", "noheader"},
    {"nohorizontal", "nologs", "normalize", "novertical", "output", "overlay"},
    {"parameters", "pdf", "percentile", "quiet", "range", "rename"},
    {"rules", "sample", "scale", "sd", "sort", "sparklines"},
    {"stack", "thickness", "timerange", "top", "trimzeros", "verbose"},
    {"version", "width", "x", "y", "zero", "CalcParams"},
};

std::string grid_entry(const RunState& rs, int row, int col) {
    if (row == GRID_ROWS - 1 && col == GRID_COLS - 1) return grid[row][col];
    return rs.optch + grid[row][col];
}

// Each column is as wide as its longest entry plus one space, which keeps the grid
// aligned and, with the "--" prefix, within 80 columns.
void print_grid(const RunState& rs) {
    size_t width[GRID_COLS] = {};
    for (int c = 0; c < GRID_COLS; ++c)
        for (int r = 0; r < GRID_ROWS; ++r)
            width[c] = std::max(width[c], grid_entry(rs, r, c).size() + 1);
    for (int r = 0; r < GRID_ROWS; ++r) {
        std::string line = "  ";
        for (int c = 0; c < GRID_COLS; ++c) {
            std::string e = grid_entry(rs, r, c);
            if (c < GRID_COLS - 1) e.resize(width[c], ' ');
            line += e;
        }
        out("%s\n", line.c_str());
    }
}

void summary_screen(const RunState& rs) {
    out("\n%s\n\n", banner().c_str());
    out("TSGRAF creates line graphs from one or more CSV files of timeline data.\n");
    out("  It can also extract selected parameters into a new CSV file,\n");
    out("  draw the moving average of each parameter and its peak period,\n");
    out("  filter the parameters by number, name or wildcard,\n");
    out("  and find the parameters that correlate with each other.\n\n");
    out("   Format:  TSGRAF csvfile1 [csvfile2 ...] [qualifiers]\n\n");
    out("  Additional information available:\n\n");
    out("  Parameters Qualifiers\n");
    print_grid(rs);
    out("\n");
}

void parameters_text() {
    clear_terminal();
    out("\ntsgraf\n\n");
    out("  Parameters\n\n");
    out("    filespec[,...]\n\n");
    out("      At least one Y8 CSV file is required. The wildcard * may be used\n");
    out("      in a file name to give several files, and several file names are\n");
    out("      separated by spaces. With several files, the matching parameters\n");
    out("      of all files are drawn on the same chart, one line per file.\n\n");
}

}  // namespace

void usage1(RunState& rs, int status) {
    for (;;) {
        summary_screen(rs);
        bool redraw = false;
        while (!redraw) {
            out("TSGRAF subtopic? ");
            std::string answer;
            if (!read_answer(answer)) {
                out("\n");
                end_run(status);
            }
            if (answer.empty()) end_run(status);
            std::string topic = upper_copy(answer);
            switch (topic[0]) {
                case '?':
                    redraw = true;
                    break;
                case '-':
                    redraw = !qualifiers(rs, topic.size() > 2 ? topic.substr(2) : "");
                    break;
                case '/':
                    redraw = !qualifiers(rs, topic.substr(1));
                    break;
                case 'C':
                    CalcParams(rs);
                    break;
                case 'E':
                    Examples(rs);
                    break;
                case 'P':
                    parameters_text();
                    break;
                case 'Q':
                    qualifiers(rs, "?");
                    break;
                default:
                    out("Invalid answer!\n");
            }
        }
        clear_terminal();
    }
}

void CalcParams(RunState& rs) {
    const char* p = rs.optch.c_str();
    clear_terminal();
    out("Calculated Parameters:\n\n");
    out("      A parameter file (%sparameters=file.lis) may define new parameters,\n", p);
    out("      calculated row by row from the columns of the CSV file, with lines\n");
    out("      of the form\n\n");
    out("      [CALC], <par 1>, <op1>, <par 2>, <op2>, <par 3>,...,<new param name>\n\n");
    out("      with up to five operands and four operators, each operator one of\n");
    out("      + - / * (applied from left to right, without precedence; a division\n");
    out("      by zero is skipped). An operand is a parameter name, a number, or\n");
    out("      one of the special codes $CPUS (the number of CPUs) and $MEMORY\n");
    out("      (the memory size) taken from the CSV file header. The fields may\n");
    out("      also be separated by | instead of commas. The new parameters are\n");
    out("      listed and charted like the others.\n\n");
    out("      Example, a file CALC.LIS holding the two lines\n\n");
    out("      [CALC], 100, -, Cpu 00 Idle, Cpu 00 Busy\n");
    out("      [CALC], $MEMORY, -, Free List Size, Memory Used\n\n");
    out("      used as: tsgraf data.csv %sparameters=calc.lis\n\n", p);
}

void Examples(RunState&) {
    out("\nExamples\n\n");
}
