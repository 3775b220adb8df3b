#include "select/paramlist.h"

#include <algorithm>
#include <unordered_map>

#include "base/scan.h"
#include "base/strings.h"

// More numbers than this can never be selected (the parameter limit), so a longer
// range is not spelled out: the selection sees the same outcome either way.
static constexpr long MAXRANGE = 20001;

std::vector<int> list_numbers(const std::string& text) {
    std::vector<int> nums;
    for (const std::string& field : split_fields(text)) nums.push_back(atoi_s(field));
    return nums;
}

std::vector<int> sort_params(RunState& rs, const std::vector<int>& typed) {
    rs.sortdim = SORT_TYPED_ORDER;
    // Appended files keep their rows in file order; there is no sorted pass to follow.
    if (!rs.wild && !rs.opt().append) rs.srtflag = SORT_ASCENDING;
    if (typed.size() <= 1) {
        rs.orig_order.assign(1, 0);
        return typed;
    }
    std::vector<int> kept = typed;
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    std::unordered_map<int, int> first_pos;
    for (size_t pos = 0; pos < typed.size(); ++pos)
        first_pos.emplace(typed[pos], static_cast<int>(pos));
    rs.orig_order.resize(kept.size());
    for (size_t k = 0; k < kept.size(); ++k) rs.orig_order[k] = first_pos[kept[k]];
    return kept;
}

bool get_digitrange(const std::string& text, std::vector<int>& nums) {
    int a = 0, b = 0;
    // Numbers beyond int are clamped rather than wrapped into negative ones.
    int n = TextScan(text).num(a).lit('-').num(b).count();
    if (n < 1) return false;
    nums.assign(1, a);
    if (n == 1 || b < a) return true;
    long last = std::min(static_cast<long>(b), static_cast<long>(a) + MAXRANGE - 1);
    for (long v = static_cast<long>(a) + 1; v <= last; ++v) nums.push_back(static_cast<int>(v));
    return true;
}

void take_typed_numbers(RunState& rs) {
    const std::string& v = rs.nums_str;
    std::vector<int> list;
    if (v.find_first_not_of(",0123456789") == std::string::npos) {
        if (v == "0") return;
        std::vector<int> typed = list_numbers(v);
        list = sort_params(rs, typed);
        // One number (or none) is taken with the heading, as it was written.
        if (typed.size() <= 1) return;
    } else if (v.find_first_not_of("0123456789-") == std::string::npos &&
               v.find('-') != std::string::npos) {
        if (!get_digitrange(v, list)) return;
    } else {
        return;
    }
    if (list == std::vector<int>{0})
        rs.nums_str = "0";
    else
        rs.resolve(std::move(list), LIST_NUMBERS);
}
