// tsgraf: charts and statistics from performance-collector CSV files.
#include <memory>

#include "base/run_end.h"
#include "core/run_state.h"
#include "run/run_files.h"
#include "run/sequence.h"

int main(int argc, char** argv) {
    auto rs = std::make_unique<RunState>();
    int status = END_OK;
    try {
        run_sequence(*rs, argc, argv);
    } catch (const RunEnd& e) {
        status = e.status;
    }
    // A run that did not complete leaves the previous run's results in place.
    close_run_files(*rs);
    return status;
}
