// Writes a deterministic synthetic Y8 format 1 CSV file: a descriptive first line, a date
// line, the heading line, then one line per sample. Used for the example data set and for
// the benchmarks.
//
//   y8gen [--rows N] [--cols N] [--interval S] [--start "dd-MMM-yyyy hh:mm:ss"] [--node NAME]
//
// The first columns are realistic ones (CPU, memory, disk, network, ...); beyond those,
// numbered generic parameters follow.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Column {
    std::string name;
    double base, amplitude, noise;  // value = base + amplitude * daily shape + noise
    int decimals;
};

// Small deterministic generator, identical on every machine.
struct Rng {
    uint64_t s;
    double next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return static_cast<double>(s >> 11) / 9007199254740992.0;
    }
};

std::vector<Column> realistic_columns() {
    std::vector<Column> c;
    for (int i = 0; i < 4; ++i) {
        char n[64];
        snprintf(n, sizeof n, "[CPU]Cpu %02d Busy%%", i);
        c.push_back({n, 12.0 + 3 * i, 55, 6, 2});
        snprintf(n, sizeof n, "[CPU]Cpu %02d Idle", i);
        c.push_back({n, -1, 0, 0, 2});  // 100 - busy, filled below
    }
    c.push_back({"[CPU]Interrupt Rate", 900, 2500, 120, 1});
    c.push_back({"[CPU]Context Switch Rate", 3000, 9000, 400, 1});
    c.push_back({"[MEMORY]Free List Size", 180000, -90000, 2500, 0});
    c.push_back({"[MEMORY]Modified List Size", 12000, 6000, 600, 0});
    c.push_back({"[MEMORY]Page Fault Rate", 40, 380, 25, 1});
    c.push_back({"[MEMORY]Page Read Rate", 2, 30, 3, 1});
    const char* disks[] = {"DKA0", "DKA100", "DKB200", "DKB300"};
    for (const char* d : disks) {
        char n[64];
        snprintf(n, sizeof n, "[DISK]%s Busy%%", d);
        c.push_back({n, 3, 45, 4, 2});
        snprintf(n, sizeof n, "[DISK]%s I/O Rate", d);
        c.push_back({n, 8, 140, 10, 1});
        snprintf(n, sizeof n, "[DISK]%s Queue Length", d);
        c.push_back({n, 0.02, 1.6, 0.1, 2});
    }
    c.push_back({"[NET]EWA0 Packets Received", 150, 1800, 90, 1});
    c.push_back({"[NET]EWA0 Packets Sent", 120, 1500, 80, 1});
    c.push_back({"[NET]EWA0 Errors", 0, 0, 0, 0});
    c.push_back({"[PROC]Process Count", 180, 60, 3, 0});
    c.push_back({"[PROC]Batch Jobs", 2, 10, 1, 0});
    c.push_back({"[IO]Direct I/O Rate", 60, 700, 40, 1});
    c.push_back({"[IO]Buffered I/O Rate", 200, 1600, 70, 1});
    c.push_back({"[LOCK]Lock Requests", 500, 4000, 200, 1});
    return c;
}

// A working-day shape: quiet at night, busy from 08:00 to 18:00 with a midday dip.
double daily_shape(int secs_of_day) {
    double h = secs_of_day / 3600.0;
    double day = 1.0 / (1.0 + std::exp(-(h - 8.0) * 2.0)) - 1.0 / (1.0 + std::exp(-(h - 18.0) * 2.0));
    double dip = 0.25 * std::exp(-std::pow((h - 12.5) / 0.6, 2));
    return std::max(0.0, day - dip);
}

int usage() {
    fprintf(stderr,
            "usage: y8gen [--rows N] [--cols N] [--interval S] [--start \"dd-MMM-yyyy "
            "hh:mm:ss\"] [--node NAME]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    long rows = 1440, cols = 34, interval = 60;
    std::string start = "07-DEC-2026 00:00:00", node = "NODEA";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) return usage();
        std::string v = argv[++i];
        if (a == "--rows") rows = atol(v.c_str());
        else if (a == "--cols") cols = atol(v.c_str());
        else if (a == "--interval") interval = atol(v.c_str());
        else if (a == "--start") start = v;
        else if (a == "--node") node = v;
        else return usage();
    }
    if (rows < 1 || cols < 1 || interval < 1) return usage();

    static const char* months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                   "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    struct tm t {};
    char mon[4] = {0};
    if (sscanf(start.c_str(), "%d-%3c-%d %d:%d:%d", &t.tm_mday, mon, &t.tm_year, &t.tm_hour,
               &t.tm_min, &t.tm_sec) != 6)
        return usage();
    for (int m = 0; m < 12; ++m)
        if (strncasecmp(mon, months[m], 3) == 0) t.tm_mon = m;
    t.tm_year -= 1900;
    time_t t0 = timegm(&t);

    std::vector<Column> real = realistic_columns();
    std::vector<Column> colv;
    for (long k = 0; k < cols; ++k) {
        if (k < static_cast<long>(real.size())) {
            colv.push_back(real[k]);
        } else {
            char n[64];
            snprintf(n, sizeof n, "[GEN]Parameter %05ld", k + 1);
            colv.push_back({n, 10.0 + k % 17, 50.0 + k % 23, 3.0, 2});
        }
    }

    printf("%s,Monitor Comment: Synthetic test node (4096Mb) with 4 cpus,"
           "Sampling Interval: %ld,%s\n",
           node.c_str(), interval, node.c_str());
    printf("%02d-%s-%04d\n", t.tm_mday, months[t.tm_mon], t.tm_year + 1900);
    printf("Sample Time");
    for (const auto& c : colv) printf(",%s", c.name.c_str());
    printf("\n");

    Rng rng{0x9e3779b97f4a7c15ULL};
    std::vector<double> vals(colv.size());
    std::string lineout;
    char buf[64];
    for (long r = 0; r < rows; ++r) {
        time_t ts = t0 + r * interval;
        struct tm lt;
        gmtime_r(&ts, &lt);
        int sod = lt.tm_hour * 3600 + lt.tm_min * 60 + lt.tm_sec;
        double shape = daily_shape(sod);
        snprintf(buf, sizeof buf, "%02d-%s-%04d %02d:%02d:%02d", lt.tm_mday, months[lt.tm_mon],
                 lt.tm_year + 1900, lt.tm_hour, lt.tm_min, lt.tm_sec);
        lineout = buf;
        for (size_t k = 0; k < colv.size(); ++k) {
            const Column& c = colv[k];
            double v;
            if (c.base < 0 && k > 0) {
                v = 100.0 - vals[k - 1];
            } else {
                v = c.base + c.amplitude * shape + c.noise * (rng.next() * 2.0 - 1.0);
                if (v < 0) v = 0;
            }
            vals[k] = v;
            snprintf(buf, sizeof buf, ",%.*f", c.decimals, v);
            lineout += buf;
        }
        lineout += '\n';
        fputs(lineout.c_str(), stdout);
    }
    return 0;
}
