#include "select/rename.h"

#include "base/out.h"
#include "base/run_end.h"

void parse_rename_line(RunState&, const std::string&) {
    out("[RENAME] lines are not handled by this version\n");
    end_run(END_ERROR);
}
