// Option scanning of an argument vector made of the input's lines (or NUL-separated
// pieces): both scanner passes, every handler, the file list and the consistency rules.
// Arguments naming anything outside the private directory (a "/" or "..") are skipped,
// so that an output option can never reach files elsewhere.
#include <getopt.h>

#include "cli/options.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (char& c : text)
        if (c == '\0') c = '\n';
    std::vector<std::string> args = fuzz::lines(text);
    if (args.size() > 64) return 0;
    for (const auto& a : args)
        if (a.find('/') != std::string::npos || a.find("..") != std::string::npos) return 0;

    fuzz::Scope scope;
    auto rs = fuzz::fresh_state();
    rs->optch = "--";
    rs->cargv.push_back("tsgraf");
    for (const auto& a : args) rs->cargv.push_back(a);
    rs->cargc = static_cast<int>(rs->cargv.size());
    for (const auto& a : rs->cargv) rs->cmdline += a + " ";
    rs->ocmdline = rs->cmdline;
    fuzz::guarded([&] { parse_options(*rs); });
    optind = 0;
    if (rs->outcsvfp) fclose(rs->outcsvfp);
    return 0;
}
