// Asking for a CSV file and chart choices at the terminal; the answers become
// ordinary option arguments.
#include "cli/prompt.h"


#include <cctype>
#include <cstdio>
#include <vector>

#include "base/filelist.h"
#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "cli/help.h"

bool read_answer(std::string& line) {
    line.clear();
    bool any = false;
    // Whole lines, whatever their length or content, so that a long answer never
    // spills into the next question.
    for (int c; (c = std::getc(stdin)) != EOF;) {
        any = true;
        if (c == '\n') break;
        line += static_cast<char>(c);
    }
    if (!any) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

namespace {

// Standard input ended before an answer: nothing has been asked for, so the run
// ends as if the user had typed "quit".
[[noreturn]] void input_ended() {
    out("\n");
    end_run(END_OK);
}

std::string ask(const char* question, const char* dflt) {
    out("%s", question);
    std::string answer;
    if (!read_answer(answer)) input_ended();
    return answer.empty() ? dflt : answer;
}

// The collector's file names, matched in either letter case as a listing on the
// collector's own (case-blind) file system would.
std::string any_case(const std::string& pattern) {
    std::string p;
    for (char c : pattern) {
        unsigned char u = static_cast<unsigned char>(c);
        if (std::isalpha(u)) {
            p += '[';
            p += static_cast<char>(std::tolower(u));
            p += static_cast<char>(std::toupper(u));
            p += ']';
        } else {
            p += c;
        }
    }
    return p;
}

bool readable_file(const std::string& name) {
    PathKind kind = path_kind(name);
    if (kind == PathKind::NONE || kind == PathKind::DIRECTORY) return false;
    FILE* fp = std::fopen(name.c_str(), "rb");
    if (!fp) return false;
    std::fclose(fp);
    return true;
}

std::string ask_for_file(RunState& rs) {
    for (;;) {
        out("Enter Y8 CSV file name (or wildcard spec.) : ");
        std::string answer;
        if (!read_answer(answer)) input_ended();
        if (!answer.empty() && answer[0] == '?') {
            list_files(any_case("y8_*_*_*_*.CSV"));
            out("\n");
        } else if (answer.find('*') != std::string::npos) {
            list_files(answer);
            out("\n");
        } else if (answer == "quit") {
            end_run(END_OK);
        } else if (answer == "help" || answer.empty()) {
            clear_terminal();
            usage1(rs, END_OK);
        } else if (!readable_file(answer)) {
            out("No such file\n");
        } else {
            return answer;
        }
    }
}

}  // namespace

int prompt_for_input(RunState& rs) {
    std::vector<std::string> args;
    args.push_back(ask_for_file(rs));
    const std::string pfx = OPTION_PREFIX;

    // Numbers are added as read, so the argument holds exactly what the option uses.
    int n = atoi_s(ask("Enter required chart width (pixels)  [800] : ", "800"));
    if (n != 0) args.push_back(pfx + "width=" + std::to_string(n));
    n = atoi_s(ask("Enter required chart height (pixels) [400] : ", "400"));
    if (n != 0) args.push_back(pfx + "height=" + std::to_string(n));
    if (ask("Do you want a vertical scale and grid  [y] : ", "y")[0] == 'y')
        args.push_back(pfx + "lines");
    if (ask("Do you want a border                   [y] : ", "y")[0] == 'y')
        args.push_back(pfx + "border=1");
    if (ask("Do you want the Moving Average         [y] : ", "y")[0] == 'y') {
        n = atoi_s(ask("Enter the Moving Average window size  [60] : ", "60"));
        args.push_back(pfx + "average=" + std::to_string(n));
    }
    std::string params = upper_copy(ask("Enter required parameters            [ALL] : ", "ALL"));
    args.push_back(pfx + "para=" + (params == "ALL" ? std::string("0") : params));

    out("\n");
    for (size_t i = 0; i + 1 < args.size(); ++i) out("%s ", args[i].c_str());
    out("\n\n");

    if (rs.cargv.empty()) rs.cargv.push_back("tsgraf");
    rs.cargv.resize(1);
    rs.cargv.insert(rs.cargv.end(), args.begin(), args.end());
    rs.cargc = static_cast<int>(rs.cargv.size());
    return rs.cargc;
}
