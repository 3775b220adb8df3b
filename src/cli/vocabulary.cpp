#include "cli/vocabulary.h"

#include "cli/handlers.h"

namespace {

constexpr ArgKind NONE = ArgKind::NONE, REQ = ArgKind::REQUIRED, OPT = ArgKind::OPTIONAL;

using O = Options;

}  // namespace

// The order matters: an abbreviation is taken by the first name it begins, and an
// ambiguous one lists its possibilities in this order. A name that sets a flag itself
// acts as soon as the scanner meets it, in the first pass already; its letter runs a
// handler, which acts only in the second. Letter and name take different values for
// j and Y. A topic may be reached by several names; its key (the leading letters that
// select it at the help prompt) is on one of them.
const std::vector<OptionRow>& option_table() {
    // clang-format off
    static const std::vector<OptionRow> rows = {
        // name          letter by_letter by_name runs  sets              topic          key
        {"bar_chart",      0,   NONE, NONE, 0,   &O::bar_chart,     "bar_chart",     "BA"},
        {"duplicates",     'U', NONE, NONE, 0,   &O::dupflag,       "duplicates",    "DU"},
        {"fill",           'f', NONE, NONE, 0,   &O::fflag,         "fill",          "F"},
        {"i",              'i', NONE, NONE, 0,   &O::iflag,         "nologs",        nullptr},
        {"nologs",         0,   NONE, NONE, 0,   &O::iflag,         "nologs",        "NOL"},
        {"labels",         0,   NONE, NONE, 0,   &O::labels,        "labels",        "LA"},
        {"nocharts",       0,   NONE, NONE, 0,   &O::nocharts,      "nocharts",      "NOC"},
        {"noheader",       0,   NONE, NONE, 0,   &O::noheader,      "noheader",      "NOHE"},
        {"nohistory",      0,   NONE, NONE, 0,   &O::nohistory,     "nohistory",     "NOHI"},
        {"nohorizontal",   0,   NONE, NONE, 0,   &O::nohoriz,       "nohorizontal",  "NOHO"},
        {"notimestamp",    0,   NONE, NONE, 0,   &O::notimestamp,   "notimestamp",   "NOT"},
        {"novertical",     0,   NONE, NONE, 0,   &O::novert,        "novertical",    "NOV"},
        {"quiet",          'q', NONE, NONE, 0,   &O::qflag,         "quiet",         "Q"},
        {"sd",             0,   NONE, NONE, 0,   &O::sdflag,        "sd",            "SD"},
        {"sparklines",     0,   NONE, NONE, 0,   &O::spkflag,       "sparklines",    "SP"},
        {"verbose",        0,   NONE, NONE, 0,   &O::verbose,       "verbose",       "VERB"},
        {"version",        0,   NONE, NONE, 0,   &O::versionflag,   "version",       "V"},
        {"set_defaults",   0,   NONE, NONE, 0,   &O::set_defaults,  "set_defaults",  "SE"},
        {"show_defaults",  0,   NONE, NONE, 0,   &O::show_defaults, "show_defaults", "SH"},
        {"thickness",      '$', REQ,  REQ,  '$', nullptr,           "thickness",     "TH"},
        {"threads",        0,   NONE, REQ,  OPT_THREADS, nullptr,   "threads",       "THR"},
        {"?",              '?', NONE, NONE, '?', nullptr,           "help",          nullptr},
        {"help",           0,   NONE, OPT,  '?', nullptr,           "help",          "HEL"},
        {"append",         'A', OPT,  OPT,  'A', nullptr,           "append",        "AP"},
        {"average",        'a', OPT,  OPT,  'a', nullptr,           "average",       "A"},
        {"border",         'b', OPT,  OPT,  'b', nullptr,           "border",        "B"},
        {"displaynumber",  'B', REQ,  REQ,  'B', nullptr,           "displaynum",    "DIS"},
        {"correlate",      'c', REQ,  REQ,  'c', nullptr,           "correlate",     "C"},
        {"directory",      'C', REQ,  REQ,  'C', nullptr,           "directory",     "DIR"},
        {"dots",           'd', OPT,  OPT,  'd', nullptr,           "dots",          "D"},
        {"decimals",       'D', OPT,  OPT,  'D', nullptr,           "decimals",      "DE"},
        {"extract",        'e', OPT,  OPT,  'e', nullptr,           "extract",       "E"},
        {"colors",         'E', REQ,  REQ,  'E', nullptr,           "colors",        "COL"},
        {"format",         'F', REQ,  REQ,  'F', nullptr,           "format",        "FO"},
        {"nofloat",        'g', NONE, NONE, 'g', nullptr,           "nofloat",       "NOF"},
        {"history",        'G', OPT,  OPT,  'G', nullptr,           "history",       "HI"},
        {"height",         'h', REQ,  REQ,  'h', nullptr,           "height",        "H"},
        {"horizontal",     'H', OPT,  OPT,  'H', nullptr,           "horizontal",    "HO"},
        {"ignore",         'I', NONE, NONE, 'I', nullptr,           "ignore",        "I"},
        {"j",              'j', NONE, OPT,  'j', nullptr,           "constant",      nullptr},
        {"constant",       0,   NONE, OPT,  'j', nullptr,           "constant",      "CON"},
        {"dotcolors",      'J', REQ,  REQ,  'J', nullptr,           "dotcolors",     "DOTC"},
        {"k",              'k', REQ,  REQ,  'k', nullptr,           "caption",       nullptr},
        {"caption",        0,   NONE, REQ,  'k', nullptr,           "caption",       "CA"},
        {"trimzeros",      'K', OPT,  OPT,  'K', nullptr,           "trimzeros",     "TR"},
        {"lines",          'l', OPT,  OPT,  'l', nullptr,           "lines",         "L"},
        {"dataline",       'L', REQ,  REQ,  'L', nullptr,           "dataline",      "DA"},
        {"merge",          'm', OPT,  OPT,  'm', nullptr,           "merge",         "M"},
        {"samplemerge",    'M', REQ,  REQ,  'M', nullptr,           "sample",        "SA"},
        {"normalize",      'n', NONE, NONE, 'n', nullptr,           "normalize",     "N"},
        {"overlay",        'o', OPT,  OPT,  'o', nullptr,           "overlay",       "O"},
        {"parameters",     'p', REQ,  REQ,  'p', nullptr,           "parameters",    "P"},
        {"percentile",     'P', OPT,  OPT,  'P', nullptr,           "percentile",    "PE"},
        {"pdf",            'Q', OPT,  OPT,  'Q', nullptr,           "pdf",           "PD"},
        {"rules",          'r', OPT,  OPT,  'r', nullptr,           "rules",         "R"},
        {"rename",         'R', REQ,  REQ,  'R', nullptr,           "rename",        "RE"},
        {"stack",          's', NONE, NONE, 's', nullptr,           "stack",         "S"},
        {"sort",           'S', OPT,  OPT,  'S', nullptr,           "sort",          "SO"},
        {"range",          't', REQ,  REQ,  't', nullptr,           "range",         "RA"},
        {"timerange",      0,   NONE, REQ,  't', nullptr,           "timerange",     "TI"},
        {"top",            'T', OPT,  OPT,  'T', nullptr,           "top",           "T"},
        {"u",              'u', OPT,  OPT,  'u', nullptr,           "u",             "U"},
        {"output",         0,   NONE, OPT,  'u', nullptr,           "output",        "OU"},
        {"V",              'V', NONE, NONE, 'V', nullptr,           "verbose",       nullptr},
        {"v",              'v', NONE, NONE, 'v', nullptr,           "version",       nullptr},
        {"width",          'w', REQ,  REQ,  'w', nullptr,           "width",         "W"},
        {"axis",           'W', OPT,  OPT,  'W', nullptr,           "axis",          "AX"},
        {"x",              'x', OPT,  OPT,  'x', nullptr,           "x",             "X"},
        {"headerline",     'X', REQ,  REQ,  'X', nullptr,           "headerline",    "HEA"},
        {"y",              'y', OPT,  OPT,  'y', nullptr,           "y",             "Y"},
        {"missing",        'Y', REQ,  OPT,  'Y', nullptr,           "missing",       "MI"},
        {"zero",           'z', OPT,  OPT,  'z', nullptr,           "zero",          "Z"},
        {"scale",          'Z', OPT,  OPT,  'Z', nullptr,           "scale",         "SC"},
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
