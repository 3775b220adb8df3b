#include "select/rename.h"

#include <vector>

#include "base/out.h"
#include "base/strings.h"
#include "select/patmat.h"

namespace {

constexpr size_t MAXPATTERNS = 10;
constexpr size_t MAXLABEL = 139;

size_t idx(int i) {
    return static_cast<size_t>(i);
}

// The captures of the last match in the label's own letter case. With at most five stars
// each capture is taken from the place its star matched; otherwise from its first
// occurrence in the label.
void restore_case(const RunState& rs, const std::string& label, const std::string& pat,
                  std::string caps[6]) {
    for (int n = 0; n < 6; ++n) caps[n] = rs.var[n];
    size_t start[6] = {0, 0, 0, 0, 0, 0};
    size_t pos = 0;
    int star = 0;
    bool placed = true;
    for (char ch : pat) {
        if (ch != '*') {
            ++pos;
            continue;
        }
        if (++star > 5) {
            placed = false;
            break;
        }
        start[star] = pos;
        pos += rs.var[star].size();
    }
    placed = placed && pos == label.size();
    for (int n = 1; n <= 5; ++n) {
        const std::string& cap = rs.var[n];
        if (cap.empty()) continue;
        if (placed && n <= star && upper_copy(label.substr(start[n], cap.size())) == cap) {
            caps[n] = label.substr(start[n], cap.size());
            continue;
        }
        size_t at = mystristr(label, cap);
        if (at != std::string::npos) caps[n] = label.substr(at, cap.size());
    }
}

}  // namespace

int parse_rename_line(RunState& rs, const std::string& line, std::string& collected) {
    if (rs.oldnameptrn.size() >= MAXPATTERNS) return 0;
    std::string ln = line;
    remove_chars(ln, '"');
    remove_chars(collected, '"');
    char delim = ln.find('|') != std::string::npos ? '|' : ',';
    std::vector<std::string> f = split_fields(ln, delim);
    if (!f.empty()) f.erase(f.begin());
    for (auto& s : f) trim(s);
    if (f.empty() || f[0].empty()) return 0;
    if (!collected.empty() && collected.back() != ',') collected += ',';
    collected += f[0];
    // Without a template every matched label would become empty: the pattern only selects.
    if (f.size() < 2 || f[1].empty()) return 0;
    rs.oldnameptrn.push_back(f[0]);
    rs.newnameptrn.push_back(f[1]);
    return 0;
}

int rename_label(RunState& rs, int p) {
    if (p < 0 || idx(p) >= rs.xlabel.size()) return 0;
    if (rs.renamed.size() <= idx(p)) rs.renamed.resize(idx(p) + 1, 0);
    if (rs.renamed[idx(p)]) return 0;
    rs.renamed[idx(p)] = 1;
    const std::string entry = rs.xlabel[idx(p)];
    std::string result = entry;
    for (size_t i = 0; i < rs.oldnameptrn.size(); ++i) {
        for (auto& v : rs.var) v.clear();
        if (!patmat(rs, entry, rs.oldnameptrn[i])) continue;
        std::string caps[6];
        restore_case(rs, entry, upper_copy(rs.oldnameptrn[i]), caps);
        std::string name;
        insert_var_in_param(rs.newnameptrn[i], caps, name);
        for (int q = 0; q < p; ++q) {
            if (rs.xlabel[idx(q)] != name) continue;
            int col = !rs.param_nums.empty() && idx(p) < rs.param_nums[0].size()
                          ? rs.param_nums[0][idx(p)]
                          : 0;
            name = strfmt("%s_%d", rs.xlabel[idx(q)].c_str(), col);
            break;
        }
        if (name.size() > MAXLABEL) name.resize(MAXLABEL);
        result = name;
    }
    rs.xlabel[idx(p)] = result;
    return 0;
}
