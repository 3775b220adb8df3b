// The selection language over a fixed heading, given as the --parameters value, for a
// first file and a second one with other columns; and wildcard matching with the rest
// of the input as the text to match.
#include "cli/handlers.h"
#include "core/tables.h"
#include "fuzz_support.h"
#include "select/patmat.h"
#include "select/selection.h"

static const char* const kHeading =
    "Sample Time,[CPU]Cpu 00 Busy,[CPU]Cpu 00 Idle,[CPU]Cpu 1 Idle,[DISK]DKA0 Read Rate,"
    "[DISK]DKA0 Write Rate,[DISK]DKB1 Read Rate,[MEMORY]Free List Size,[NET]Old Packets,"
    "[NET]New Packets,Cpu*Star?,a&1~2";
static const char* const kHeading2 =
    "Time,[NET]New Packets,[CPU]Cpu 00 Busy,Other, [DISK]DKA0 Read Rate ,,";
static constexpr int kCols = 11;
static constexpr int kCols2 = 6;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Scope scope;
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t nl = text.find('\n');
    const std::string sel = fuzz::c_text(text.substr(0, nl));
    const std::string raw = nl == std::string::npos ? std::string() : text.substr(nl + 1);

    auto rs = fuzz::fresh_state();
    rs->set_opt().iflag = size % 3 == 0;
    rs->set_opt().qflag = 1;
    rs->filenum = 1;
    rs->files.assign(2, InputFile{});
    rs->files[0].numcols = rs->totals.numcols = kCols;
    rs->files[1].numcols = kCols2;
    rs->numcol = kCols;
    rs->files[0].line = kHeading;
    rs->files[1].line = kHeading2;
    fuzz::guarded([&] {
        handle_option(*rs, 'p', sel.c_str());
        alloc_global_vars(*rs);
        for (int f = 0; f <= rs->filenum; ++f) get_parameters(*rs, f);
    });

    if (!raw.empty()) {
        auto ms = fuzz::fresh_state();
        if (patmat(*ms, raw, sel)) {
            std::string made;
            insert_var_in_param(sel, ms->var, made);
        }
    }
    return 0;
}
