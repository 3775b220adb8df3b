#include "export/sorted_extract.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/out.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "export/extract.h"
#include "stats/listing.h"
#include "stats/statistics.h"

namespace {

double value_at(const std::vector<double>& v, int i) {
    return i >= 0 && static_cast<size_t>(i) < v.size() ? v[i] : 0.0;
}

// One value of an extract row; a missing value is an empty field.
void write_csv_value(RunState& rs, double v) {
    if (is_missing(v))
        fout(rs.outcsvfp, ",");
    else
        fout(rs.outcsvfp, ",%.*f", rs.opt().precision, v);
}

// Sorted positions whose values go into the extract file (with top-n only the first n).
bool contributes(const RunState& rs, int w) {
    return !rs.opt().topflag || w < top_shown(rs);
}

// The rows follow in sorted order (also the typed order of a numeric list), so the
// heading is written here in the same order; the moving-average rows keep the
// selection order of the loader's heading.
void write_extract_header(RunState& rs, int n) {
    if (rs.opt().macsvflg || rs.opt().noheader) return;
    size_t hdr = rs.files.empty() ? 0 : rs.files[0].line.size();
    if (rs.opt().verbose) out("Allocated %d bytes for tline\n", static_cast<int>(hdr + 100));
    std::string tline = csv_format(rs) == 2 ? "" : "Sample Time";
    for (int w = 0; w < n; ++w)
        if (contributes(rs, w)) tline += "," + label_of(rs, sorted_param(rs, w));
    if (rs.opt().topflag) tline += "," + label_of(rs, rs.numpar + 1);
    if (csv_format(rs) == 2)
        write_fmt2_header(rs, tline);
    else
        fout(rs.outcsvfp, "%s\n", tline.c_str());
}

}  // namespace

void write_sorted_extract(RunState& rs, int n) {
    if (!rs.opt().eflag) return;
    write_extract_header(rs, n);
    if (rs.opt().macsvflg) return;
    int rows = std::min(rs.num, static_cast<int>(rs.x_vals.size()));
    std::vector<const std::vector<double>*> cols;
    for (int w = 0; w < n; ++w)
        if (contributes(rs, w)) cols.push_back(rs.grid_series(sorted_param(rs, w)));
    if (rs.opt().topflag) cols.push_back(rs.grid_series(rs.numpar + 1));
    for (int r = 0; r < rows; ++r) {
        if (rs.x_vals[r].empty()) continue;
        fout(rs.outcsvfp, "%s", rs.x_vals[r].c_str());
        for (const std::vector<double>* c : cols)
            write_csv_value(rs, c ? value_at(*c, r) : 0.0);
        fout(rs.outcsvfp, "\n");
    }
}

void write_ma_csv(RunState& rs) {
    int rows = std::min(rs.num, static_cast<int>(rs.x_vals.size()));
    int nth = rs.opt().nth > 0 ? rs.opt().nth : 1;
    for (int r = 0; r < rows; r += nth) {
        if (rs.x_vals[r].empty()) continue;
        fout(rs.outcsvfp, "%s", rs.x_vals[r].c_str());
        for (int k = 0; k < rs.numpar; ++k) {
            double v =
                static_cast<size_t>(k) < rs.mapoints.size() ? value_at(rs.mapoints[k], r) : 0;
            write_csv_value(rs, v);
        }
        fout(rs.outcsvfp, "\n");
    }
    close_output_csv(rs);
}
