#include "select/calccount.h"

#include <fstream>

#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/tables.h"

int get_numcalcs_cnt(RunState& rs, const std::string& filename) {
    std::ifstream in(filename, std::ios::binary);
    if (!in) {
        out("Cannot open file %s\n", filename.c_str());
        end_run(END_ERROR);
    }
    int count = 0;
    std::string line;
    // Whole lines are read, so a long line can never be counted twice.
    while (std::getline(in, line))
        if (line.size() >= 6 && upper_copy(line.substr(0, 6)) == "[CALC]") ++count;
    alloc_calcp_space(rs, count);
    return count;
}
