// A whole run, as main makes it, over an argument vector made of the input's lines (or
// NUL-separated pieces), in a directory holding two small data files, a parameter list
// and a rules file. Reaches what option scanning alone cannot: option values acting on
// loading, statistics, listings, charts, pages and the CSV writers.
// Arguments naming anything outside the private directory (a "/" or "..") are skipped.
// The search path is emptied, so the shell finds no program to re-run and no converter.
// Lines after a line "<<<" are what the run reads from standard input (its questions).
#include "whole_run.h"

namespace {

std::string data_file(const char* node, int rows, int step) {
    std::string s = std::string(node) + ",Monitor Comment: fuzz,Sampling Interval: 60," + node +
                    "\n01-JAN-2024\nSample Time,Cpu 00 Busy%,Cpu 00 Idle,Disk A Busy,Free List Size\n";
    for (int r = 0; r < rows; ++r) {
        char buf[128];
        snprintf(buf, sizeof buf, "01-JAN-2024 %02d:%02d:00,%d,%d.5,%d,%d\n", r / 60, r % 60,
                 (r * step) % 97, 100 - (r * step) % 97, r % 5, 4000 - r);
        s += buf;
    }
    return s;
}

void write_inputs() {
    fuzz::write_file("a.csv", data_file("NODEA", 40, 7));
    fuzz::write_file("b.csv", data_file("NODEB", 25, 3));
    fuzz::write_file("p.lis",
                     "Cpu 00 Busy%\n[CALC],Cpu 00 Busy%,+,Disk A Busy,Both\n"
                     "[RENAME],Disk *,Drive &1\n");
    fuzz::write_file("Y8RULES.LIS",
                     "Busy|>|50|2|Busy above $P1 for $P2 samples\nIdle|<|MAX*0.5|A|low\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (char& c : text)
        if (c == '\0') c = '\n';
    std::string answers;
    size_t mark = text.rfind("<<<\n", 0) == 0 ? 0 : text.find("\n<<<\n");
    if (mark != std::string::npos) {
        size_t from = mark == 0 ? 4 : mark + 5;
        answers = text.substr(from);
        text.erase(mark == 0 ? 0 : mark + 1);
    }
    std::vector<std::string> args = fuzz::lines(text);
    if (args.size() > 32) return 0;
    for (const auto& a : args)
        if (a.find('/') != std::string::npos || a.find("..") != std::string::npos) return 0;

    fuzz::Scope scope;
    write_inputs();
    fuzz::write_file("answers.txt", answers);
    if (!freopen("answers.txt", "r", stdin)) abort();
    fuzz::whole_run(args);
    if (!freopen("/dev/null", "r", stdin)) abort();
    return 0;
}
