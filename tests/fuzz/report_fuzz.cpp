// A whole run over one CSV file made of the input: statistics, listings, charts, pages
// and exports meet whatever values, labels and time stamps the file holds. The input's
// last byte picks one of a few option sets, so every kind of chart and export is reached.
#include "whole_run.h"

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
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::write_file("a.csv", text);
    fuzz::write_file("Y8RULES.LIS", "*|>|1|2|over $P1 for $P2\n*|<|MAX*0.5|A|low\n");

    std::vector<std::string> args{"a.csv", "--nohistory"};
    const auto& set = OPTION_SETS[data[size - 1] % OPTION_SETS.size()];
    args.insert(args.end(), set.begin(), set.end());
    fuzz::whole_run(args);
    return 0;
}
