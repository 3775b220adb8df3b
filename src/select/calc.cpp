#include "select/calc.h"

#include "base/out.h"
#include "base/run_end.h"

[[noreturn]] static void not_handled() {
    out("[CALC] lines are not handled by this version\n");
    end_run(END_ERROR);
}

void parse_calc_line(RunState&, const std::string&, std::string&) { not_handled(); }
void parse_wildcalc_line(RunState&, const std::string&, std::string&) { not_handled(); }
void get_wildcard_param_names(RunState&, const std::vector<std::string>&, int, std::string&) {
    not_handled();
}
void translate_calc_params(RunState&) {}
void get_calcparmpts(RunState&, int, int) { not_handled(); }
void get_wildcalcparmpts(RunState&, int) { not_handled(); }
