#include "select/paramlist.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/out.h"
#include "base/scan.h"
#include "base/strings.h"

// More numbers than this can never be selected (the parameter limit), so a longer
// range is not spelled out: the selection sees the same outcome either way.
static constexpr long MAXRANGE = 20001;

static std::vector<int> split_numbers(const std::string& list) {
    std::vector<int> nums;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        if (comma > start) nums.push_back(atoi_s(list.substr(start, comma - start)));
        start = comma + 1;
    }
    return nums;
}

void sort_params(RunState& rs, std::string& nums_list, std::string& orig_nums_str) {
    if (nums_list == "0") return;
    rs.sortdim = SORT_TYPED_ORDER;
    // Appended files keep their rows in file order; there is no sorted pass to follow.
    if (!rs.wild && !rs.opt().append) rs.srtflag = SORT_ASCENDING;
    orig_nums_str = nums_list;
    std::vector<int> typed = split_numbers(nums_list);
    if (typed.size() <= 1) {
        rs.orig_order.assign(1, 0);
        return;
    }
    std::vector<int> sorted = typed;
    // A plain exchange sort keeps equal numbers in their typed order.
    for (size_t i = 0; i + 1 < sorted.size(); ++i)
        for (size_t j = i + 1; j < sorted.size(); ++j)
            if (sorted[j] < sorted[i]) std::swap(sorted[i], sorted[j]);

    std::string rewritten = strfmt("%d", sorted[0]);
    std::vector<int> kept{sorted[0]};
    for (size_t i = 1; i < sorted.size(); ++i) {
        if (sorted[i] == sorted[i - 1]) continue;
        rewritten += strfmt(",%d", sorted[i]);
        kept.push_back(sorted[i]);
    }
    rs.orig_order.assign(kept.size(), 0);
    for (size_t k = 0; k < kept.size(); ++k)
        for (size_t pos = 0; pos < typed.size(); ++pos)
            if (typed[pos] == kept[k]) {
                rs.orig_order[k] = static_cast<int>(pos);
                break;
            }
    nums_list = rewritten;
}

void get_digitrange(std::string& nums_list) {
    int a = 0, b = 0;
    // Numbers beyond int are clamped rather than wrapped into negative ones.
    int n = TextScan(nums_list).num(a).lit('-').num(b).count();
    if (n < 1) return;
    if (n == 1 || b < a) {
        nums_list = strfmt("%d", a);
        return;
    }
    long last = std::min(static_cast<long>(b), static_cast<long>(a) + MAXRANGE - 1);
    std::string list = strfmt("%d", a);
    for (long v = static_cast<long>(a) + 1; v <= last; ++v) list += strfmt(",%ld", v);
    nums_list = list;
}
