// A rules file read as a run reads it, then every rule checked on a small fixed grid of
// four parameters, as the chart pass checks them.
#include "fuzz_support.h"
#include "stats/rules.h"

static void fill_grid(RunState& rs) {
    const char* labels[] = {"Cpu 00 Idle", "Disk A Busy", "Read Hit Latency", "Split IO"};
    rs.num = 12;
    rs.numpar = 4;
    rs.pts.assign(1, std::vector<std::vector<double>>(4, std::vector<double>(13, 0.0)));
    rs.param_nums.assign(1, {1, 2, 3, 4});
    rs.xlabel.assign(labels, labels + 4);
    for (int r = 0; r < rs.num; ++r) {
        char stamp[32];
        snprintf(stamp, sizeof stamp, "02-MAR-2011 10:%02d:00", r);
        rs.x_vals.push_back(stamp);
        for (int p = 0; p < 4; ++p) rs.pts[0][p][r] = (r * 7 + p * 13) % 40 - (p == 3 ? 5 : 0);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Scope scope;
    fuzz::write_file("Y8RULES.LIS", std::string(reinterpret_cast<const char*>(data), size));
    auto rs = fuzz::fresh_state();
    rs->set_opt().rflag = 1;
    rs->filenum = 0;
    rs->sampint = static_cast<int>(size % 3) * 30;  // 0, 30 or 60 seconds
    rs->max_y_ratio = 1 + static_cast<int>(size % 2);
    fill_grid(*rs);
    fuzz::guarded([&] {
        get_y8rules(*rs);
        ParamStats st;
        st.avg = 17.5;
        st.max_y = 39;
        st.min_y = -5;
        for (int p = 0; p < rs->numpar && rs->opt().rflag; ++p) {
            check_rules(*rs, st, p);
            if (const RunState::Y8Rule* r = fired_rule(*rs)) threshold_row(*rs, *r, 55);
        }
    });
    for (FILE** fp : {&rs->htmrfp, &rs->rparfp})
        if (*fp) fclose(*fp);
    return 0;
}
