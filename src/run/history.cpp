#include "run/history.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "base/filelist.h"
#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/output_files.h"

namespace {

// In the Windows build options begin with "/"; in the Linux build with "-".
const bool SLASH_QUALIFIERS = OPTION_PREFIX[0] == '/';

struct HistoryScan {
    int lines = 0;     // every line counts, comments too
    std::string last;  // the last line read
};

std::string today_ddmmyyyy(const WallClock& clock) {
    tm lt = {};
    local_time(clock.now(), lt);
    return strfmt("%02d%02d%04d", lt.tm_mday, lt.tm_mon + 1, lt.tm_year + 1900);
}

// The command without the program name, white space trimmed.
std::string command_part(const std::string& cmds) {
    size_t sp = cmds.find(' ');
    std::string cmd = sp == std::string::npos ? cmds : cmds.substr(sp + 1);
    return trim(cmd);
}

// A glob pattern that matches letters in either case, like the listing of the
// Windows shell; bracket expressions are left as they are.
std::string nocase_pattern(const std::string& pattern) {
    std::string p;
    bool in_bracket = false;
    for (char c : pattern) {
        if (c == '[') in_bracket = true;
        if (c == ']') in_bracket = false;
        if (!in_bracket && std::isalpha(static_cast<unsigned char>(c))) {
            char lo = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            char hi = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            p += std::string("[") + lo + hi + "]";
        } else {
            p += c;
        }
    }
    return p;
}

// A history file named by the user in another case than on disk (the program writes
// upper-case names; the Windows file system ignores case, so users may type either).
std::string existing_name(const std::string& name) {
    std::ifstream f(name);
    if (f || name.find_first_of("?[") != std::string::npos) return name;
    auto found = match_files(nocase_pattern(name));
    return found.empty() ? name : found[0];
}

[[noreturn]] void list_history_files(const std::string& hisvalue) {
    out("Available history files:\n\n");
    std::string pattern = hisvalue;
    if (!contains_nocase(pattern, ".HIS")) pattern += ".HIS";
    if (!contains_nocase(pattern, "TSGRAF_")) pattern = "TSGRAF_" + pattern;
    list_files(nocase_pattern(pattern));
    end_run(END_OK);
}

// Reads a leading record number (after white space); false for a comment line.
bool leading_number(const std::string& line, long& num, size_t& end) {
    const char* start = line.c_str();
    char* stop = nullptr;
    long n = strtol(start, &stop, 10);
    if (stop == start) return false;
    num = n;
    end = static_cast<size_t>(stop - start);
    return true;
}

// The line without its record number and the space after it.
std::string drop_number(const std::string& line) {
    long n;
    size_t end;
    if (!leading_number(line, n, end)) return line;
    if (end < line.size() && line[end] == ' ') ++end;
    return line.substr(end);
}

void print_file(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    out("Reading history file %s\n\n", name.c_str());
    out("%s", ss.str().c_str());
}

// Whether the command just given repeats the last record.
bool repeats_last(const HistoryScan& scan, const std::string& cmd) {
    if (scan.lines == 0) return false;
    std::string rest = drop_number(scan.last);
    size_t p = rest.find("tsgraf ");
    if (p != std::string::npos) rest = rest.substr(p + 7);
    return chomp(rest) == cmd;
}

bool is_word_start(const std::string& s, size_t i) {
    return i == 0 || s[i - 1] == ' ';
}

// Position of the first word at or after from that begins with prefix.
size_t find_word(const std::string& s, const std::string& prefix, size_t from) {
    for (size_t p = s.find(prefix, from); p != std::string::npos; p = s.find(prefix, p + 1))
        if (is_word_start(s, p)) return p;
    return std::string::npos;
}

// The qualifiers given with a history number, carried over to the replayed command.
// After a history option that chose another day's file, only what follows it is carried.
std::string carried_qualifiers(const std::string& cmd) {
    size_t p;
    if (SLASH_QUALIFIERS) {
        size_t hi = cmd.find("/hi");
        p = cmd.find('/', hi == std::string::npos ? 0 : hi + 1);
        return p == std::string::npos ? "" : cmd.substr(p);
    }
    // Options begin with "-"; "--hi" (any abbreviation of --history) or "-G" is the
    // history option itself.
    size_t hi = find_word(cmd, "--hi", 0);
    if (hi == std::string::npos) hi = find_word(cmd, "-G", 0);
    p = find_word(cmd, "-", hi == std::string::npos ? 0 : hi + 1);
    return p == std::string::npos ? "" : " " + cmd.substr(p);
}

[[noreturn]] void replay(const std::string& name, int recnum, const std::string& cmd) {
    std::ifstream f(name);
    if (!f) {
        out("No history file\n");
        end_run(END_ERROR);
    }
    std::string line, stored;
    bool found = false;
    while (std::getline(f, line)) {
        long n;
        size_t end;
        if (leading_number(line, n, end) && n == recnum) {
            if (end < line.size() && line[end] == ' ') ++end;
            stored = line.substr(end);
            found = true;
            break;
        }
    }
    if (!found) {
        out("No tsgraf history record %d\n", recnum);
        end_run(END_ERROR);
    }
    chomp(stored);
    std::string first = stored.substr(0, stored.find(' '));
    std::string command = contains_nocase(first, "TSGRAF") ? stored : "tsgraf " + stored;
    command += carried_qualifiers(cmd);
    out("Executing command:\n\n%s\n", command.c_str());
    run_shell(command);
    end_run(END_OK);
}

}  // namespace

void update_histfile(RunState& rs, std::string hisnum, const std::string& cmds) {
    const std::string cmd = command_part(cmds);
    const std::string today = today_ddmmyyyy(rs.clock);
    const std::string hisvalue = rs.opt().hisflag && rs.opt().hisvalue.empty() ? today : rs.opt().hisvalue;
    if (rs.opt().iflag) return;

    std::string name;
    if (!rs.opt().hisflag) {
        name = "TSGRAF_" + today + ".HIS";
    } else if (hisvalue.find('*') != std::string::npos) {
        list_history_files(hisvalue);
    } else {
        name = contains_nocase(hisvalue, "TSGRAF_") ? hisvalue
                                                     : strfmt("TSGRAF_%s.HIS", hisvalue.c_str());
        name = existing_name(name);
    }

    HistoryScan scan;
    {
        std::ifstream f(name);
        if (!f) {
            if (!rs.opt().qflag) out("No TSGRAF History file, %s, found\n", name.c_str());
            if (rs.opt().hisflag) end_run(END_ERROR);
            FILE* fp = fopen(name.c_str(), "wb");
            if (!fp) {
                out("\nError opening new history file, %s\n", name.c_str());
                end_run(END_ERROR);
            }
            fclose(fp);
        } else {
            std::string line;
            while (std::getline(f, line)) {
                ++scan.lines;
                scan.last = line;
            }
        }
    }
    const int nextnum = scan.lines + 1;

    if (hisnum.empty() && rs.opt().hisflag) print_file(name);
    if (!rs.opt().hisflag && repeats_last(scan, cmd)) return;

    strupper(hisnum);
    if (hisnum == "L") hisnum = strfmt("%d", nextnum - 1);
    int recnum = atoi_s(hisnum);
    if (recnum != 0 && hisnum.find('.') == std::string::npos) replay(name, recnum, cmd);

    if (rs.opt().hisflag) end_run(END_OK);
    if (rs.opt().nohistory) return;
    refuse_input_as_output(rs, name);
    FILE* fp = fopen(name.c_str(), "ab");
    if (!fp) {
        out("\nError appending to file, %s\n", name.c_str());
        end_run(END_ERROR);
    }
    fout(fp, "%3d %s\n", nextnum, cmd.c_str());
    fclose(fp);
}
