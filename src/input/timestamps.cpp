#include "input/timestamps.h"

int cvtdate(std::string&, std::string& cvtdat) {
    cvtdat.clear();
    return 1;
}
time_t cvttime(const std::string&) { return 0; }
void secstodate(time_t, std::string& date) { date.clear(); }
time_t get_csvdate(RunState&, int, std::string&) { return 0; }
