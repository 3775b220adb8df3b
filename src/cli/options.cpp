#include "cli/options.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "chart/chart_files.h"
#include "cli/consistency.h"
#include "cli/defaults.h"
#include "cli/handlers.h"
#include "cli/help.h"
#include "cli/scanner.h"
#include "cli/vocabulary.h"

static OptionScanner scanner_for(RunState& rs) {
    std::vector<std::string> args;
    for (int i = 0; i < rs.cargc && i < static_cast<int>(rs.cargv.size()); ++i)
        args.push_back(rs.cargv[i]);
    // As the C library's scanner, stop at the first file name when POSIXLY_CORRECT asks
    // for it; the slash style of the Windows build has no such mode.
    bool posix_order = !SLASH_OPTIONS && std::getenv("POSIXLY_CORRECT") != nullptr;
    return OptionScanner(std::move(args), option_letters(), long_options(rs), SLASH_OPTIONS,
                         posix_order);
}

enum class Help { NONE, ASKED, AFTER_ERROR };

// -h is how many programs are asked for help; as the height letter it needs a value, so
// without one it is taken as that request.
static bool bare_h(const ScannedOption& opt) {
    return opt.code == '?' && opt.diagnostic.find("requires an argument -- 'h'") != std::string::npos;
}

// First pass: only the quiet and version letters, help and the flag names act. The
// topic of --help=topic goes into topic.
static Help first_pass(RunState& rs, std::string& topic) {
    OptionScanner scanner = scanner_for(rs);
    ScannedOption opt;
    while (scanner.next(opt)) {
        if (bare_h(opt)) return Help::ASKED;
        if (!opt.diagnostic.empty()) out("%s", opt.diagnostic.c_str());
        // The Windows build ends at an ambiguous abbreviation without the help screens.
        if (opt.ambiguous && SLASH_OPTIONS) end_run(END_ERROR);
        if (opt.code == 'q') rs.set_opt().qflag = 1;
        if (opt.code == 'v') rs.set_opt().versionflag = 1;
        if (opt.code == '?') {
            if (opt.diagnostic.empty() && opt.has_value) topic = opt.value;
            return opt.diagnostic.empty() ? Help::ASKED : Help::AFTER_ERROR;
        }
    }
    return Help::NONE;
}

// Second pass: every option in command-line order; returns the file names.
static std::vector<std::string> second_pass(RunState& rs) {
    OptionScanner scanner = scanner_for(rs);
    ScannedOption opt;
    while (scanner.next(opt)) {
        if (opt.code != 0) handle_option(rs, opt.code, opt.has_value ? opt.value.c_str() : nullptr);
    }
    return scanner.operands();
}

static void settings_for_sparklines(RunState& rs) {
    rs.set_opt().bkgcolor = BKG_COMPACT;
    rs.set_opt().BORDERxval = rs.set_opt().BORDERyval = 3;
    rs.set_opt().zflag = 1;
    rs.set_opt().wflag = 1;
    rs.set_opt().width = rs.wi = 400;
    rs.set_opt().hflag = 1;
    rs.set_opt().height = rs.hi = 30;
    rs.set_opt().lflag = LINES_NONE;
}

void parse_options(RunState& rs) {
    rs.set_opt().threads = ChartFiles::default_threads();
    if (rs.cargc <= 1) usage1(rs, END_OK);
    std::string topic;
    Help help = first_pass(rs, topic);
    if (help != Help::NONE) {
        int status = help == Help::ASKED ? END_OK : END_ERROR;
        if (!topic.empty()) help_on(rs, topic);
        clear_terminal();
        // With no one to answer the topic question (a script, a pipe), the summary
        // screen is all the help there is.
        if (!stdin_is_terminal()) help_summary(rs, status);
        usage1(rs, status);
    }
    if (rs.opt().set_defaults) set_default_values(rs);
    if (rs.opt().show_defaults) {
        show_default_values(rs, 1);
        end_run(END_OK);
    }
    if (rs.opt().spkflag) settings_for_sparklines(rs);
    if (rs.opt().versionflag) {
        out("\nTSGRAF Version %s\n", VERSION);
        end_run(END_OK);
    }
    show_default_values(rs, 0);
    take_file_list(rs, second_pass(rs));
    apply_option_rules(rs);
}
