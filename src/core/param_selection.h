// The parameter selection. What the user gives (the --parameters value, the answer to
// the column prompt, a parameter list file, a rename line) stays text until it is
// resolved: a list of numbers or a range at once, names, wildcards and keywords against
// the first file's heading. From then on the selection is column numbers; they become
// text again only where they are written out (PARAM.LIS).
#pragma once
#include <string>
#include <utility>
#include <vector>

// Where the resolved list came from; it decides how PARAM.LIS spells the list and
// whether a merge writes every column.
enum ListSource : int {
    LIST_PENDING,       // not resolved yet: the selection is nums_str
    LIST_NUMBERS,       // numbers or a range given, or every column
    LIST_NAMES,         // the columns whose names matched
    LIST_ONE_WILDCARD,  // the one column a wildcard calculation matched
    LIST_WRITTEN,       // a number list taken as it was written (list_text)
};

struct ParamSelection {
    std::string nums_str;         // the selection text still to resolve; empty once resolved
    std::string orig_nums_str;    // the --parameters value as typed
    std::vector<int> orig_order;  // typed position of each listed column (ascending list)

    // The resolved list: column numbers in list order, as given (numbers past the last
    // column and 0 included; taking the list skips them).
    std::vector<int> param_list;
    ListSource list_source = LIST_PENDING;
    std::string list_text;  // the text of a LIST_WRITTEN list

    bool list_resolved() const { return list_source != LIST_PENDING; }
    // Nothing to take: a list written as commas alone still counts as given.
    bool list_empty() const { return param_list.empty() && list_source != LIST_WRITTEN; }
    // Resolved by matching column names, so a merge writes the matched columns only.
    bool by_names() const { return list_source == LIST_NAMES || list_source == LIST_ONE_WILDCARD; }
    // New selection text (a later --parameters replaces an earlier one).
    void select_text(const std::string& text) {
        nums_str = text;
        param_list.clear();
        list_source = LIST_PENDING;
        list_text.clear();
    }
    void resolve(std::vector<int> list, ListSource source) {
        param_list = std::move(list);
        list_source = source;
        nums_str.clear();
    }
};
