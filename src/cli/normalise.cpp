#include "cli/normalise.h"

#include "cli/prompt.h"

int clean_up_args(RunState& rs, int argc, char** argv) {
    rs.cargv.assign(argv, argv + argc);
    rs.cargc = argc;
    if (rs.cargc == 1) prompt_for_input(rs);
    return 1;
}

int insert_space_prefix(RunState& rs, int argc, char** argv) {
    rs.cargv.assign(argv, argv + argc);
    return argc;
}

int check_if_legit(const std::string&) { return 0; }

void list(RunState&) {}
