// The survey and loading of one CSV file, as a run does them: read_datafil_cols (with
// its one retry), the tables, the selection of every column and the load.
#include "core/tables.h"
#include "export/extract.h"
#include "fuzz_support.h"
#include "input/survey.h"
#include "select/calc.h"
#include "select/selection.h"

// The input's last byte picks one of the layouts the options can ask for, so that the
// fuzzer reaches them from any file.
static void layout_options(RunState& rs, unsigned char last) {
    switch (last % 5) {
        case 1:
            rs.set_opt().notimestamp = 1;
            break;
        case 2:
            break;  // a text file ending in a new-line: the plain run
        case 3:
            rs.set_opt().noheader = 1;
            break;
        case 4:
            rs.set_opt().nth = 3;
            rs.set_opt().datalinerow = 2;
            rs.set_opt().headerlinerow = 1;
            break;
        default:
            rs.set_opt().timerange.kind = TimeRange::DAILY;
            rs.set_opt().timerange.from = 60;
            rs.set_opt().timerange.to = 23 * 3600 + 59 * 60;
            break;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Scope scope;
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::write_file("in.csv", text);
    auto rs = fuzz::fresh_state();
    rs->files.assign(1, InputFile{});
    rs->files[0].datafil = "in.csv";
    rs->filenum = 0;
    rs->set_opt().pflag = 1;
    rs->nums_str = "0";
    rs->set_opt().iflag = 1;
    rs->set_opt().nocharts = 1;
    rs->set_opt().qflag = size % 2;
    rs->maxlinelen = 4096;  // as MAXLINE=4096: cheaper tables, and long lines take the retry
    if (size > 0) layout_options(*rs, data[size - 1]);
    fuzz::guarded([&] {
        int r = read_datafil_cols(*rs, 0);
        if (r == -1) r = read_datafil_cols(*rs, 1);
        if (r != 0) return;
        alloc_global_vars(*rs);
        for (int f = 0; f <= rs->filenum; ++f) get_parameters(*rs, f);
        if (rs->numcalcs > 0) translate_calc_params(*rs);
        load_and_extract(*rs);
    });
    return 0;
}
