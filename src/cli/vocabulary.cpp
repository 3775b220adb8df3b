#include "cli/vocabulary.h"

#include "cli/handlers.h"

namespace {

constexpr ArgKind NONE = ArgKind::NONE, REQ = ArgKind::REQUIRED, OPT = ArgKind::OPTIONAL;

using O = Options;

}  // namespace

// The order matters: an abbreviation is taken by the first name it begins, and an
// ambiguous one lists its possibilities in this order. A name that sets a flag itself
// acts as soon as the scanner meets it, in the first pass already; its letter sets the
// flag only in the second, as handlers do. Letter and name take different values for
// j and Y. A topic may be reached by several names; its key (the leading letters that
// select it at the help prompt) is on one of them.
const std::vector<OptionRow>& option_table() {
    // clang-format off
    static const std::vector<OptionRow> rows = {
        // name          letter by_letter by_name runs handler            sets                topic          key
        {"bar_chart",      0,   NONE, NONE, 0,   nullptr,            &O::bar_chart,      "bar_chart",     "BA"},
        {"duplicates",     'U', NONE, NONE, 0,   nullptr,            &O::dupflag,        "duplicates",    "DU"},
        {"fill",           'f', NONE, NONE, 0,   nullptr,            &O::fflag,          "fill",          "F"},
        {"i",              'i', NONE, NONE, 0,   nullptr,            &O::iflag,          "nologs",        nullptr},
        {"nologs",         0,   NONE, NONE, 0,   nullptr,            &O::iflag,          "nologs",        "NOL"},
        {"labels",         0,   NONE, NONE, 0,   nullptr,            &O::labels,         "labels",        "LA"},
        {"nocharts",       0,   NONE, NONE, 0,   nullptr,            &O::nocharts,       "nocharts",      "NOC"},
        {"noheader",       0,   NONE, NONE, 0,   nullptr,            &O::noheader,       "noheader",      "NOHE"},
        {"nohistory",      0,   NONE, NONE, 0,   nullptr,            &O::nohistory,      "nohistory",     "NOHI"},
        {"nohorizontal",   0,   NONE, NONE, 0,   nullptr,            &O::nohoriz,        "nohorizontal",  "NOHO"},
        {"notimestamp",    0,   NONE, NONE, 0,   nullptr,            &O::notimestamp,    "notimestamp",   "NOT"},
        {"novertical",     0,   NONE, NONE, 0,   nullptr,            &O::novert,         "novertical",    "NOV"},
        {"quiet",          'q', NONE, NONE, 0,   nullptr,            &O::qflag,          "quiet",         "Q"},
        {"sd",             0,   NONE, NONE, 0,   nullptr,            &O::sdflag,         "sd",            "SD"},
        {"sparklines",     0,   NONE, NONE, 0,   nullptr,            &O::spkflag,        "sparklines",    "SP"},
        {"verbose",        0,   NONE, NONE, 0,   nullptr,            &O::verbose,        "verbose",       "VERB"},
        {"version",        0,   NONE, NONE, 0,   nullptr,            &O::versionflag,    "version",       "V"},
        {"set_defaults",   0,   NONE, NONE, 0,   nullptr,            &O::set_defaults,   "set_defaults",  "SE"},
        {"show_defaults",  0,   NONE, NONE, 0,   nullptr,            &O::show_defaults,  "show_defaults", "SH"},
        {"thickness",      '$', REQ,  REQ,  '$', opt_thickness,      nullptr,            "thickness",     "TH"},
        {"threads",        0,   NONE, REQ,  OPT_THREADS, opt_threads, nullptr,          "threads",       "THR"},
        {"?",              '?', NONE, NONE, '?', opt_help,           nullptr,            "help",          nullptr},
        {"help",           0,   NONE, OPT,  '?', opt_help,           nullptr,            "help",          "HEL"},
        {"append",         'A', OPT,  OPT,  'A', opt_append,         nullptr,            "append",        "AP"},
        {"average",        'a', OPT,  OPT,  'a', opt_average,        nullptr,            "average",       "A"},
        {"border",         'b', OPT,  OPT,  'b', opt_border,         nullptr,            "border",        "B"},
        {"displaynumber",  'B', REQ,  REQ,  'B', opt_displaynumber,  nullptr,            "displaynum",    "DIS"},
        {"correlate",      'c', REQ,  REQ,  'c', opt_correlate,      nullptr,            "correlate",     "C"},
        {"directory",      'C', REQ,  REQ,  'C', opt_directory,      nullptr,            "directory",     "DIR"},
        {"dots",           'd', OPT,  OPT,  'd', opt_dots,           nullptr,            "dots",          "D"},
        {"decimals",       'D', OPT,  OPT,  'D', opt_decimals,       nullptr,            "decimals",      "DE"},
        {"extract",        'e', OPT,  OPT,  'e', opt_extract,        nullptr,            "extract",       "E"},
        {"colors",         'E', REQ,  REQ,  'E', opt_colors,         nullptr,            "colors",        "COL"},
        {"format",         'F', REQ,  REQ,  'F', opt_format,         nullptr,            "format",        "FO"},
        {"nofloat",        'g', NONE, NONE, 'g', opt_nofloat,        nullptr,            "nofloat",       "NOF"},
        {"history",        'G', OPT,  OPT,  'G', opt_history,        nullptr,            "history",       "HI"},
        {"height",         'h', REQ,  REQ,  'h', opt_height,         nullptr,            "height",        "H"},
        {"horizontal",     'H', OPT,  OPT,  'H', opt_horizontal,     nullptr,            "horizontal",    "HO"},
        {"ignore",         'I', NONE, NONE, 'I', opt_ignore,         nullptr,            "ignore",        "I"},
        {"j",              'j', NONE, OPT,  'j', opt_constant,       nullptr,            "constant",      nullptr},
        {"constant",       0,   NONE, OPT,  'j', opt_constant,       nullptr,            "constant",      "CON"},
        {"dotcolors",      'J', REQ,  REQ,  'J', opt_dotcolors,      nullptr,            "dotcolors",     "DOTC"},
        {"k",              'k', REQ,  REQ,  'k', opt_caption,        nullptr,            "caption",       nullptr},
        {"caption",        0,   NONE, REQ,  'k', opt_caption,        nullptr,            "caption",       "CA"},
        {"trimzeros",      'K', OPT,  OPT,  'K', opt_trimzeros,      nullptr,            "trimzeros",     "TR"},
        {"lines",          'l', OPT,  OPT,  'l', opt_lines,          nullptr,            "lines",         "L"},
        {"dataline",       'L', REQ,  REQ,  'L', opt_dataline,       nullptr,            "dataline",      "DA"},
        {"merge",          'm', OPT,  OPT,  'm', opt_merge,          nullptr,            "merge",         "M"},
        {"samplemerge",    'M', REQ,  REQ,  'M', opt_samplemerge,    nullptr,            "sample",        "SA"},
        {"normalize",      'n', NONE, NONE, 'n', opt_normalize,      nullptr,            "normalize",     "N"},
        {"overlay",        'o', OPT,  OPT,  'o', opt_overlay,        nullptr,            "overlay",       "O"},
        {"parameters",     'p', REQ,  REQ,  'p', opt_parameters,     nullptr,            "parameters",    "P"},
        {"percentile",     'P', OPT,  OPT,  'P', opt_percentile,     nullptr,            "percentile",    "PE"},
        {"pdf",            'Q', OPT,  OPT,  'Q', opt_pdf,            nullptr,            "pdf",           "PD"},
        {"rules",          'r', OPT,  OPT,  'r', opt_rules,          nullptr,            "rules",         "R"},
        {"rename",         'R', REQ,  REQ,  'R', opt_rename,         nullptr,            "rename",        "RE"},
        {"stack",          's', NONE, NONE, 's', opt_stack,          nullptr,            "stack",         "S"},
        {"sort",           'S', OPT,  OPT,  'S', opt_sort,           nullptr,            "sort",          "SO"},
        {"range",          't', REQ,  REQ,  't', opt_range,          nullptr,            "range",         "RA"},
        {"timerange",      0,   NONE, REQ,  't', opt_range,          nullptr,            "timerange",     "TI"},
        {"top",            'T', OPT,  OPT,  'T', opt_top,            nullptr,            "top",           "T"},
        {"u",              'u', OPT,  OPT,  'u', opt_output,         nullptr,            "u",             "U"},
        {"output",         0,   NONE, OPT,  'u', opt_output,         nullptr,            "output",        "OU"},
        {"V",              'V', NONE, NONE, 'V', opt_verbose,        nullptr,            "verbose",       nullptr},
        {"v",              'v', NONE, NONE, 'v', opt_version,        nullptr,            "version",       nullptr},
        {"width",          'w', REQ,  REQ,  'w', opt_width,          nullptr,            "width",         "W"},
        {"axis",           'W', OPT,  OPT,  'W', opt_axis,           nullptr,            "axis",          "AX"},
        {"x",              'x', OPT,  OPT,  'x', opt_x,              nullptr,            "x",             "X"},
        {"headerline",     'X', REQ,  REQ,  'X', opt_headerline,     nullptr,            "headerline",    "HEA"},
        {"y",              'y', OPT,  OPT,  'y', opt_y,              nullptr,            "y",             "Y"},
        {"missing",        'Y', REQ,  OPT,  'Y', opt_missing,        nullptr,            "missing",       "MI"},
        {"zero",           'z', OPT,  OPT,  'z', opt_zero,           nullptr,            "zero",          "Z"},
        {"scale",          'Z', OPT,  OPT,  'Z', opt_scale,          nullptr,            "scale",         "SC"},
    };
    // clang-format on
    return rows;
}

std::vector<std::string> long_option_names() {
    std::vector<std::string> names;
    for (const OptionRow& r : option_table()) names.emplace_back(r.name);
    return names;
}

std::string option_letters() {
    std::string letters;
    for (const OptionRow& r : option_table()) {
        if (!r.letter) continue;
        letters += r.letter;
        if (r.by_letter != ArgKind::NONE) letters += ':';
        if (r.by_letter == ArgKind::OPTIONAL) letters += ':';
    }
    return letters;
}

std::vector<LongOption> long_options(RunState& rs) {
    std::vector<LongOption> longs;
    for (const OptionRow& r : option_table()) {
        if (r.sets)
            longs.push_back({r.name, r.by_name, &(rs.set_opt().*r.sets), 1});
        else
            longs.push_back({r.name, r.by_name, nullptr, r.runs});
    }
    return longs;
}
