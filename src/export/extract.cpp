#include "export/extract.h"

#include <cmath>
#include <cstring>

#include "base/files.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "core/row_sink.h"
#include "input/fields.h"
#include "input/linereader.h"
#include "input/load.h"
#include "select/calc.h"

namespace {

const char* const START_BLOCK = "$$$ START COLUMN HEADERS $$$";
const char* const END_BLOCK = "$$$ END COLUMN HEADERS $$$";

bool writing(const RunState& rs) {
    return rs.opt().eflag && rs.outcsvfp;
}

size_t idx(int i) {
    return static_cast<size_t>(i < 0 ? 0 : i);
}

std::string label(const RunState& rs, int slot) {
    return slot >= 0 && idx(slot) < rs.xlabel.size() ? rs.xlabel[idx(slot)] : std::string();
}

bool wild_line(const RunState& rs, int c) {
    return c >= 0 && c < 50 && rs.wildcalc[c];
}

// Slot of the first calculated value: after the selected parameters and the derived
// memory parameter.
int first_calc_slot(const RunState& rs) {
    return rs.numpar + (rs.freelistnum != -1 ? 1 : 0);
}

// Labels of the wildcard sums, in the order their values are appended to a row.
void append_wild_labels(const RunState& rs, std::string& heading) {
    int slot = first_calc_slot(rs);
    for (int c = 0; c < rs.numcalcs && idx(c) < rs.wcalc.size(); ++c) {
        if (!wild_line(rs, c)) continue;
        for (int s = 0; s < rs.wcalc[idx(c)]; ++s) heading += "," + label(rs, slot++);
    }
}

// Labels of the ordinary calculated values, in the order their values are appended.
void append_calc_labels(const RunState& rs, std::string& heading) {
    int base = first_calc_slot(rs);
    for (int c = 0; c < rs.numcalcs; ++c) {
        if (wild_line(rs, c)) continue;
        if (idx(c) < rs.skipcalc.size() && rs.skipcalc[idx(c)]) continue;
        heading += "," + label(rs, base + c);
    }
}

// The heading that matches the rows written for this run: the moving averages of every
// parameter, the wildcard sums alone, or the selected columns and calculated values.
std::string heading_of_run(const RunState& rs) {
    std::string first = rs.newline.substr(0, rs.newline.find(','));
    std::string heading = first;
    if (rs.opt().macsvflg) {
        int total = first_calc_slot(rs) + (rs.wild ? rs.totwcalc : rs.numcalcs);
        for (int k = 0; k < total; ++k) heading += "," + label(rs, k);
    } else if (rs.wild) {
        append_wild_labels(rs, heading);
    } else {
        heading = rs.newline;
        append_calc_labels(rs, heading);
    }
    return heading;
}

void write_node_line(RunState& rs) {
    const std::string node = rs.files.empty() ? std::string() : rs.files[0].nodenam;
    if (rs.perfmon)
        fout(rs.outcsvfp, "%s, PERFMON data (Converted to Y8 format by TSGRAF)\n", node.c_str());
    else
        fout(rs.outcsvfp, "%s, Y8EXTR (Converted to Y8 format by TSGRAF)\n", node.c_str());
}

// Fields of a line split at every comma, empty ones kept.
std::vector<std::string> comma_fields(const std::string& line) {
    std::vector<std::string> f;
    size_t start = 0;
    for (;;) {
        size_t comma = line.find(',', start);
        if (comma == std::string::npos) {
            f.emplace_back(line, start);
            return f;
        }
        f.emplace_back(line, start, comma - start);
        start = comma + 1;
    }
}

// A row of the first file as trim-zeros reads it again.
struct TrimRow {
    std::string stamp;
    std::vector<std::string> fields;  // the fields after the time stamp, empty ones kept
};

// Calls fn for every row of the first file after its first data line: quotes removed,
// lines of one character or less passed over, rows whose first field has a colon and
// that lie in the time range. Every row is taken (no thinning).
template <class Fn>
void each_trim_row(RunState& rs, bool report, Fn fn) {
    const std::string& name = rs.files[0].datafil;
    FILE* fp = open_input(name);
    if (!fp) {
        out("Input file %s not found\n", name.c_str());
        end_run(END_ERROR);
    }
    FileCloser closer{fp};
    LineReader rd(fp);
    std::string ln;
    int first = rs.files.empty() ? 0 : rs.files[0].firstdataline;
    for (int i = 0; i < first && rd.next(ln); ++i) {
    }
    TrimRow row;
    while (rd.next(ln)) {
        if (rd.rawlen() <= 1) continue;
        remove_chars(ln, '"');
        size_t b = ln.find_first_not_of(',');
        if (b == std::string::npos) {
            if (report) out("strtok call failed! %s\n", ln.c_str());
            continue;
        }
        size_t e = ln.find(',', b);
        if (e == std::string::npos) e = ln.size();
        row.stamp.assign(ln, b, e - b);
        if (row.stamp.find(':') == std::string::npos) continue;
        trim(row.stamp);
        if (!row_in_range(rs, row.stamp)) continue;
        row.fields.clear();
        // A comma that ends the line starts no field, as in the loader.
        while (e < ln.size() && e + 1 < ln.size()) {
            size_t s = e + 1;
            size_t n = ln.find(',', s);
            if (n == std::string::npos) n = ln.size();
            row.fields.emplace_back(ln, s, n - s);
            e = n;
        }
        fn(row);
    }
}

// A field that is not a number is a missing value, written as an empty field.
bool no_number(const std::string& text) {
    if (text.find(':') != std::string::npos) return false;
    bool bad = false;
    field_value(text.data(), text.data() + text.size(), bad);
    return bad;
}

const std::string* field_of(const TrimRow& row, int col) {
    return col >= 1 && idx(col - 1) < row.fields.size() ? &row.fields[idx(col - 1)] : nullptr;
}

// Largest 100 x |value| of every selected column over the rows trim-zeros writes. The
// magnitude counts, so negative values are data too; a colon reads as 0.
void find_trim_maxima(RunState& rs) {
    rs.tr_maxpts.assign(idx(rs.numpar), 0.0);
    const std::vector<int>* cols = rs.param_nums.empty() ? nullptr : &rs.param_nums[0];
    each_trim_row(rs, false, [&](const TrimRow& row) {
        for (int j = 0; j < rs.numpar; ++j) {
            int col = cols && idx(j) < cols->size() ? (*cols)[idx(j)] : 0;
            const std::string* text = field_of(row, col);
            if (!text || text->find(':') != std::string::npos) continue;
            double m = std::trunc(std::fabs(atof_s(*text)) * 100.0);
            if (m > rs.tr_maxpts[idx(j)]) rs.tr_maxpts[idx(j)] = m;
        }
    });
}

}  // namespace

bool extract_heading_on(const RunState& rs) {
    return writing(rs) && !rs.opt().noheader && !rs.opt().trimzeros && (!rs.srtflag || rs.opt().macsvflg);
}

bool extract_rows_on(const RunState& rs) {
    return writing(rs) && !rs.opt().macsvflg && !rs.opt().trimzeros && !rs.srtflag;
}

void extract_heading(RunState& rs, int f) {
    if (f != 0 || !extract_heading_on(rs)) return;
    std::string heading = heading_of_run(rs);
    if (csv_format(rs) == 2) {
        write_fmt2_header(rs, heading);
        return;
    }
    if (rs.hdrsmissing) write_node_line(rs);
    size_t comma = heading.find(',');
    std::string names = comma == std::string::npos ? std::string() : heading.substr(comma + 1);
    fout(rs.outcsvfp, "Sample Time, %s\n", names.c_str());
}

std::string extract_value(const RunState& rs, int col, const char* text, size_t len, double v) {
    bool fractional =
        rs.opt().decsize >= 0 && col >= 0 && idx(col) < rs.fp_nums.size() && rs.fp_nums[idx(col)];
    if (fractional) return strfmt(",%.*f", rs.opt().decsize, v);
    if (len == 0) return ", ";
    std::string s(1, ',');
    s.append(text, len);
    return s;
}

namespace {

// The extract output takes the loader's rows: the lines above the heading, the heading and
// each row with its fields as read and its calculated values.
class ExtractSink : public RowSink {
public:
    explicit ExtractSink(RunState& s) : rs(s) {}

    void line_above(int f, int i, const std::string& line) override {
        if (f != 0 || !writing(rs) || rs.opt().noheader || rs.files.empty()) return;
        if (i >= rs.files[0].paraline) return;
        // Format 2: the lines above the start of the heading block.
        if (rs.files[0].y8format == LAYOUT_HEADING_BLOCK &&
            line.find(START_BLOCK) != std::string::npos)
            return;
        fout(rs.outcsvfp, "%s\n", line.c_str());
    }

    void heading(int f) override { extract_heading(rs, f); }

    bool wants_rows(int f) override {
        if (!extract_rows_on(rs) || (f != 0 && !rs.opt().append)) return false;
        vals.assign(idx(rs.numpar), ",");
        return true;
    }

    void cell(int j, int col, const char* text, size_t len, double v, bool bad) override {
        if (j < 0 || idx(j) >= vals.size()) return;
        vals[idx(j)] = bad ? std::string(",") : extract_value(rs, col, text, len, v);
    }

    void row(StoredRow& row) override {
        line = row.stamp;
        // With wildcard calculations a row holds only the sums.
        if (!rs.wild)
            for (std::string& v : vals) {
                line += v;
                v = ",";
            }
        // A missing calculated value is an empty field.
        for (double v : row.calculated) line += is_missing(v) ? std::string(",") : strfmt(",%.2f", v);
        line += '\n';
        if (rs.outcsvfp) fwrite(line.data(), 1, line.size(), rs.outcsvfp);
    }

    // Closes the output the loader wrote; a finished x extract or append run ends here.
    void end_of_load() override {
        if (!extract_rows_on(rs)) return;
        close_output_csv(rs);
        if (rs.opt().xflag || rs.opt().append) {
            out("Output file %s created\n", rs.opt().csv_outfil.c_str());
            end_run(END_OK);
        }
    }

private:
    RunState& rs;
    std::vector<std::string> vals;  // the row's field texts, per parameter slot
    std::string line;
};

}  // namespace

void load_and_extract(RunState& rs) {
    ExtractSink extract(rs);
    CalculatedColumns calculated(rs, &extract);
    read_all_data(rs, &calculated);
}

void write_fmt2_header(RunState& rs, const std::string& newline) {
    FILE* fp = rs.outcsvfp;
    if (!fp) return;
    std::vector<std::string> f = comma_fields(newline);
    const std::string& first = f[0];
    std::string up = upper_copy(first);
    bool timehead = up.find(" TIME") != std::string::npos || up == "TIME";
    fout(fp, "%s\n", START_BLOCK);
    size_t len = 0;
    int cnt = 0;
    bool linestart = true;
    if (timehead) {
        fout(fp, "%s", first.c_str());
        len = first.size();
        cnt = 1;
        linestart = false;
    } else {
        // The block's first field is read back as the time heading, so a first field
        // that is none is replaced by this line, not kept in front of the names.
        fout(fp, "Sample Time\n");
    }
    for (size_t k = 1; k < f.size(); ++k) {
        const std::string& name = f[k];
        if (linestart) {
            fout(fp, "%s", name.c_str());
            len = name.size();
            cnt = 1;
            linestart = false;
            continue;
        }
        len += name.size() + 1;
        ++cnt;
        if (len < 132 && cnt <= rs.fmt2max) {
            fout(fp, ",%s", name.c_str());
        } else {
            fout(fp, "\n%s", name.c_str());
            len = name.size();
            cnt = 1;
        }
    }
    fout(fp, linestart ? "%s\n" : "\n%s\n", END_BLOCK);
}

void write_trimzeros(RunState& rs, int) {
    find_trim_maxima(rs);
    const std::vector<int>* cols = rs.param_nums.empty() ? nullptr : &rs.param_nums[0];
    std::vector<int> kept;  // column numbers of the kept parameters
    std::string heading =
        rs.files.empty() ? std::string("Sample Time") : first_field(rs.files[0].line);
    int excluded = 0;
    for (int j = 0; j < rs.numpar; ++j) {
        int col = cols && idx(j) < cols->size() ? (*cols)[idx(j)] : 0;
        if (rs.tr_maxpts[idx(j)] >= 1 && col >= 1) {
            kept.push_back(col);
            heading += "," + label(rs, j);
        } else {
            ++excluded;
        }
    }
    if (!rs.opt().noheader && rs.outcsvfp) {
        if (csv_format(rs) == 2)
            write_fmt2_header(rs, heading);
        else
            fout(rs.outcsvfp, "%s\n", heading.c_str());
    }
    std::string outrow;
    each_trim_row(rs, true, [&](const TrimRow& row) {
        outrow = row.stamp;
        for (int col : kept) {
            outrow += ',';
            const std::string* text = field_of(row, col);
            if (text && !no_number(*text)) outrow += *text;
        }
        outrow += '\n';
        if (rs.outcsvfp) fwrite(outrow.data(), 1, outrow.size(), rs.outcsvfp);
    });
    close_output_csv(rs);
    out("\nOutput file %s created with %d parameters\n", rs.opt().csv_outfil.c_str(),
        static_cast<int>(kept.size()));
    out("Excluded %d all-zero parameters\n", excluded);
    if (rs.opt().verbose) get_current_time(rs, "Ended at");
    end_run(END_OK);
}
