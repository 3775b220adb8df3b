#include "select/selection.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "base/dirswitch.h"
#include "base/files.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "core/tables.h"
#include "select/calc.h"
#include "select/paramlist.h"
#include "select/patmat.h"
#include "select/rename.h"

namespace {

constexpr int MAXPARAMS = 20000;
constexpr int MAXLABEL = 139;
constexpr int MAXOVERLAY = 20;

bool all_of_set(const std::string& s, const char* set) {
    return !s.empty() && s.find_first_not_of(set) == std::string::npos;
}

bool is_all_digits(const std::string& s) { return all_of_set(s, ",0123456789"); }

bool is_digit_range(const std::string& s) {
    return all_of_set(s, "0123456789-") && s.find('-') != std::string::npos;
}

bool starts_with(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

bool is_rename_line(const std::string& s) {
    return starts_with(s, "[RENAME]") || starts_with(s, "[rename]");
}

// Terms that never name columns: calculation markers and leading numbers.
bool is_ignored_term(const std::string& t) {
    return t.find("[CALC]") != std::string::npos || t.find("$MEMORY") != std::string::npos ||
           t.find("$CPUS") != std::string::npos || atoi_s(t) > 0;
}

// The list as PARAM.LIS records it: the numbers joined by commas, a list taken as it
// was written as written, and the one column of a wildcard calculation with the comma
// the match list puts after each column.
std::string list_record(const ParamSelection& sel) {
    if (sel.list_source == LIST_WRITTEN) return sel.list_text;
    std::string s;
    for (int c : sel.param_list) {
        if (!s.empty()) s += ',';
        s += std::to_string(c);
    }
    if (sel.list_source == LIST_ONE_WILDCARD) s += ',';
    return s;
}

void append_term(std::string& collected, const std::string& text) {
    if (!collected.empty() && collected.back() != ',') collected += ',';
    collected += text;
}

// A parameter list file: its terms, calculated lines and rename lines.
std::string read_parameter_file(RunState& rs, const std::string& name) {
    FILE* fp = fopen(name.c_str(), "rb");
    if (!fp) {
        out("Cannot open file %s\n", name.c_str());
        end_run(END_ERROR);
    }
    if (!rs.opt().qflag) out("Reading parameters from %s\n", name.c_str());
    FileCloser closer{fp};
    rs.numcalcs = 0;
    std::string collected, ln;
    while (read_line(fp, ln)) {
        if (ln.empty()) continue;
        size_t semi = ln.find(';');
        if (semi != std::string::npos) ln.erase(semi);
        if (starts_with(ln, "[CALC]") || starts_with(ln, "[calc]")) {
            if (rs.numcalcs < 50) rs.wildcalc[rs.numcalcs] = 0;
            int accepted;
            if (ln.find_first_of("&~") != std::string::npos) {
                accepted = parse_wildcalc_line(rs, ln, collected);
                // A refused wildcard line must not turn the selection into wildcard mapping.
                if (accepted == 1) {
                    rs.wild = 1;
                    if (rs.numcalcs < 50) rs.wildcalc[rs.numcalcs] = 1;
                }
            } else {
                if (!collected.empty() && collected.back() != ',') collected += ',';
                accepted = parse_calc_line(rs, ln, collected);
            }
            if (accepted == 1 && ++rs.numcalcs > 50) {
                out("\nWarning: too many calculated parameters!\n");
                end_run(END_ERROR);
            }
        } else if (is_rename_line(ln)) {
            replace_substring(ln, "$NODE", rs.nodestr);
            parse_rename_line(rs, ln, collected);
        } else {
            append_term(collected, ln);
        }
    }
    strupper(collected);
    if (!collected.empty() && collected.back() == ',') collected.pop_back();
    return collected;
}

// All-terms matching: every "+"/plain term occurs in the name, no "-" term does.
bool all_terms_match(const std::string& uname, const std::vector<std::string>& terms) {
    for (const auto& t : terms) {
        if (t[0] == '-') {
            if (uname.find(t.substr(1)) != std::string::npos) return false;
        } else if (t[0] == '+') {
            if (uname.find(t.substr(1)) == std::string::npos) return false;
        } else if (uname.find(t) == std::string::npos) {
            return false;
        }
    }
    return true;
}

bool never_selects(const std::string& t) {
    return t == "*[CALC]*" || t == "*-*" || t == "*+*" || t == "*/*";
}

// Name terms: all-terms (AND/NOT) or any-term (OR, wildcards) matching over the heading.
std::vector<int> select_by_names(RunState& rs, const std::string& sel,
                                 const std::vector<std::string>& names, ListSource& source) {
    source = LIST_NAMES;
    std::vector<std::string> raw = split_fields(sel);
    for (auto& t : raw) trim(t);

    std::vector<std::string> kept;
    std::unordered_set<std::string> seen;  // a list file may hold thousands of terms
    bool allterms = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const std::string& t = raw[i];
        if (i > 0 && (t.empty() || is_ignored_term(t) || seen.count(t))) continue;
        kept.push_back(t);
        seen.insert(t);
        if (!t.empty() && (t[0] == '-' || t[0] == '+')) allterms = true;
    }

    std::vector<int> cols;
    if (allterms) {
        std::vector<std::string> terms;
        for (const auto& t : kept)
            if (!t.empty()) terms.push_back(t);
        for (size_t c = 0; c < names.size(); ++c)
            if (all_terms_match(upper_copy(names[c]), terms)) cols.push_back(static_cast<int>(c) + 1);
        return cols;
    }

    std::vector<std::string> pats;
    for (size_t i = 0; i < raw.size(); ++i) {
        const std::string& t = raw[i];
        if (i > 0 && (is_ignored_term(t) || t.size() <= 1)) continue;
        pats.push_back(t.find('*') != std::string::npos ? t : "*" + t + "*");
    }

    // '*-text' inverts the selection: every column whose name holds none of the terms.
    // The sign is not part of the text to avoid.
    bool exclude = false;
    for (auto& p : pats) {
        if (p.size() > 1 && p[1] == '-') {
            p.erase(0, 2);
            exclude = true;
        }
    }
    if (exclude) {
        for (size_t c = 0; c < names.size(); ++c) {
            std::string u = upper_copy(names[c]);
            bool hit = false;
            for (const auto& p : pats) hit = hit || (!p.empty() && u.find(p) != std::string::npos);
            if (!hit) cols.push_back(static_cast<int>(c) + 1);
        }
        return cols;
    }

    if (rs.wild) {
        std::vector<int> list;
        rs.totwcalc = 0;
        for (int k = 0; k < rs.numcalcs && k < 50; ++k)
            if (rs.wildcalc[k]) get_wildcard_param_names(rs, names, k, list);
        for (int k = 0; k < rs.numcalcs && k < static_cast<int>(rs.wcalc.size()); ++k)
            if (rs.wildcalc[k]) rs.totwcalc += rs.wcalc[static_cast<size_t>(k)];
        if (rs.totwcalc == 0) {
            out("No match for any wildcard [CALC] expression\n");
            end_run(END_ERROR);
        }
        if (list.size() == 1) source = LIST_ONE_WILDCARD;
        return sort_params(rs, list);
    }

    for (size_t c = 0; c < names.size(); ++c) {
        for (const auto& p : pats) {
            if (never_selects(p)) continue;
            if (patmat(rs, names[c], p)) {
                cols.push_back(static_cast<int>(c) + 1);
                break;
            }
        }
    }
    if (!cols.empty()) cols = sort_params(rs, cols);
    return cols;
}

// Runs fn in the output directory when one is set.
template <class Fn>
void in_output_dir(RunState& rs, const char* in_tag, const char* out_tag, Fn fn) {
    if (rs.opt().dirflag) switch_dir(rs.opt().direcname, in_tag, rs.opt().verbose);
    fn();
    if (rs.opt().dirflag) switch_dir(rs.opt().curname, out_tag, rs.opt().verbose);
}

void write_param_lis(RunState& rs) {
    if (rs.opt().iflag) return;
    bool failed = false;
    in_output_dir(rs, "3", "4", [&] {
        refuse_input_as_output(rs, "PARAM.LIS");
        FILE* fp = open_pending(rs, "PARAM.LIS");
        if (!fp) {
            failed = true;
            return;
        }
        // Put in place when the run completes, with the page and the peak files.
        fout(fp, "%s\n", list_record(rs).c_str());
    });
    if (failed) {
        out("\nError opening parameter file, %s\n", "PARAM.LIS");
        end_run(END_ERROR);
    }
}

// The list of column numbers into param_nums[0] and nums_mask[0].
void take_list(RunState& rs) {
    if (rs.list_empty() && !rs.wild) {
        out("No columns selected %s\n", "");  // the list is empty
        end_run(END_ERROR);
    }
    int k = 0;
    for (int c : rs.param_list) {
        if (c > rs.numcol) break;
        if (c < 1) continue;  // column 0 is the time stamp, not a parameter
        // A column named again adds nothing but a second copy of its chart; the tables
        // hold one slot per column, so a long list of repeats would run past them.
        if (static_cast<size_t>(c) < rs.nums_mask[0].size() && rs.nums_mask[0][static_cast<size_t>(c)])
            continue;
        if (k >= MAXPARAMS) {
            out("Too many parameters - limit is %d\n", MAXPARAMS);
            end_run(END_ERROR);
        }
        rs.param_nums[0][static_cast<size_t>(k)] = c;
        rs.nums_mask[0][static_cast<size_t>(c)] = 1;
        ++k;
    }
    rs.numpar = k;
    if (!rs.opt().iflag) fout(rs.logfp, "Number of parameters = %d\n", rs.numpar);
    if (rs.opt().oflag) {
        if (rs.numpar > MAXOVERLAY) {
            rs.numpar = MAXOVERLAY;
            out("Only %d parameters can be overlaid on one chart\n", MAXOVERLAY);
        }
        rs.numovr = (rs.opt().topflag ? rs.opt().topnum : rs.numpar) - 1;
    }
}

std::string make_label(const std::string& name) {
    std::string label = name;
    if (label.size() > static_cast<size_t>(MAXLABEL)) {
        out("Warning: Name too long (%d)! \n%s\nWill be truncated to %d characters\n",
            static_cast<int>(label.size()), label.c_str(), MAXLABEL);
        label.resize(MAXLABEL);
    }
    return trim(label);
}

void assign_labels(RunState& rs, const std::vector<std::string>& names) {
    if (rs.nohdr) {
        for (int k = 0; k < rs.numcol && k < static_cast<int>(rs.xlabel.size()); ++k)
            rs.xlabel[static_cast<size_t>(k)] = strfmt("Parameter %d", k + 1);
        return;
    }
    FILE* yfp = nullptr;
    if (rs.opt().yflag) {
        in_output_dir(rs, "3a", "3b", [&] {
            refuse_input_as_output(rs, rs.opt().csv_paramfil);
            yfp = fopen(rs.opt().csv_paramfil.c_str(), "wb");
        });
        if (!yfp) {
            out("Could not open output file %s\n", rs.opt().csv_paramfil.c_str());
            end_run(END_ERROR);
        }
    }
    for (int k = 0; k < rs.numpar; ++k) {
        int c = rs.param_nums[0][static_cast<size_t>(k)];
        const std::string& name = names[static_cast<size_t>(c - 1)];
        std::string& label = rs.xlabel[static_cast<size_t>(k)] = make_label(name);
        if (yfp) {
            std::string n = name;
            fout(yfp, "%s\n", strltrim(n).c_str());
        }
        if (label.find("Free List Size") != std::string::npos && rs.numcalcs == 0) {
            rs.xlabel[static_cast<size_t>(rs.numpar)] = "[CALC]Memory Utilization";
            rs.memutilnum = rs.param_nums[0][static_cast<size_t>(rs.numpar - 1)] + 1;
            rs.freelistnum = k;
            rs.param_nums[0][static_cast<size_t>(rs.numpar)] = rs.numpar + 1;
        }
    }
    if (yfp) fclose(yfp);
}

// The selection text against the first file's heading: a list file, a rename line,
// every column, numbers, a range or names.
void resolve_text(RunState& rs, const std::vector<std::string>& names) {
    if (contains_nocase(rs.nums_str, ".LIS")) rs.nums_str = read_parameter_file(rs, rs.nums_str);
    if (is_rename_line(rs.nums_str)) {
        std::string ln = rs.nums_str;
        replace_substring(ln, "$NODE", rs.nodestr);
        // The string itself is the selection, pattern included.
        std::string unused;
        parse_rename_line(rs, ln, unused);
    }
    strupper(rs.nums_str);
    const std::string s = rs.nums_str;
    std::vector<int> list;
    if (s == "0" || s == "ALL" || s == "*" || starts_with(s, "*,")) {
        rs.allparms = 1;
        for (int c = 1; c <= rs.numcol; ++c) list.push_back(c);
        rs.resolve(std::move(list), LIST_NUMBERS);
    } else if (is_digit_range(s) && get_digitrange(s, list)) {
        rs.resolve(std::move(list), LIST_NUMBERS);
    } else if (is_all_digits(s) || is_digit_range(s)) {
        // Numbers that are no range, or a range that does not read as one, are taken as
        // written: fields that are no number select nothing.
        rs.resolve(list_numbers(s), LIST_WRITTEN);
        rs.list_text = s;
    } else {
        alloc_jnk_space(rs, rs.numcol);
        ListSource source;
        list = select_by_names(rs, s, names, source);
        free_jnk_space(rs, rs.numcol);
        rs.resolve(std::move(list), source);
    }
}

void select_first_file(RunState& rs, const std::vector<std::string>& names) {
    for (size_t c = 0; c < rs.nums_mask[0].size(); ++c) rs.nums_mask[0][c] = 0;
    for (int c = 0; c <= rs.numcol && c < static_cast<int>(rs.fp_nums.size()); ++c)
        rs.fp_nums[static_cast<size_t>(c)] = 0;
    if (!rs.list_resolved()) resolve_text(rs, names);
    take_list(rs);
    assign_labels(rs, names);
}

// A later file: find each label among its own column names.
void map_later_file(RunState& rs, int f, const std::vector<std::string>& names) {
    auto& mask = rs.nums_mask[static_cast<size_t>(f)];
    auto& nums = rs.param_nums[static_cast<size_t>(f)];
    int ncols =
        f < static_cast<int>(rs.files.size()) ? rs.files[static_cast<size_t>(f)].numcols : 0;
    for (int c = 0; c <= ncols && c < static_cast<int>(mask.size()); ++c)
        mask[static_cast<size_t>(c)] = 0;
    std::unordered_map<std::string, int> first;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string n = names[i];
        first.emplace(trim(n), static_cast<int>(i) + 1);
    }
    for (int k = 0; k < rs.numpar; ++k) {
        size_t kk = static_cast<size_t>(k);
        if (rs.opt().mflag && !rs.diffparams) {
            int c = nums[kk];
            if (c >= 0 && c < static_cast<int>(mask.size())) mask[static_cast<size_t>(c)] = 1;
            continue;
        }
        auto it = first.find(rs.xlabel[kk]);
        if (it != first.end()) {
            nums[kk] = it->second;
            if (it->second < static_cast<int>(mask.size())) mask[static_cast<size_t>(it->second)] = 1;
        } else {
            nums[kk] = ncols + 1;
        }
    }
}

}  // namespace

std::vector<std::string> heading_names(const std::string& heading) {
    std::vector<std::string> f = split_fields(heading);
    if (!f.empty()) f.erase(f.begin());
    return f;
}

void get_parameters(RunState& rs, int f) {
    const std::string empty;
    const std::string& heading =
        f < static_cast<int>(rs.files.size()) ? rs.files[static_cast<size_t>(f)].line : empty;
    std::vector<std::string> names = heading_names(heading);
    if (f == 0) {
        // A heading shorter than the column count would leave labels without names.
        while (static_cast<int>(names.size()) < rs.numcol)
            names.push_back(strfmt("Parameter %d", static_cast<int>(names.size()) + 1));
        select_first_file(rs, names);
    } else {
        map_later_file(rs, f, names);
    }
    write_param_lis(rs);
}
