// Threshold rules.
#pragma once
#include "core/run_state.h"

inline constexpr int MAXRULES = 100;
inline constexpr int MAXRULEFIRES = 50;  // stretches kept per rule and parameter

// Reads the rules file and opens the fired-rules page and the fired-parameter list.
void get_y8rules(RunState& rs);

// Selects the rule of parameter param (ruleindx, ruleflg), clearing its run state.
void init_rules(RunState& rs, int param);
// Checks a rule on the average, maximum or minimum.
void rule_check1(RunState& rs, const ParamStats& st, int param);
// Checks chart point k of file i against a rule held for a period; returns the start of
// the current run (tmpk carries it between calls).
int rule_check2(RunState& rs, int i, int k, int tmpk, int param);
// Closes a run still open after the last of k chart points.
void rule_check2_end(RunState& rs, int k, int tmpk, int param);

// All checks of parameter w on its chart points: the chart point reduction calls this.
void check_rules(RunState& rs, const ParamStats& st, int w);

// The current parameter's rule when it fired, else nullptr.
const RunState::Y8Rule* fired_rule(const RunState& rs);
// Pixel row of a fired rule's threshold line with the plot's top at boryt; -1 when it lies
// outside the plot.
int threshold_row(const RunState& rs, const RunState::Y8Rule& r, int boryt);

// Rules were asked for and their file could be used.
inline bool rules_in_force(const RunState& rs) {
    return rs.opt().rflag && !rs.rules_unused;
}
