// A parameter list file ([CALC] and [RENAME] lines, terms and comments) used with a
// small fixed CSV file: the selection, the translation of the calculated lines and the
// load that computes their values row by row.
#include "cli/handlers.h"
#include "core/tables.h"
#include "fuzz_support.h"
#include "export/extract.h"
#include "input/survey.h"
#include "select/calc.h"
#include "select/selection.h"

static std::string csv_file() {
    std::string s =
        "Sample Time,Cpu 00 Idle,Cpu 00 User,Alpha,Beta,Free List Size,Disk A Busy,"
        "Disk B Busy,Disk A Busy Peak,Controller Disk B Busy,Disk A Reads,Xval,Yval\n";
    for (int r = 0; r < 8; ++r) {
        char stamp[32];
        snprintf(stamp, sizeof stamp, "02-MAR-2011 10:%02d:00", r);
        s += stamp;
        for (int c = 1; c <= 12; ++c) {
            int v = c == 12 ? (r % 3 == 0 ? 0 : (r % 3 == 1 ? 4 : -2)) : c * 10 + r;
            s += "," + std::to_string(v);
        }
        s += "\n";
    }
    return s;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Scope scope;
    static const std::string csv = csv_file();
    fuzz::write_file("in.csv", csv);
    fuzz::write_file("p.lis", std::string(reinterpret_cast<const char*>(data), size));
    auto rs = fuzz::fresh_state();
    rs->files.assign(1, InputFile{});
    rs->files[0].datafil = "in.csv";
    rs->filenum = 0;
    rs->set_opt().iflag = 1;
    rs->set_opt().nocharts = 1;
    rs->set_opt().qflag = size % 2;
    rs->maxlinelen = 4096;  // as MAXLINE=4096: cheaper tables, and long lines take the retry
    rs->nodestr = "NODE1";
    fuzz::guarded([&] {
        handle_option(*rs, 'p', "p.lis");
        if (read_datafil_cols(*rs, 0) != 0) return;
        alloc_global_vars(*rs);
        get_parameters(*rs, 0);
        if (rs->numcalcs > 0) translate_calc_params(*rs);
        load_and_extract(*rs);
    });
    return 0;
}
