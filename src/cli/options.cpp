#include "cli/options.h"

#include <getopt.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/out.h"
#include "base/run_end.h"
#include "cli/consistency.h"
#include "cli/defaults.h"
#include "cli/handlers.h"
#include "cli/help.h"
#include "cli/platform.h"

static const char* const LETTERS =
    "$:?A::a::b::B:c:C:d::D::e::E:fF:gG::h:H::iIjJ:k:K::l::L:m::M:no::p:P::qQ::R:r::sS::t:T::"
    "Uu::Vvw:W::x::X:Y:y::z::Z::";

// The long names: those with a letter run its handler, the others set a flag to 1.
static std::vector<option> long_options(RunState& rs) {
    enum { NONE = no_argument, REQ = required_argument, OPT = optional_argument };
    auto flag = [](const char* name, int* member) { return option{name, NONE, member, 1}; };
    return {
        flag("bar_chart", &rs.bar_chart),
        flag("duplicates", &rs.dupflag),
        flag("fill", &rs.fflag),
        flag("i", &rs.iflag),
        flag("nologs", &rs.iflag),
        flag("labels", &rs.labels),
        flag("nocharts", &rs.nocharts),
        flag("noheader", &rs.noheader),
        flag("nohistory", &rs.nohistory),
        flag("nohorizontal", &rs.nohoriz),
        flag("notimestamp", &rs.notimestamp),
        flag("novertical", &rs.novert),
        flag("quiet", &rs.qflag),
        flag("sd", &rs.sdflag),
        flag("sparklines", &rs.spkflag),
        flag("verbose", &rs.verbose),
        flag("version", &rs.versionflag),
        flag("set_defaults", &rs.set_defaults),
        flag("show_defaults", &rs.show_defaults),
        {"thickness", REQ, nullptr, '$'},
        {"?", NONE, nullptr, '?'},
        {"help", NONE, nullptr, '?'},
        {"append", OPT, nullptr, 'A'},
        {"average", OPT, nullptr, 'a'},
        {"border", OPT, nullptr, 'b'},
        {"displaynumber", REQ, nullptr, 'B'},
        {"correlate", REQ, nullptr, 'c'},
        {"directory", REQ, nullptr, 'C'},
        {"dots", OPT, nullptr, 'd'},
        {"decimals", OPT, nullptr, 'D'},
        {"extract", OPT, nullptr, 'e'},
        {"colors", REQ, nullptr, 'E'},
        {"format", REQ, nullptr, 'F'},
        {"nofloat", NONE, nullptr, 'g'},
        {"history", OPT, nullptr, 'G'},
        {"height", REQ, nullptr, 'h'},
        {"horizontal", OPT, nullptr, 'H'},
        {"ignore", NONE, nullptr, 'I'},
        {"j", OPT, nullptr, 'j'},
        {"constant", OPT, nullptr, 'j'},
        {"dotcolors", REQ, nullptr, 'J'},
        {"k", REQ, nullptr, 'k'},
        {"caption", REQ, nullptr, 'k'},
        {"trimzeros", OPT, nullptr, 'K'},
        {"lines", OPT, nullptr, 'l'},
        {"dataline", REQ, nullptr, 'L'},
        {"merge", OPT, nullptr, 'm'},
        {"samplemerge", REQ, nullptr, 'M'},
        {"normalize", NONE, nullptr, 'n'},
        {"overlay", OPT, nullptr, 'o'},
        {"parameters", REQ, nullptr, 'p'},
        {"percentile", OPT, nullptr, 'P'},
        {"pdf", OPT, nullptr, 'Q'},
        {"rules", OPT, nullptr, 'r'},
        {"rename", REQ, nullptr, 'R'},
        {"stack", NONE, nullptr, 's'},
        {"sort", OPT, nullptr, 'S'},
        {"range", REQ, nullptr, 't'},
        {"timerange", REQ, nullptr, 't'},
        {"top", OPT, nullptr, 'T'},
        {"u", OPT, nullptr, 'u'},
        {"output", OPT, nullptr, 'u'},
        {"V", NONE, nullptr, 'V'},
        {"v", NONE, nullptr, 'v'},
        {"width", REQ, nullptr, 'w'},
        {"axis", OPT, nullptr, 'W'},
        {"x", OPT, nullptr, 'x'},
        {"headerline", REQ, nullptr, 'X'},
        {"y", OPT, nullptr, 'y'},
        {"missing", OPT, nullptr, 'Y'},
        {"zero", OPT, nullptr, 'z'},
        {"scale", OPT, nullptr, 'Z'},
        {nullptr, 0, nullptr, 0},
    };
}

// The scanner reorders the pointers (file names move behind the options), so each pass
// gets a fresh vector over the normalised arguments.
static std::vector<char*> arg_vector(RunState& rs) {
    std::vector<char*> av;
    for (int i = 0; i < rs.cargc && i < static_cast<int>(rs.cargv.size()); ++i)
        av.push_back(rs.cargv[i].data());
    av.push_back(nullptr);
    return av;
}

// The scanner writes its diagnostics to standard error. They are collected while the
// first pass runs, which also tells an error from a plain help request, and then shown
// on standard output with every other message of the program.
class ScannerDiagnostics {
   public:
    ScannerDiagnostics() {
        fflush(stdout);
        fflush(stderr);
        file_ = tmpfile();
        saved_ = file_ ? dup(2) : -1;
        if (saved_ >= 0) dup2(fileno(file_), 2);
    }
    ~ScannerDiagnostics() { restore(); }
    ScannerDiagnostics(const ScannerDiagnostics&) = delete;
    ScannerDiagnostics& operator=(const ScannerDiagnostics&) = delete;

    bool active() const { return saved_ >= 0; }
    long written() {
        fflush(stderr);
        return active() ? static_cast<long>(lseek(2, 0, SEEK_CUR)) : 0;
    }
    // Puts standard error back and returns what the scanner wrote.
    std::string restore() {
        std::string text;
        if (!active()) return text;
        fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
        rewind(file_);
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, file_)) > 0) text.append(buf, n);
        fclose(file_);
        file_ = nullptr;
        return text;
    }

   private:
    FILE* file_ = nullptr;
    int saved_ = -1;
};

enum class Help { NONE, ASKED, AFTER_ERROR };

// First pass: only the quiet and version letters, help and the flag names act.
static Help first_pass(RunState& rs) {
    std::vector<option> table = long_options(rs);
    std::vector<char*> av = arg_vector(rs);
    int argc = static_cast<int>(av.size()) - 1;
    ScannerDiagnostics diagnostics;
    optind = 0;
    opterr = 1;
    Help help = Help::NONE;
    while (help == Help::NONE) {
        long before = diagnostics.written();
        int longindex = -1;  // set only for a valid long name
        int c = getopt_long(argc, av.data(), LETTERS, table.data(), &longindex);
        if (c == -1) break;
        if (c == 'q') rs.qflag = 1;
        if (c == 'v') rs.versionflag = 1;
        if (c == '?') {
            bool error =
                longindex < 0 && (!diagnostics.active() || diagnostics.written() != before);
            help = error ? Help::AFTER_ERROR : Help::ASKED;
        }
    }
    std::string text = diagnostics.restore();
    if (!text.empty()) out("%s", text.c_str());
    return help;
}

// Second pass: every option in command-line order; returns the file names.
static std::vector<std::string> second_pass(RunState& rs) {
    std::vector<option> table = long_options(rs);
    std::vector<char*> av = arg_vector(rs);
    int argc = static_cast<int>(av.size()) - 1;
    optind = 0;
    opterr = 0;
    for (;;) {
        int c = getopt_long(argc, av.data(), LETTERS, table.data(), nullptr);
        if (c == -1) break;
        if (c != 0) handle_option(rs, c, optarg);
    }
    return std::vector<std::string>(av.begin() + optind, av.begin() + argc);
}

static void settings_for_sparklines(RunState& rs) {
    rs.bkgcolor = 8;
    rs.BORDERxval = rs.BORDERyval = 3;
    rs.zflag = 1;
    rs.wflag = 1;
    rs.width = rs.wi = 400;
    rs.hflag = 1;
    rs.height = rs.hi = 30;
    rs.lflag = 0;
}

void parse_options(RunState& rs) {
    if (rs.cargc <= 1) usage1(rs, END_OK);
    Help help = first_pass(rs);
    if (help != Help::NONE) {
        clear_terminal();
        usage1(rs, help == Help::ASKED ? END_OK : END_ERROR);
    }
    if (rs.set_defaults) set_default_values(rs);
    if (rs.show_defaults) {
        show_default_values(rs, 1);
        end_run(END_OK);
    }
    if (rs.spkflag) settings_for_sparklines(rs);
    if (rs.versionflag) {
        out("\nTSGRAF Version %s\n", VERSION);
        end_run(END_OK);
    }
    show_default_values(rs, 0);
    take_file_list(rs, second_pass(rs));
    apply_option_rules(rs);
}
