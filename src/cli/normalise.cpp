#include "cli/normalise.h"

#include <cctype>

#include "base/platform.h"
#include "base/strings.h"
#include "cli/prompt.h"
#include "cli/vocabulary.h"

namespace {

// The name the program runs itself under again (wildcard re-run, history replay).
const char* const PROGRAM_COMMAND = "tsgraf";

// Where "/" starts a qualifier (Windows build), qualifiers may be glued to a file name
// and to each other. In the Linux build a "/" argument is a file name: an absolute path.
const bool SLASH_QUALIFIERS = OPTION_PREFIX[0] == '/';

// Keeps the re-run of a corrected wildcard command from recording itself a second time.
const char* rerun_suffix() {
    return SLASH_QUALIFIERS ? " /nohis" : " --nohistory";
}

// Whether text begins some long option name (the split check's test of a segment).
bool begins_option_name(const std::string& text) {
    for (const OptionRow& r : option_table())
        if (std::string(r.name).compare(0, text.size(), text) == 0) return true;
    return false;
}

// name="value": the value between double quotes.
std::string quote_after_equals(const std::string& arg, size_t eq) {
    return arg.substr(0, eq + 1) + '"' + arg.substr(eq + 1) + '"';
}

// An option value with a space is shown quoted, so that it reads as one argument.
std::string quote_value(const std::string& arg) {
    size_t eq = arg.find('=');
    if (eq == std::string::npos || arg.find(' ') == std::string::npos) return arg;
    return quote_after_equals(arg, eq);
}

// The history form of one argument: quoted when it holds white space or anything else
// the shell would act on, because the recorded text is handed to the shell again when
// the record is replayed.
std::string history_arg(const std::string& arg) {
    return shell_word(arg);
}

// "tsgraf", a space, then each argument with a space in front unless it is a glued
// "/" qualifier.
std::string history_form(const std::vector<std::string>& args) {
    std::string s = std::string(PROGRAM_COMMAND) + " ";
    for (const auto& a : args) {
        if (!(SLASH_QUALIFIERS && !a.empty() && a[0] == '/')) s += ' ';
        s += history_arg(a);
    }
    return s;
}

bool names_existing_path(const std::string& arg) {
    return path_kind(arg) != PathKind::NONE;
}

// Arguments that are never cut at "/": an existing file or directory (a path), and in
// the Linux build an absolute path (a file name there) and an option, whose value may
// be a path or a date.
bool keep_whole(const std::string& arg) {
    if (!SLASH_QUALIFIERS && !arg.empty() && (arg[0] == '-' || arg[0] == '/')) return true;
    return names_existing_path(arg);
}

std::vector<std::string> slash_segments(const std::string& arg) {
    std::vector<std::string> segs;
    size_t start = 0;
    while (start <= arg.size()) {
        size_t p = arg.find('/', start);
        if (p == std::string::npos) p = arg.size();
        if (p > start) segs.push_back(arg.substr(start, p - start));
        start = p + 1;
    }
    return segs;
}

// In the Linux build "/" is the folder separator: a name such as ../data/day.csv is a
// path unless every part after a "/" reads like a qualifier (par=1, o), and a path
// is never cut, whether or not the file exists.
bool names_a_path(const std::string& arg) {
    if (SLASH_QUALIFIERS) return false;
    std::vector<std::string> segs = slash_segments(arg);
    for (size_t i = (arg[0] == '/' ? 0 : 1); i < segs.size(); ++i) {
        std::string name = segs[i].substr(0, segs[i].find('='));
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name.size() == 1) continue;
        if (name.empty() || !begins_option_name(name)) return true;
    }
    return false;
}

void split_argument(const std::string& arg, std::vector<std::string>& into) {
    bool whole = keep_whole(arg) || arg.find('/', 1) == std::string::npos || names_a_path(arg);
    if (!whole) {
        size_t sp = arg.find(' ', 1);
        if (sp != std::string::npos && arg.find('/', sp + 1) != std::string::npos &&
            !check_if_legit(arg))
            whole = true;  // a value that contains " /"
    }
    if (!whole && arg.find("/pa") != std::string::npos && !check_if_legit(arg)) whole = true;
    if (whole) {
        into.push_back(arg);
        return;
    }
    std::vector<std::string> segs = slash_segments(arg);
    for (size_t i = 0; i < segs.size(); ++i)
        into.push_back((i > 0 || arg[0] == '/') ? "/" + segs[i] : segs[i]);
}

}  // namespace

std::string clean_up_args(RunState& rs, int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    rs.cmdline = PROGRAM_COMMAND;
    for (const auto& a : args) rs.cmdline += " " + a;
    rs.ocmdline = history_form(args);

    if (rs.spaceprefix) {
        rs.cargv.assign(1, argc > 0 ? argv[0] : PROGRAM_COMMAND);
        rs.cargv.insert(rs.cargv.end(), args.begin(), args.end());
        rs.cargc = static_cast<int>(rs.cargv.size());
    } else {
        rs.cargc = insert_space_prefix(rs, argc, argv);
    }
    if (rs.cargc == 1) {
        rs.cargc = prompt_for_input(rs);
        // Record what the answers made of the command, so the record can be replayed.
        std::vector<std::string> asked;
        for (int i = 1; i < rs.cargc && i < static_cast<int>(rs.cargv.size()); ++i)
            asked.push_back(rs.cargv[i]);
        rs.ocmdline = history_form(asked);
    }
    return list(rs);
}

int insert_space_prefix(RunState& rs, int argc, char** argv) {
    rs.cargv.assign(1, argc > 0 ? argv[0] : PROGRAM_COMMAND);
    for (int i = 1; i < argc; ++i) split_argument(argv[i], rs.cargv);
    rs.cargc = static_cast<int>(rs.cargv.size());
    return rs.cargc;
}

int check_if_legit(const std::string& arg) {
    int result = 0;
    for (const auto& seg : slash_segments(arg)) {
        std::string head = seg.substr(0, 4);
        if (head.size() < 2) {
            result = 0;
            continue;
        }
        head = head.substr(0, head.find('='));
        for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (begins_option_name(head)) result = 1;
    }
    return result;
}

std::string list(RunState& rs) {
    const std::string typed = rs.cmdline;
    const std::string up = upper_copy(typed);
    // A wildcard glued to a qualifier matches no file, so the shell left it alone.
    bool unexpanded = up.find('*') != std::string::npos && up.find(".CSV/") != std::string::npos;

    std::string joined = PROGRAM_COMMAND;
    rs.cmdline = PROGRAM_COMMAND;
    for (int i = 1; i < rs.cargc && i < static_cast<int>(rs.cargv.size()); ++i) {
        joined += " " + rs.cargv[i];
        rs.cmdline += " " + quote_value(rs.cargv[i]);
    }
    // Only a split sets the wildcard apart; running an unchanged command again would
    // find it glued once more and start itself over and over.
    if (!unexpanded || joined == typed) return "";

    rs.cmdline += rerun_suffix();
    // File names keep their wildcards bare for the shell to expand; nothing else in the
    // arguments may reach the shell unquoted.
    std::string command = PROGRAM_COMMAND;
    for (int i = 1; i < rs.cargc && i < static_cast<int>(rs.cargv.size()); ++i) {
        const std::string& a = rs.cargv[i];
        bool file_name = !a.empty() && a[0] != '-' && !(SLASH_QUALIFIERS && a[0] == '/');
        command += " " + shell_word(a, file_name);
    }
    return command + rerun_suffix();
}
