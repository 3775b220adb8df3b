// The defaults file reader, as a plain run reads it and as --show_defaults shows it.
#include "cli/defaults.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Scope scope;
    fuzz::write_file("TSGRAF.CFG", std::string(reinterpret_cast<const char*>(data), size));
    auto rs = fuzz::fresh_state();
    fuzz::guarded([&] { show_default_values(*rs, 0); });
    auto shown = fuzz::fresh_state();
    shown->set_opt().verbose = 1;
    fuzz::guarded([&] { show_default_values(*shown, 1); });
    return 0;
}
