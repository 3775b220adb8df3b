// A whole run over one CSV file made of the input: statistics, listings, charts, pages
// and exports meet whatever values, labels and time stamps the file holds. The input's
// last byte picks one of a few option sets, so every kind of chart and export is reached.
#include <getopt.h>

#include "fuzz_support.h"
#include "run/output_files.h"
#include "run/sequence.h"

namespace {

const std::vector<std::vector<std::string>> OPTION_SETS = {
    {"-p", "0", "--average=2", "--percentile", "--sd"},
    {"-p", "0", "--overlay", "--dots=1:R", "--lines=1:1:G"},
    {"-p", "0", "--stack", "--fill", "--horizontal=5"},
    {"-p", "0", "--normalize", "--sort=max", "--top=2"},
    {"-p", "0", "--correlate=1:0.1", "--bar_chart"},
    {"-p", "0", "--extract=out.csv", "--average=3"},
    {"-p", "0", "-x", "--trimzeros=trim.csv"},
    {"-p", "0", "--rules", "--sparklines", "--labels"},
    {"-p", "0", "--constant=5", "--scale=50", "--border=9", "--sort=p2:a", "--percentile=5:95"},
    {"-p", "0", "--nofloat", "--decimals=5", "--width=90", "--height=30", "--sort=label"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzz::Scope scope;
    static bool path_emptied = false;
    if (!path_emptied) {
        setenv("PATH", fuzz::workdir().c_str(), 1);  // no converter, no re-run
        path_emptied = true;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::write_file("a.csv", text);
    fuzz::write_file("Y8RULES.LIS", "*|>|1|2|over $P1 for $P2\n*|<|MAX*0.5|A|low\n");

    std::vector<std::string> store{"tsgraf", "a.csv", "--nohistory"};
    const auto& set = OPTION_SETS[data[size - 1] % OPTION_SETS.size()];
    store.insert(store.end(), set.begin(), set.end());
    std::vector<char*> argv;
    for (auto& s : store) argv.push_back(s.data());
    argv.push_back(nullptr);

    auto rs = fuzz::fresh_state();
    fuzz::guarded([&] { run_sequence(*rs, static_cast<int>(store.size()), argv.data()); });
    close_run_files(*rs);
    optind = 0;
    return 0;
}
