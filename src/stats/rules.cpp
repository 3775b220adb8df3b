#include "stats/rules.h"

#include <algorithm>
#include <cstdio>

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "stats/statistics.h"

namespace {

using Rule = RunState::Y8Rule;

// Period field: A... average, MAX maximum, MIN minimum, else minutes converted to samples.
int period_of(const RunState& rs, std::string f) {
    strupper(f);
    if (f.compare(0, 1, "A") == 0) return Rule::PERIOD_AVERAGE;
    if (f.compare(0, 3, "MAX") == 0) return Rule::PERIOD_MAXIMUM;
    if (f.compare(0, 3, "MIN") == 0) return Rule::PERIOD_MINIMUM;
    // Negative minutes would read as the average/maximum/minimum codes.
    long long secs = std::max(atoi_s(f), 0) * 60LL;
    // Without a known sample interval the samples are taken as seconds apart.
    long long samples = rs.sampint > 0 ? secs / rs.sampint : secs;
    return static_cast<int>(std::min<long long>(samples, 2147483647));
}

void threshold_of(Rule& r, const std::string& f) {
    size_t star = f.find('*');
    if (star == std::string::npos) {
        r.thresh = atof_s(f);
        return;
    }
    std::string base = f.substr(0, star);
    trim(base);
    strupper(base);
    r.thresh_par = base.substr(0, 3);
    std::string mult = f.substr(star + 1);
    r.thresh_mult = atof_s(strltrim(mult));
    r.thresh = -1;
}

// The first $P1 (else $p1) and then $P2 (else $p2) of the caption.
void fill_caption(Rule& r) {
    std::string t = plain_number(r.thresh), p = strfmt("%d", r.period);
    r.msg = r.caption;
    if (!replace_substring(r.msg, "$P1", t)) replace_substring(r.msg, "$p1", t);
    if (!replace_substring(r.msg, "$P2", p)) replace_substring(r.msg, "$p2", p);
}

// A rule from one line; false when the line holds no field (the reading ends there).
bool parse_rule(RunState& rs, const std::string& line, Rule& r) {
    std::vector<std::string> f =
        split_fields(line, line.find('|') != std::string::npos ? '|' : ',');
    for (std::string& s : f) trim(s);
    bool blank = true;
    for (const std::string& s : f) blank = blank && s.empty();
    if (blank) return false;
    r = Rule();
    r.para = f[0];
    remove_chars(r.para, '"');
    if (f.size() > 1) {
        r.op = f[1];
        if (std::string(">=<").find(r.op) == std::string::npos) {
            out("Error in %s, invalid Operator '%s' in line:\n%s\n", rs.opt().rulfil.c_str(),
                r.op.c_str(), line.c_str());
            end_run(END_ERROR);
        }
    }
    if (f.size() > 2) threshold_of(r, f[2]);
    if (f.size() > 3) r.period = period_of(rs, f[3]);
    if (f.size() > 4) r.caption = f[4];
    if (f.size() > 5) r.optfil = f[5];
    fill_caption(r);
    return true;
}

FILE* create_output(RunState& rs, const std::string& name) {
    refuse_input_as_output(rs, name);
    FILE* fp = open_pending(rs, name);
    if (!fp) {
        out("\nError opening output file, %s\n", name.c_str());
        end_run(END_ERROR);
    }
    return fp;
}

// The hh:mm part of a grid row's time text.
std::string hhmm(const RunState& rs, int row) {
    if (row < 0 || static_cast<size_t>(row) >= rs.x_vals.size()) return std::string();
    const std::string& t = rs.x_vals[row];
    return t.size() > 12 ? t.substr(12) : std::string();
}

const std::vector<double>* values_of(const RunState& rs, int f, int p) {
    if (f < 0 || p < 0 || static_cast<size_t>(f) >= rs.pts.size() ||
        static_cast<size_t>(p) >= rs.pts[f].size())
        return nullptr;
    return &rs.pts[f][p];
}

double ratio(const RunState& rs) {
    return rs.max_y_ratio != 0 ? rs.max_y_ratio : 1;
}

Rule* current(RunState& rs) {
    if (rs.ruleflg == RunState::RULE_NONE || rs.ruleindx < 0 ||
        static_cast<size_t>(rs.ruleindx) >= rs.ruleptr.size())
        return nullptr;
    return &rs.ruleptr[rs.ruleindx];
}

// A stretch from start to end fired.
void fire_stretch(RunState& rs, Rule& r, int param, int start, int end, int endrow) {
    r.fired = 1;
    if (rs.cntfires < MAXRULEFIRES) {
        r.pts.resize(2 * static_cast<size_t>(rs.cntfires));
        r.pts.push_back(start);
        r.pts.push_back(end);
        ++rs.cntfires;
    }
    out("RULE Fired: %3d %-30.30s %s %5.5s to %5.5s\n", column_of(rs, param),
        label_of(rs, param).c_str(), r.msg.c_str(), hhmm(rs, start).c_str(),
        hhmm(rs, endrow).c_str());
}

}  // namespace

void get_y8rules(RunState& rs) {
    FILE* fp = fopen(rs.opt().rulfil.c_str(), "rb");
    if (!fp) {
        rs.rules_unused = 1;
        return;
    }
    if (rs.opt().oflag || rs.filenum >= 1) {
        out("\nIgnoring %s for overlay charts\n\n", rs.opt().rulfil.c_str());
        fclose(fp);
        rs.rules_unused = 1;
        return;
    }
    if (!rs.opt().qflag) out("\nReading Y8 Rules from %s\n\n", rs.opt().rulfil.c_str());
    rs.ruleptr.clear();
    std::string line;
    // The file is closed also when a bad line ends the run.
    FileCloser closer{fp};
    while (static_cast<int>(rs.ruleptr.size()) < MAXRULES && read_line(fp, line)) {
        if (line.compare(0, 1, ";") == 0) continue;
        Rule r;
        if (!parse_rule(rs, line, r)) break;
        rs.ruleptr.push_back(std::move(r));
    }

    if (rs.opt().dirflag) switch_dir(rs.opt().direcname, "13", rs.opt().verbose);
    rs.htmrfp = create_output(rs, rs.htmrulfil);
    fout(rs.htmrfp, "<html><title>Y8 charts of Norvale Monitor data - Fired Rules</title>\n");
    rs.rparfp = create_output(rs, "Y8RULESPAR.LIS");
    if (rs.opt().dirflag) switch_dir(rs.opt().curname, "14", rs.opt().verbose);
}

void init_rules(RunState& rs, int param) {
    rs.ruleflg = RunState::RULE_NONE;
    rs.cntfires = 0;
    rs.ruleindx = -1;
    std::string label = upper_copy(label_of(rs, param));
    for (size_t i = 0; i < rs.ruleptr.size(); ++i) {
        Rule& r = rs.ruleptr[i];
        if (label.find(upper_copy(r.para)) == std::string::npos) continue;
        rs.ruleindx = static_cast<int>(i);
        rs.ruleflg = r.period >= 0 ? RunState::RULE_HELD_FOR_PERIOD : RunState::RULE_ON_STATISTIC;
        r.cnt = r.flg = r.fired = 0;
        r.pts.clear();
        return;
    }
}

void rule_check1(RunState& rs, const ParamStats& st, int param) {
    Rule* r = current(rs);
    if (!r || r->fired) return;
    const double div = ratio(rs);
    double value = r->period == Rule::PERIOD_AVERAGE   ? st.avg
                   : r->period == Rule::PERIOD_MAXIMUM ? st.max_y
                                                       : st.min_y;
    double v = value / div;
    bool fires = (r->op == "<" && v < r->thresh) || (r->op == ">" && v > r->thresh) ||
                 (r->op == "=" && v == r->thresh);
    if (!fires) return;
    r->fired = 1;
    r->pts = {0, 1};
    rs.cntfires = 1;
    out("RULE Fired: %3d %-30.30s %s\n", column_of(rs, param), label_of(rs, param).c_str(),
        r->msg.c_str());
}

int rule_check2(RunState& rs, int i, int k, int tmpk, int param) {
    Rule* r = current(rs);
    const std::vector<double>* vals = values_of(rs, i, param);
    if (!r || !vals || k < 0 || static_cast<size_t>(k) >= vals->size()) return tmpk;
    double v = (*vals)[k] / ratio(rs);
    r->flg = (r->op == "<" && v <= r->thresh) || (r->op == ">" && v >= r->thresh) ||
             (r->op == "=" && v == r->thresh);
    if (r->flg) {
        if (r->cnt == 0) tmpk = k;
        ++r->cnt;
        return tmpk;
    }
    if (r->cnt > r->period) fire_stretch(rs, *r, param, tmpk, k, k);
    r->cnt = 0;
    return tmpk;
}

void rule_check2_end(RunState& rs, int k, int tmpk, int param) {
    Rule* r = current(rs);
    if (!r) return;
    if (r->cnt > r->period) fire_stretch(rs, *r, param, tmpk, k, k - 1);
    r->cnt = 0;
}

// A threshold relative to the parameter's maximum, minimum or average, from its statistics;
// the caption then shows the threshold reached.
static void relative_threshold(RunState& rs, const ParamStats& st, Rule& r) {
    if (r.thresh_par.empty()) return;
    const double div = ratio(rs);
    double base = r.thresh_par == "MAX"   ? st.max_y
                  : r.thresh_par == "MIN" ? st.min_y
                  : r.thresh_par == "AVG" ? st.avg
                                          : -div;
    r.thresh = base / div * r.thresh_mult;
    fill_caption(r);
}

void check_rules(RunState& rs, const ParamStats& st, int w) {
    init_rules(rs, w);
    if (st.nodata) rs.ruleflg = RunState::RULE_NONE;  // no value to test
    if (Rule* r = current(rs)) relative_threshold(rs, st, *r);
    if (rs.ruleflg == RunState::RULE_ON_STATISTIC) rule_check1(rs, st, w);
    if (rs.ruleflg != RunState::RULE_HELD_FOR_PERIOD) return;
    const std::vector<double>* vals = values_of(rs, 0, w);
    int n = vals ? static_cast<int>(std::min<size_t>(vals->size(), std::max(rs.num, 0))) : 0;
    int tmpk = 0;
    for (int k = 0; k < n; ++k) tmpk = rule_check2(rs, 0, k, tmpk, w);
    rule_check2_end(rs, n, tmpk, w);
}

const RunState::Y8Rule* fired_rule(const RunState& rs) {
    if (!rules_in_force(rs) || rs.ruleflg == RunState::RULE_NONE || rs.ruleindx < 0 ||
        static_cast<size_t>(rs.ruleindx) >= rs.ruleptr.size())
        return nullptr;
    const Rule& r = rs.ruleptr[rs.ruleindx];
    return r.fired ? &r : nullptr;
}

int threshold_row(const RunState& rs, const RunState::Y8Rule& r, int boryt) {
    // Mapped like the data line, on the chart's own scale, so that the line crosses the
    // series exactly where it reaches the threshold.
    double t = static_cast<double>(r.thresh) * rs.max_y_ratio;
    double divisor = rs.divisor != 0 ? rs.divisor : 1.0;
    long long row = static_cast<long long>(boryt) + rs.hi -
                    trunc_to_int((t - rs.scale_y_min) / divisor * rs.hi);
    return row < boryt || row > static_cast<long long>(boryt) + rs.hi ? -1 : static_cast<int>(row);
}
