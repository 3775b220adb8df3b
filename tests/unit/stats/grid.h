// A hand-filled sample grid for the statistics tests: one series per parameter slot
// (columns 1, 2, ... in selection order), rows one minute apart from midnight.
#pragma once
#include <string>
#include <vector>

#include "base/out.h"
#include "core/run_state.h"

inline std::string minute_stamp(int r) {
    return strfmt("01-JAN-2024 %02d:%02d:00", r / 60 % 24, r % 60);
}

// files[f][p] is the series of parameter p in file f; all series have the same length.
// Two spare slots follow the parameters, as the grid leaves room for the Others series.
inline RunState make_grid(const std::vector<std::vector<std::vector<double>>>& files,
                          const std::vector<std::string>& labels = {}) {
    RunState rs;
    rs.filenum = static_cast<int>(files.size()) - 1;
    rs.numpar = static_cast<int>(files[0].size());
    rs.num = static_cast<int>(files[0][0].size());
    rs.numcol = rs.numpar;
    rs.pts.assign(files.size(), {});
    for (size_t f = 0; f < files.size(); ++f) {
        rs.pts[f] = files[f];
        rs.pts[f].resize(files[f].size() + 2, std::vector<double>(rs.num + 1, 0.0));
        for (auto& s : rs.pts[f]) s.resize(rs.num + 1, 0.0);
    }
    rs.param_nums.assign(2, std::vector<int>(rs.numpar + 2, 0));
    rs.xlabel.assign(rs.numpar + 2, "");
    for (int p = 0; p < rs.numpar; ++p) {
        rs.param_nums[0][p] = p + 1;
        rs.xlabel[p] = p < static_cast<int>(labels.size()) ? labels[p] : strfmt("P%d", p + 1);
    }
    rs.fp_nums.assign(rs.numpar + 2, 0);
    rs.max_ar.assign(rs.numpar + 2, 0);
    rs.x_vals.resize(rs.num + 2);
    for (int r = 0; r < rs.num; ++r) rs.x_vals[r] = minute_stamp(r);
    rs.start_d = rs.end_d = "01-JAN-2024";
    return rs;
}
