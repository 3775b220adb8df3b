// The summary screen of the interactive help and its topic prompt.
#include "cli/help.h"

#include <algorithm>

#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "cli/prompt.h"
#include "cli/vocabulary.h"

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

void help_summary(RunState& rs, int status) {
    summary_screen(rs);
    end_run(status);
}

int option_section(const std::string& word) {
    if (word.empty()) return -1;
    for (const OptionRow& r : option_table())
        if (word == r.name) return section_named(r.topic);
    if (word.size() < 2) return -1;
    // Like the option scanner: a name given whole (in any case) or begun unambiguously;
    // names that lead to one section (range, rename...) do not make it ambiguous.
    const std::string up = upper_copy(word);
    int found = -1;
    for (const OptionRow& r : option_table()) {
        std::string name = upper_copy(r.name);
        if (name == up) return section_named(r.topic);
        if (name.compare(0, up.size(), up) != 0) continue;
        int i = section_named(r.topic);
        if (found >= 0 && i != found) found = -2;
        if (found != -2) found = i;
    }
    return found >= 0 ? found : -1;
}

void show_section(RunState& rs, int i, bool clear) {
    if (clear) clear_terminal();
    print_sections(rs, i, i + 1);
}

int help_topic(RunState& rs, const std::string& answer) {
    if (answer.empty()) return 0;
    const std::string topic = upper_copy(answer);
    if (topic[0] == '?') return -1;
    if (topic[0] == '-' || topic[0] == '/') {
        size_t skip = topic[0] == '-' ? 2 : 1;
        std::string word = answer.size() > skip ? answer.substr(skip) : "";
        // "?" after the prefix asks for all sections, not for the help option.
        int i = word == "?" ? -1 : option_section(word);
        if (i >= 0) {
            show_section(rs, i);
            return 1;
        }
        return qualifiers(rs, topic.size() > skip ? topic.substr(skip) : "") ? 1 : -1;
    }
    // The topic words of the summary screen, then option names without their prefix.
    if (topic == "PARAMETERS") {
        parameters_text();
        show_section(rs, section_named("parameters"), false);
        return 1;
    }
    if (topic == "QUALIFIERS") {
        qualifiers(rs, "?");
        return 1;
    }
    if (topic == "CALCPARAMS") {
        CalcParams(rs);
        return 1;
    }
    if (topic == "EXAMPLES") {
        Examples(rs);
        return 1;
    }
    int i = option_section(answer);
    if (i >= 0) {
        show_section(rs, i);
        return 1;
    }
    switch (topic[0]) {
        case 'C':
            CalcParams(rs);
            return 1;
        case 'E':
            Examples(rs);
            return 1;
        case 'P':
            parameters_text();
            return 1;
        case 'Q':
            qualifiers(rs, "?");
            return 1;
        default:
            return 0;
    }
}

void help_on(RunState& rs, const std::string& topic) {
    if (topic == "?") help_summary(rs, END_OK);
    if (help_topic(rs, topic) > 0) end_run(END_OK);
    out("No help on %s\n", topic.c_str());
    help_summary(rs, END_ERROR);
}

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
            int shown = help_topic(rs, answer);
            if (shown < 0) redraw = true;
            if (shown == 0) out("Invalid answer!\n");
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
