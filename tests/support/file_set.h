// The input file set of a run state a test builds by hand.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// One input file per name, in order; filenum follows.
inline void name_files(RunState& rs, const std::vector<std::string>& names) {
    rs.files.assign(names.size(), InputFile{});
    for (size_t f = 0; f < names.size(); ++f) rs.files[f].datafil = names[f];
    rs.filenum = static_cast<int>(names.size()) - 1;
}

// files input files with one heading of cols parameters; the set as a whole has it too.
inline void same_heading_files(RunState& rs, int files, const std::string& heading, int cols) {
    rs.files.assign(static_cast<size_t>(files), InputFile{});
    for (InputFile& f : rs.files) {
        f.line = heading;
        f.numcols = cols;
    }
    rs.totals.line = heading;
    rs.totals.numcols = cols;
    rs.filenum = files - 1;
}
