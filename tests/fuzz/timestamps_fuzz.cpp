// Time-stamp texts: every form read to seconds and a range test on it, the compact
// conversion and its seconds, a CSV time field with and
// without the file's date, the way back to a date text, and the interval between two
// rows as the loader works it out (both the reading and the closing call).
#include "core/timestamps.h"
#include "fuzz_support.h"
#include "input/load.h"
#include "input/survey.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Scope scope;
    std::vector<std::string> ln =
        fuzz::lines(std::string(reinterpret_cast<const char*>(data), size));
    ln.resize(std::max<size_t>(ln.size(), 3));
    const std::string& a = ln[0];
    const std::string& b = ln[1];
    const std::string& day = ln[2];

    std::string dat = a, compact;
    cvtdate(dat, compact);
    time_t secs = cvttime(compact);
    cvttime(a);
    std::string back;
    secstodate(secs, back);
    StampTime st;
    read_stamp(a, day, st);
    TimeRange range;
    range.kind = TimeRange::DAILY;
    range.from = 22 * 3600;
    range.to = 6 * 3600;
    range.holds(st);
    range.window_of(st);
    to_classic_stamp(dat);
    stamp_is_time(a);
    is_dataline_field(a);
    is_headerless_field(a);
    is_heading_field(a);

    auto rs = fuzz::fresh_state();
    rs->set_opt().iflag = 1;
    rs->comment_sdate = day;
    std::string field = a;
    secstodate(get_csvdate(*rs, 1, field), back);

    fuzz::guarded([&] {
        rs->x_vals = {a, b};
        rs->x_vals_secs = {0, 0};
        rs->num = 2;
        rs->comm_sampint = 60;
        rs->totmiss = 8;
        rs->miss_ar.assign(16, 0);
        rs->files.assign(1, InputFile{});
        rs->files[0].fileintnums = 2;
        rs->set_opt().verbose = 1;
        calc_sampint(*rs, 1, 0, 0);
        calc_sampint(*rs, 1, 1, 0);
    });
    return 0;
}
