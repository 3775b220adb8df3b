#include "cli/handlers.h"

#include <string>
#include <utility>
#include <vector>

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/scan.h"
#include "base/strings.h"
#include "cli/help.h"
#include "cli/timerange.h"
#include "cli/vocabulary.h"
#include "select/calccount.h"
#include "select/paramlist.h"

// The value with everything up to and including its first '=' dropped, so that
// "-a=10" and "--average=10" read alike; "" when no value was given.
static std::string value_of(const char* arg) {
    return arg ? after_equals(arg) : std::string();
}

// The value as given, '=' and all; "" when none was given.
static std::string as_given(const char* arg) {
    return arg ? arg : "";
}

static std::vector<std::string> split_colons(const std::string& s) {
    std::vector<std::string> f;
    size_t start = 0;
    for (;;) {
        size_t p = s.find(':', start);
        f.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) return f;
        start = p + 1;
    }
}

// Sub-fields of a value: an empty field counts as not given.
static bool has_field(const std::vector<std::string>& f, size_t i) {
    return i < f.size() && !f[i].empty();
}

static char first_upper(const std::string& s) {
    return s.empty() ? '\0' : upper_copy(s.substr(0, 1))[0];
}

void opt_average(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().aflag = 1;
    rs.set_opt().movavg = 0;
    if (v.empty()) return;
    size_t colon = v.find(':');
    if (colon != std::string::npos && atoi_s(v.substr(colon + 1)) == 0) rs.set_opt().maonly_flag = 1;
    std::string n = v.substr(0, colon);
    size_t s = n.find('s');
    rs.set_opt().movavg = s != std::string::npos ? atoi_s(n.substr(0, s)) : clamped_mul(atoi_s(n), 60);
}

void opt_border(RunState& rs, const char* arg) {
    if (rs.opt().spkflag) {
        out("/border is ignored when /sparklines is used\n");
        return;
    }
    rs.set_opt().bflag = 1;
    rs.set_opt().bkgcolor = BKG_GREY;
    if (!arg) return;
    int n = atoi_s(value_of(arg));
    rs.set_opt().bkgcolor = static_cast<Background>(n);
    if (n > BKG_GREY) rs.set_opt().bflag = n;
    if (n >= BKG_COMPACT) {
        rs.set_opt().BORDERxval = rs.set_opt().BORDERyval = 3;
        rs.set_opt().zflag = 1;
    }
}

void opt_correlate(RunState& rs, const char* arg) {
    const std::string value = value_of(arg);
    std::string v = upper_copy(value);
    size_t colon = v.find(':');
    std::string n = v.substr(0, colon);
    if (colon != std::string::npos)
        rs.set_opt().corrth = atof_s(v.substr(colon + 1));
    else if (!rs.opt().cflagdef)
        rs.set_opt().corrth = 0.65;
    if (n == "0" || n == "ALL") rs.set_opt().corrall = 1;
    rs.set_opt().cflag = atoi_s(n);
    if (rs.opt().cflag == 0 && rs.opt().corrall == 0) {
        out("Error: '/correlate' option requires a parameter number\n");
        end_run(END_ERROR);
    }
}

// The output directory, made when it is missing: its full name is recorded, and the run
// stays where it started. A directory that can be neither made nor entered ends the run
// before any file is written, rather than scattering the output where the run started.
void opt_directory(RunState& rs, const char* arg) {
    const std::string dir = as_given(arg);
    rs.set_opt().dirflag = 1;
    rs.set_opt().direcname = dir;
    if (CREATES_OUTPUT_DIRECTORY) {
        if (make_directory(dir))
            out("\nCreated directory %s\n\n", dir.c_str());
        else
            out("\nFailed to create directory %s, may exist already\n\n", dir.c_str());
    }
    rs.set_opt().curname = current_dir();
    bool entered = change_directory(rs.opt().direcname);
    if (!entered && !CREATES_OUTPUT_DIRECTORY && path_kind(dir) == PathKind::NONE &&
        make_directory(dir)) {
        out("\nCreated directory %s\n\n", dir.c_str());
        entered = change_directory(rs.opt().direcname);
    }
    if (!entered) {
        out("1b Failed to switch directory to %s\n", rs.opt().direcname.c_str());
        end_run(END_ERROR);
    } else if (rs.opt().verbose)
        out("Current directory is %s\n", current_dir().c_str());
    rs.set_opt().direcname = current_dir();
    if (!change_directory(rs.opt().curname))
        out("1c Failed to switch directory to <%s>\n", rs.opt().curname.c_str());
    else if (rs.opt().verbose)
        out("Current directory is %s\n", current_dir().c_str());
}

// Sets member to the code of letter c in the table; an unknown letter changes nothing.
template <typename Code, size_t N>
static void letter_code(char c, const std::pair<char, Code> (&codes)[N], Code& member) {
    for (const auto& [letter, code] : codes)
        if (letter == c) member = code;
}

void opt_dots(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().dflag = 1;
    rs.set_opt().dotsize = 1;
    if (v.empty()) return;
    auto f = split_colons(v);
    rs.set_opt().dotsize = atoi_s(f[0]);
    if (!has_field(f, 1)) return;
    // R B G K M Y; another letter leaves the colour as it was.
    static const std::pair<char, int> codes[] = {{'R', 1}, {'B', 2}, {'G', 3},
                                                 {'K', 0}, {'M', 4}, {'Y', 5}};
    letter_code(first_upper(f[1]), codes, rs.set_opt().dotcolor);
}

// The file[:n] value of the extract options: every n-th row, n = 0 meaning trim zeros.
static void extract_value(RunState& rs, const std::string& v) {
    size_t colon = v.find(':');
    if (colon != std::string::npos) {
        int n = atoi_s(v.substr(colon + 1));
        rs.set_opt().nth = n;
        if (n == 0) {
            rs.set_opt().nth = 1;
            rs.set_opt().trimzeros = 1;
        }
    }
    std::string file = v.substr(0, colon);
    if (!file.empty()) rs.set_opt().csv_outfil = file;
}

void opt_extract(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().eflag = 1;
    if (rs.opt().trimzeros) {
        rs.set_opt().nocharts = 1;
        rs.set_opt().xflag = 1;
    }
    extract_value(rs, v);
    if (!rs.opt().qflag) out("Output CSV file will be %s\n", rs.opt().csv_outfil.c_str());
}

void opt_x(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().eflag = 1;
    rs.srtflag = SORT_NONE;
    rs.set_opt().nocharts = 1;
    rs.set_opt().xflag = rs.opt().trimzeros ? 0 : 1;
    extract_value(rs, v);
}

void opt_format(RunState& rs, const char* arg) {
    const std::string v = as_given(arg);
    rs.set_opt().fmtflag = 1;
    rs.set_opt().format = 1;
    rs.set_opt().format = atoi_s(v.find('=') != std::string::npos ? v.substr(1) : v);
}

void opt_caption(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().kflag = 1;
    rs.set_opt().kdef = 0;
    size_t tail = v.size() > 3 ? v.size() - 3 : 0;
    size_t colon = v.find(':', tail);
    if (colon != std::string::npos) {
        std::string style = upper_copy(v.substr(colon));
        rs.set_opt().capsiz = style.substr(1, 1);
        rs.set_opt().capcol = style.size() > 2 ? style.substr(2, 1) : std::string();
        rs.set_opt().caption = v.substr(0, colon);
    } else {
        rs.set_opt().kdef = 1;
        rs.set_opt().capsiz = "L";
        rs.set_opt().capcol = "R";
        rs.set_opt().caption = v;
    }
}

void opt_trimzeros(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().trimzeros = 1;
    rs.set_opt().eflag = 1;
    rs.set_opt().xflag = 0;
    rs.srtflag = SORT_NONE;
    rs.set_opt().nocharts = 1;
    if (!v.empty()) rs.set_opt().csv_outfil = v;
}

void opt_lines(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().lflag = LINES_ON;
    if (v.empty()) return;
    auto f = split_colons(v);
    rs.set_opt().tictime = clamped_mul(atoi_s(f[0]), 60);
    rs.set_opt().lflagval = 1;
    if (has_field(f, 1)) rs.set_opt().thk = atoi_s(f[1]);
    if (!has_field(f, 2)) return;
    static const std::pair<char, GridLines> codes[] = {
        {'R', LINES_RED},     {'G', LINES_GREEN},   {'B', LINES_BLUE},  {'K', LINES_BLACK},
        {'M', LINES_MAGENTA}, {'Y', LINES_YELLOW}, {'W', LINES_WHITE}};
    letter_code(first_upper(f[2]), codes, rs.set_opt().lflag);
}

// Counts from 1 on the command line, from 0 inside.
static void row_number(int& member, const std::string& arg) {
    int n = atoi_s(arg);
    if (n >= 1) member = n - 1;
}

static void opt_parameters(RunState& rs, std::string v) {
    rs.set_opt().pflag = 1;
    if (!v.empty() && v[0] == ',') v[0] = ' ';
    if (!v.empty() && v.back() == ',') v.pop_back();
    rs.orig_nums_str = v;
    rs.select_text(v);
    if (contains_nocase(v, ".lis")) {
        rs.numcalcs = get_numcalcs_cnt(rs, rs.nums_str);
        return;
    }
    take_typed_numbers(rs);
}

void opt_percentile(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().pcflag = 1;
    if (v.empty()) return;
    auto f = split_colons(v);
    if (has_field(f, 0)) rs.set_opt().pc1 = atoi_s(f[0]);
    if (has_field(f, 1)) rs.set_opt().pc2 = atoi_s(f[1]);
    if (f.size() > 2) rs.set_opt().nopcline = 1;
}

void opt_pdf(RunState& rs, const char* arg) {
    rs.set_opt().pdfflag = 1;
    rs.set_opt().pdffile = "tsgraf.pdf";
    if (!arg) {
        rs.set_opt().pdfflag = 2;
        return;
    }
    std::string v = upper_copy(value_of(arg));
    size_t n = v.size();
    if (n >= 2 && v.compare(n - 2, 2, ":D") == 0) rs.set_opt().delflag = 1;
    std::string name = v.substr(0, v.find(':'));
    if (!name.empty()) rs.set_opt().pdffile = name;
}

void opt_sort(RunState& rs, const char* arg) {
    rs.srtflag = SORT_DESCENDING;
    if (!arg) return;
    std::string v = upper_copy(value_of(arg));
    char c1 = v.size() > 0 ? v[0] : '\0', c2 = v.size() > 1 ? v[1] : '\0';
    rs.sortdim = SORT_NUMBER;
    if (c1 == 'L') {
        rs.sortdim = SORT_LABEL;
        rs.srtflag = SORT_ASCENDING;
    } else if (c1 == 'A') {
        rs.sortdim = SORT_AVERAGE;
    } else if (c1 == 'M') {
        rs.sortdim = c2 == 'E' ? SORT_MEDIAN : c2 == 'I' ? SORT_MINIMUM : SORT_MAXIMUM;
    } else if (c1 == 'P') {
        if (c2 == '1') rs.sortdim = SORT_P1;
        if (c2 == '2') rs.sortdim = SORT_P2;
    } else if (c1 == 'N') {
        rs.sortdim = SORT_NUMBER;
    }
    size_t colon = v.find(':');
    if (colon != std::string::npos && colon + 1 < v.size()) {
        if (v[colon + 1] == 'A') rs.srtflag = SORT_ASCENDING;
        if (v[colon + 1] == 'D') rs.srtflag = SORT_DESCENDING;
    }
    if (c1 == 'S') {
        rs.sortdim = SORT_STDEV;
        rs.set_opt().sdflag = 1;
    }
    if (rs.sortdim == SORT_P1 || rs.sortdim == SORT_MEDIAN || rs.sortdim == SORT_P2) rs.set_opt().pcflag = 1;
    // A named key outlives --top and the typed order of a selection (apply_sort_request).
    rs.set_opt().sortkey_asked = rs.sortdim;
    rs.set_opt().sortdir_asked = rs.srtflag;
}

void opt_top(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().topflag = 1;
    rs.srtflag = SORT_DESCENDING;
    rs.sortdim = SORT_AVERAGE;
    rs.set_opt().topnum = atoi_s(upper_copy(v));
    if (rs.opt().topnum == 0) rs.set_opt().topnum = 6;
}

void opt_output(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().nocharts = 1;
    if (v.empty()) return;
    rs.set_opt().htmfil = v;
    if (v.find(".htm") == std::string::npos && v.find(".HTM") == std::string::npos)
        rs.set_opt().htmfil += ".HTM";
    rs.set_opt().nocharts = 0;
    rs.set_opt().htmflag = 1;
    size_t dot = v.find('.');
    if (dot != std::string::npos) rs.set_opt().outfilcsv = strfmt("Y8_PEAK_%s.CSV", v.substr(0, dot).c_str());
}

void opt_axis(RunState& rs, const char* arg) {
    const std::string value = value_of(arg);
    rs.set_opt().axisflag = 1;
    if (value.empty()) return;
    std::string v = upper_copy(value);
    rs.set_opt().axiscol = v[0] == 'R' ? -1 : atoi_s(v);
}

void opt_missing(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().filltype = FILL_ZERO;
    rs.set_opt().fillvalue = 0;
    if (v.empty()) return;
    if (v[0] == 'p' || v[0] == 'P') {
        rs.set_opt().filltype = FILL_PREVIOUS;
    } else if (atof_s(v) != 0) {
        rs.set_opt().filltype = FILL_VALUE;
        rs.set_opt().fillvalue = atof_s(v);
    }
}

void opt_zero(RunState& rs, const char* arg) {
    const std::string value = value_of(arg);
    rs.set_opt().zflag = 1;
    rs.set_opt().zmax = ZMAX_NONE;
    if (value.empty()) return;
    std::string v = upper_copy(value);
    rs.set_opt().zmax = v.find('M') != std::string::npos ? ZMAX_LARGEST : atoi_s(v);
}

void opt_scale(RunState& rs, const char* arg) {
    const std::string value = value_of(arg);
    rs.set_opt().scflag = 1;
    if (value.empty()) return;
    auto f = split_colons(upper_copy(value));
    auto set_min = [&rs](const std::string& m) {
        rs.set_opt().zmin = m.find("MI") != std::string::npos ? ZMIN_KEYWORD : atoi_s(m);
    };
    if (f.size() == 1) {
        set_min(f[0]);
        return;
    }
    if (has_field(f, 1))
        rs.set_opt().zmax = f[1].find("MA") != std::string::npos ? ZMAX_LARGEST : atoi_s(f[1]);
    if (has_field(f, 0)) set_min(f[0]);
}

// The handler of the parameter selection, which reads the value after '='.
void opt_parameters(RunState& rs, const char* arg) {
    opt_parameters(rs, value_of(arg));
}

void opt_thickness(RunState& rs, const char* arg) {
    rs.set_opt().thk = atoi_s(as_given(arg));
}

void opt_threads(RunState& rs, const char* arg) {
    rs.set_opt().threads = atoi_s(as_given(arg));
}

void opt_help(RunState& rs, const char*) {
    clear_terminal();
    usage1(rs, END_OK);
}

void opt_append(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().append = 1;
    rs.set_opt().eflag = 1;
    if (!v.empty()) rs.set_opt().csv_outfil = v;
}

void opt_displaynumber(RunState& rs, const char* arg) {
    rs.set_opt().displaynum = atoi_s(as_given(arg));
}

void opt_decimals(RunState& rs, const char* arg) {
    rs.set_opt().decflag = 1;
    rs.set_opt().decsize = 2;
    if (arg) rs.set_opt().decsize = atoi_s(value_of(arg));
}

void opt_dataline(RunState& rs, const char* arg) {
    row_number(rs.set_opt().datalinerow, as_given(arg));
}

void opt_headerline(RunState& rs, const char* arg) {
    row_number(rs.set_opt().headerlinerow, as_given(arg));
}

void opt_range(RunState& rs, const char* arg) {
    set_timerange(rs, value_of(arg));
}

void opt_colors(RunState& rs, const char* arg) {
    rs.set_opt().coloflag = 1;
    rs.set_opt().colsequence = as_given(arg);
}

void opt_nofloat(RunState& rs, const char*) {
    rs.set_opt().gflag = 1;
    rs.set_opt().precision = 0;
}

void opt_history(RunState& rs, const char* arg) {
    rs.set_opt().hisflag = 1;
    rs.set_opt().hisvalue = value_of(arg);
}

void opt_height(RunState& rs, const char* arg) {
    rs.set_opt().hflag = 1;
    rs.set_opt().height = atoi_s(value_of(arg));
}

void opt_horizontal(RunState& rs, const char* arg) {
    rs.set_opt().horiz = 10;
    if (arg) rs.set_opt().horiz = atoi_s(value_of(arg));
    if (rs.opt().horiz > 50) rs.set_opt().horiz = 50;
}

void opt_ignore(RunState& rs, const char*) {
    rs.set_opt().ignoreflag = 1;
}

void opt_constant(RunState& rs, const char* arg) {
    rs.set_opt().jflag = 1;
    if (arg) rs.set_opt().jval = value_of(arg);
    rs.set_opt().zflag = 1;
}

void opt_dotcolors(RunState& rs, const char* arg) {
    rs.set_opt().dflag = 1;
    rs.set_opt().dotcoloflag = 1;
    rs.set_opt().dotcolsequence = as_given(arg);
}

void opt_merge(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().mflag = 1;
    if (!v.empty()) rs.set_opt().csv_outfil = v;
}

void opt_samplemerge(RunState& rs, const char* arg) {
    rs.set_opt().samplemerge = atoi_s(as_given(arg));
}

void opt_normalize(RunState& rs, const char*) {
    rs.set_opt().nflag = rs.set_opt().zflag = rs.set_opt().oflag = 1;
}

void opt_overlay(RunState& rs, const char* arg) {
    rs.set_opt().oflag = 1;
    rs.set_opt().zflag = 1;
    rs.set_opt().ostyle = atoi_s(value_of(arg));
}

void opt_rules(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().rflag = 1;
    rs.set_opt().zflag = 1;
    if (!v.empty()) rs.set_opt().rulfil = v;
}

void opt_rename(RunState& rs, const char* arg) {
    rs.set_opt().renameflg = 1;
    rs.set_opt().renamestr = value_of(arg);
}

void opt_stack(RunState& rs, const char*) {
    rs.set_opt().sflag = rs.set_opt().zflag = 1;
}

void opt_verbose(RunState& rs, const char*) {
    rs.set_opt().verbose = 1;
}

// The version request acts in the first pass; here it only has to be known.
void opt_version(RunState&, const char*) {}

void opt_width(RunState& rs, const char* arg) {
    rs.set_opt().wflag = 1;
    rs.set_opt().width = atoi_s(value_of(arg));
}

void opt_y(RunState& rs, const char* arg) {
    const std::string v = value_of(arg);
    rs.set_opt().yflag = 1;
    if (!v.empty()) rs.set_opt().csv_paramfil = upper_copy(v);
}

void handle_option(RunState& rs, int c, const char* arg) {
    for (const OptionRow& r : option_table())
        if (r.runs == c && r.handler) return r.handler(rs, arg);
    // A letter whose name is a flag sets that flag, in the second pass.
    for (const OptionRow& r : option_table())
        if (r.letter && r.letter == c && r.sets) {
            rs.set_opt().*r.sets = 1;
            return;
        }
    out("Invalid option %c\n\n", c);
    end_run(END_ERROR);
}
