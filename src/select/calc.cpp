#include "select/calc.h"

#include <cmath>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/tables.h"
#include "select/patmat.h"

namespace {

constexpr int MAXOPERANDS = 5;
constexpr int CONSTANT = -1;
constexpr int CALCULATED = -3;

bool is_wild_line(const RunState& rs, int c) {
    return c < 50 && rs.wildcalc[c];
}

size_t idx(int i) {
    return static_cast<size_t>(i);
}

// The fields after the keyword, trimmed; "|" separates them when the line has one.
std::vector<std::string> calc_fields(const std::string& line) {
    char delim = line.find('|') != std::string::npos ? '|' : ',';
    std::vector<std::string> f = split_fields(line, delim);
    if (!f.empty()) f.erase(f.begin());
    for (auto& s : f) trim(s);
    return f;
}

// An operand read as a number rather than a column name: empty, beginning with "0" or
// with a non-zero number, or a whole number such as ".5" or "-0.25".
bool is_constant(const std::string& op) {
    if (op.empty() || op[0] == '0' || atoi_s(op) != 0) return true;
    if (!isdigit(static_cast<unsigned char>(op[0])) && op[0] != '.' && op[0] != '-' && op[0] != '+')
        return false;
    char* end = nullptr;
    strtod(op.c_str(), &end);
    return end != op.c_str() && *end == '\0';
}

// Whether the comma list already holds the term (whole terms, any letter case).
bool has_term(const std::string& list, const std::string& term) {
    std::string want = upper_copy(term);
    for (auto t : split_fields(list)) {
        if (upper_copy(trim(t)) == want) return true;
    }
    return false;
}

void append_term(std::string& collected, const std::string& term) {
    if (!collected.empty() && collected.back() != ',') collected += ',';
    collected += term;
    collected += ',';
}

template <class T>
void grow(std::vector<T>& v, size_t n, const T& fill) {
    if (v.size() < n) v.resize(n, fill);
}

// The tables are sized from the count of the parameter file; a line beyond that count
// (or a caller that never counted) still gets its entry.
void ensure_entry(RunState& rs, int c) {
    size_t n = idx(c + 1);
    grow(rs.calcp, 52, std::vector<std::string>());
    for (auto& row : rs.calcp) grow(row, n, std::string());
    grow(rs.calcpar, 52, std::vector<int>());
    for (auto& row : rs.calcpar) grow(row, n, 0);
    grow(rs.calcops, 50, std::vector<std::string>());
    for (auto& row : rs.calcops) grow(row, n, std::string());
    grow(rs.calc, n, std::string());
    grow(rs.wlcalc, n, std::string());
    grow(rs.paracnt, n, 0);
    grow(rs.opercnt, n, 0);
    grow(rs.skipcalc, n, 0);
    grow(rs.calcparmnum, n, 0);
}

// First slot after the selected parameters (and the derived memory parameter).
int first_calc_slot(const RunState& rs) {
    return rs.numpar + (rs.freelistnum != -1 ? 1 : 0);
}

void build_colslot(RunState& rs) {
    int maxcol = rs.numcol;
    for (int k = 0; k < rs.numpar; ++k) maxcol = std::max(maxcol, rs.param_nums[0][idx(k)]);
    rs.colslot.assign(idx(maxcol + 1), -1);
    for (int k = 0; k < rs.numpar; ++k) {
        int col = rs.param_nums[0][idx(k)];
        if (col >= 0 && rs.colslot[idx(col)] == -1) rs.colslot[idx(col)] = k;
    }
}

void set_label(RunState& rs, int slot, const std::string& label) {
    grow(rs.xlabel, idx(slot + 1), std::string());
    rs.xlabel[idx(slot)] = label;
}

// Resolves operand j of line c: a constant, a selected column, or another line's result.
void translate_operand(RunState& rs, int c, int j) {
    int& what = rs.calcpar[idx(j)][idx(c)];
    int& slot = rs.calcparslot[idx(j)][idx(c)];
    what = CONSTANT;
    slot = -1;
    std::string& op = rs.calcp[idx(j)][idx(c)];
    replace_substring(op, "$CPUS", strfmt("%d", rs.numcpus));
    replace_substring(op, "$MEMORY", strfmt("%d", rs.physmem));
    if (is_constant(op)) return;
    for (int k = 0; k < rs.numpar; ++k) {
        if (patmat(rs, rs.xlabel[idx(k)], op)) {
            what = rs.param_nums[0][idx(k)];
            slot = k;
            return;
        }
    }
    for (int d = 0; d < rs.numcalcs; ++d) {
        if (is_wild_line(rs, d) || !patmat(rs, rs.calc[idx(d)], op)) continue;
        what = CALCULATED;
        if (rs.opt().verbose)
            out("Using a Calculated param (%s) in another calculation!!\n",
                rs.calc[idx(d)].c_str());
        // Only an earlier line has a value for this row yet; a later one gives 0.
        for (int e = 0; e < c; ++e) {
            if (!is_wild_line(rs, e) && patmat(rs, rs.calc[idx(e)], op)) {
                slot = e;
                break;
            }
        }
        return;
    }
    out("Invalid [CALC] parameter, '%s' Not in CSV file\n", op.c_str());
    rs.skipcalc[idx(c)] = 1;
}

double value_at(const RunState& rs, int f, int slot, int row) {
    if (slot < 0 || idx(slot) >= rs.pts[idx(f)].size()) return 0;
    const auto& series = rs.pts[idx(f)][idx(slot)];
    return row >= 0 && idx(row) < series.size() ? series[idx(row)] : 0;
}

double operand_value(const RunState& rs, int f, int c, int j, int row) {
    int what = rs.calcpar[idx(j)][idx(c)];
    int slot = rs.calcparslot[idx(j)][idx(c)];
    if (what == CONSTANT) return atof_s(rs.calcp[idx(j)][idx(c)]);
    if (what == CALCULATED) return slot < 0 ? 0 : value_at(rs, f, rs.calcparmnum[idx(slot)], row);
    return value_at(rs, f, slot, row);
}

// Strictly left to right, no precedence; division only by a positive value.
double apply(double v, const std::string& oper, double x) {
    switch (oper.empty() ? ' ' : oper[0]) {
        case '+':
            return v + x;
        case '-':
            return v - x;
        case '*':
            return v * x;
        case '/':
            return x > 0 || is_missing(x) ? v / x : v;
        default:
            return v;
    }
}

bool store(RunState& rs, int f, int slot, int row, double v) {
    if (f < 0 || idx(f) >= rs.pts.size() || slot < 0 || idx(slot) >= rs.pts[idx(f)].size())
        return false;
    auto& series = rs.pts[idx(f)][idx(slot)];
    if (row < 0 || idx(row) >= series.size()) return false;
    // A missing operand, or infinite ones that give no number (inf - inf), leave the
    // result missing, like a field that is no number.
    series[idx(row)] = v;
    return true;
}

// The line and index of an existing wildcard label. A label is one parameter whichever
// line makes it: a second line giving the same label adds its columns to the first one's
// sum instead of making a second, same-named chart.
void find_wild_label(const RunState& rs, const std::string& label, int& owner, int& s) {
    for (int d = 0; d < rs.numcalcs; ++d) {
        if (!is_wild_line(rs, d)) continue;
        for (int t = 0; t < rs.wcalc[idx(d)]; ++t)
            if (rs.wcalc_label[idx(d)][idx(t)] == label) {
                owner = d;
                s = t;
                return;
            }
    }
}

}  // namespace

int parse_calc_line(RunState& rs, const std::string& line, std::string& collected) {
    std::vector<std::string> f = calc_fields(line);
    int n = static_cast<int>(f.size());
    if (n < 4 && (n == 0 || f[0].find('*') == std::string::npos)) {
        out("not enough [CALC] parameters: %s\n", line.c_str());
        end_run(END_ERROR);
    }
    // A short line with a star in its first field would define nothing: it is refused
    // like any other line with a wrong number of fields.
    if (n < 4 || (n <= 10 && n % 2 == 1)) {
        out("Invalid number of parameters: %s\n", line.c_str());
        return -1;
    }
    if (n > 10) {
        out("Too many parameters: %s\n", line.c_str());
        return -1;
    }
    int opers = (n - 2) / 2;
    for (int m = 0; m < opers; ++m) {
        const std::string& op = f[idx(2 * m + 1)];
        if (op.size() != 1 || std::string("+-/*").find(op) == std::string::npos) {
            out("Invalid CALC operator, %s. Must be one of +, -, /, or *\n", op.c_str());
            return -1;
        }
    }
    int c = rs.numcalcs;
    ensure_entry(rs, c);
    rs.paracnt[idx(c)] = n;
    rs.opercnt[idx(c)] = opers;
    rs.skipcalc[idx(c)] = 0;
    for (int j = 0; j <= opers; ++j) {
        const std::string& operand = f[idx(2 * j)];
        rs.calcp[idx(j)][idx(c)] = operand;
        if (j < opers) rs.calcops[idx(j)][idx(c)] = f[idx(2 * j + 1)];
        if (!is_constant(operand) && operand[0] != '$' && !has_term(collected, operand))
            append_term(collected, operand);
    }
    rs.calc[idx(c)] = f.back();
    return 1;
}

int parse_wildcalc_line(RunState& rs, const std::string& line, std::string& collected) {
    std::vector<std::string> f = calc_fields(line);
    if (f.size() > 30) {
        out("too many parameters\n");
        end_run(END_ERROR);
    }
    if (f.size() != 2) {
        out("Invalid number of wildcard [CALC] parameters: %s\n", line.c_str());
        return -1;
    }
    int c = rs.numcalcs;
    ensure_entry(rs, c);
    rs.paracnt[idx(c)] = 2;
    rs.opercnt[idx(c)] = 0;
    rs.skipcalc[idx(c)] = 0;
    rs.wlcalc[idx(c)] = f[0];
    rs.calc[idx(c)] = f[1];
    append_term(collected, f[0]);
    return 1;
}

void get_wildcard_param_names(RunState& rs, const std::vector<std::string>& names, int c,
                              std::vector<int>& list) {
    size_t ncalc = idx(rs.numcalcs);
    if (rs.wild_nums.size() < ncalc || rs.wcalc_label.size() < ncalc) alloc_wild_nums(rs);
    grow(rs.wcalc, ncalc, 0);
    for (int n = 1; n <= rs.numcol && idx(n) <= names.size(); ++n) {
        std::string name = names[idx(n - 1)];
        trim(name);
        for (auto& v : rs.var) v.clear();
        if (!patmat(rs, name, rs.wlcalc[idx(c)])) continue;
        rs.nowcalcfound = 1;
        std::string label;
        insert_var_in_param(rs.calc[idx(c)], rs.var, label);

        int owner = -1, s = -1;
        find_wild_label(rs, label, owner, s);
        if (owner < 0) {
            s = rs.wcalc[idx(c)];
            if (s >= rs.numcol || idx(s) >= rs.wcalc_label[idx(c)].size()) {
                out("Too many wild-card matches. Exceeds (%d) %d\n", s, rs.numcol);
                end_run(END_ERROR);
            }
            rs.wcalc_label[idx(c)][idx(s)] = label;
            rs.wild_nums[idx(c)][idx(s)].assign(1, n);
            ++rs.wcalc[idx(c)];
            if (rs.opt().verbose) {
                out("*Writing %s to wcalc_label[%d][%d] [%s]\n", label.c_str(), c, s, name.c_str());
                out("*wild_nums[%d][%d][0]= %d\n", c, s, n);
            }
        } else {
            auto& routed = rs.wild_nums[idx(owner)][idx(s)];
            // The same column reached through two lines is counted once.
            if (std::find(routed.begin(), routed.end(), n) == routed.end()) {
                routed.push_back(n);
                if (rs.opt().verbose)
                    out("**wild_nums[%d][%d][%d]= %d\n", owner, s,
                        static_cast<int>(routed.size()) - 1, n);
            }
        }
        list.push_back(n);
    }
    if (!rs.nowcalcfound) out("No match for wildcard expression %s\n", rs.wlcalc[idx(c)].c_str());
}

void translate_calc_params(RunState& rs) {
    rs.calcs_on = 1;
    build_colslot(rs);
    if (rs.numcalcs <= 0) return;
    ensure_entry(rs, rs.numcalcs - 1);
    rs.calcparslot.assign(MAXOPERANDS, std::vector<int>(idx(rs.numcalcs), -1));
    int base = first_calc_slot(rs);
    for (int c = 0; c < rs.numcalcs; ++c) {
        rs.calcparmnum[idx(c)] = base + c;
        if (is_wild_line(rs, c)) continue;
        for (int j = 0; j <= rs.opercnt[idx(c)] && j < MAXOPERANDS; ++j)
            translate_operand(rs, c, j);
    }
    // Labels are known now, so the header of an extract can already show them.
    if (!rs.wild) {
        for (int c = 0; c < rs.numcalcs; ++c) set_label(rs, base + c, rs.calc[idx(c)]);
        return;
    }
    int slot = base;
    for (int c = 0; c < rs.numcalcs; ++c) {
        if (!is_wild_line(rs, c) || idx(c) >= rs.wcalc.size()) continue;
        for (int s = 0; s < rs.wcalc[idx(c)]; ++s)
            set_label(rs, slot++, rs.wcalc_label[idx(c)][idx(s)]);
    }
}

void get_calcparmpts(RunState& rs, int f, int row, std::vector<double>* values) {
    if (f < 0 || idx(f) >= rs.pts.size() || rs.calcparslot.size() < MAXOPERANDS) return;
    for (int c = 0; c < rs.numcalcs && idx(c) < rs.calcparslot[0].size(); ++c) {
        if (is_wild_line(rs, c) || rs.skipcalc[idx(c)]) continue;
        double v = operand_value(rs, f, c, 0, row);
        for (int m = 0; m < rs.opercnt[idx(c)] && m + 1 < MAXOPERANDS; ++m)
            v = apply(v, rs.calcops[idx(m)][idx(c)], operand_value(rs, f, c, m + 1, row));
        store(rs, f, rs.calcparmnum[idx(c)], row, v);
        if (values) values->push_back(v);
    }
}

void get_wildcalcparmpts(RunState& rs, int row, std::vector<double>* values) {
    if (rs.pts.empty()) return;
    if (rs.colslot.empty()) build_colslot(rs);
    int slot = first_calc_slot(rs);
    for (int c = 0; c < rs.numcalcs && idx(c) < rs.wcalc.size(); ++c) {
        if (!is_wild_line(rs, c)) continue;
        for (int s = 0; s < rs.wcalc[idx(c)]; ++s, ++slot) {
            // The sum of the values present; none present, no sum.
            double sum = MISSING;
            for (int col : rs.wild_nums[idx(c)][idx(s)]) {
                if (col < 0 || idx(col) >= rs.colslot.size()) continue;
                double v = value_at(rs, 0, rs.colslot[idx(col)], row);
                if (!is_missing(v)) sum = is_missing(sum) ? v : sum + v;
            }
            store(rs, 0, slot, row, sum);
            if (values) values->push_back(sum);
        }
    }
}

void CalculatedColumns::line_above(int f, int i, const std::string& line) {
    if (next) next->line_above(f, i, line);
}

void CalculatedColumns::heading(int f) {
    if (next) next->heading(f);
}

bool CalculatedColumns::wants_rows(int f) {
    next_wants = next && next->wants_rows(f);
    const bool calculates = rs.wild ? f == 0 : rs.numcalcs > 0;
    return next_wants || calculates;
}

void CalculatedColumns::cell(int j, int col, const char* text, size_t len, double v, bool bad) {
    if (next_wants) next->cell(j, col, text, len, v, bad);
}

void CalculatedColumns::row(StoredRow& row) {
    // The values are collected only for a taker that writes them.
    std::vector<double>* values = next_wants ? &row.calculated : nullptr;
    if (rs.wild) {
        if (row.file == 0) get_wildcalcparmpts(rs, row.slot, values);
    } else if (rs.numcalcs > 0) {
        get_calcparmpts(rs, row.file, row.slot, values);
    }
    if (next_wants) next->row(row);
}

void CalculatedColumns::end_of_load() {
    if (next) next->end_of_load();
}
