#include "input/foreign.h"

#include "base/out.h"
#include "base/run_end.h"

// Neither layout is read by this build yet. Rather than guess at the file, the run
// stops and says which layout it met.

int read_format2_headers(RunState& rs, int k, std::string&, FILE*, int, std::vector<std::string>&) {
    out("Y8 format 2 heading blocks ($$$ START COLUMN HEADERS $$$) are not handled by this "
        "version: %s\n",
        k >= 0 && k < static_cast<int>(rs.datafil.size()) ? rs.datafil[k].c_str() : "");
    end_run(END_ERROR);
}

int rewrite_format_3(RunState& rs, int fno, FILE*, std::vector<std::string>&) {
    out("Merovand plot files (#Date Time) are not handled by this version: %s\n",
        fno >= 0 && fno < static_cast<int>(rs.datafil.size()) ? rs.datafil[fno].c_str() : "");
    end_run(END_ERROR);
}
