#include "input/multifile.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <unordered_set>
#include <vector>

#include "base/out.h"
#include "base/run_end.h"
#include "base/scan.h"
#include "base/strings.h"
#include "input/fields.h"

void read_nodename(RunState& rs, const std::string& nodeline, int fno) {
    std::string field = first_field(nodeline.substr(0, 99));
    if (field.empty()) return;
    size_t cut = field.find_first_of(" _");
    if (cut != std::string::npos) field.resize(cut);
    rs.nodestr = field;
    if (fno >= 0 && fno < static_cast<int>(rs.nodenam.size()) && rs.nodenam[fno].empty())
        rs.nodenam[fno] = rs.nodestr;
}

// "Monitor Comment: ... (2048Mb ...": megabytes after the last "(" before "Mb".
static void read_physmem(RunState& rs, const std::string& field, size_t mc) {
    size_t mb = field.find("Mb", mc);
    if (mb == std::string::npos) return;
    size_t paren = field.rfind('(', mb);
    if (paren == std::string::npos || paren < mc) return;
    int megabytes = atoi_s(field.substr(paren + 1, mb - paren - 1));
    rs.physmem = clamped_mul(megabytes, 128);  // a hostile size must not overflow
    if (rs.verbose) out("Physical Memory = %d Mb %d pages\n", megabytes, rs.physmem);
}

// "... with 4 cpus": the number between "with" and "cpu".
static void read_numcpus(RunState& rs, const std::string& field, size_t mc) {
    size_t with = field.find("with ", mc);
    if (with == std::string::npos) return;
    size_t cpu = field.find("cpu", with);
    if (cpu == std::string::npos) return;
    rs.numcpus = atoi_s(field.substr(with + 4, cpu - with - 4));
    if (!rs.qflag) out("Number of CPUs = %d\n", rs.numcpus);
}

void get_data_from_header(RunState& rs, const std::string& tmpxline, int fno) {
    if (rs.datalinerow != -1) return;
    std::string tline = tmpxline;
    chomp(tline);
    std::vector<std::string> fields;
    split_fields(tline, fields);
    if (fields.empty()) return;
    if (fno < static_cast<int>(rs.paraline.size()) && rs.paraline[fno] == 0) return;

    std::string node;
    if (fields[0].size() <= 9) {
        rs.nodestr = fields[0];
        node = fields[0];
    }
    for (size_t i = 1; i < fields.size(); ++i) {
        std::string field = fields[i];
        strltrim(field);
        if (field.empty() || (!node.empty() && field == node)) break;
        size_t mc = field.find("Monitor Comment: ");
        if (mc != std::string::npos) {
            read_physmem(rs, field, mc);
            read_numcpus(rs, field, mc);
        }
        size_t si = field.find("Sampling Interval: ");
        if (si != std::string::npos) {
            rs.comm_sampint = atoi_s(field.substr(si + 19));
            if (!rs.qflag) out("Nominal sampling interval = %d\n", rs.comm_sampint);
        }
        if (!rs.iflag) {
            fout(rs.logfp, "%s\n", field.c_str());
            fout(rs.outfp, "%s\n", field.c_str());
        }
    }
    if (!rs.iflag) {
        fout(rs.logfp, "\n");
        fout(rs.outfp, "\n");
    }
}

template <class T>
static void permute(std::vector<T>& v, const std::vector<int>& order) {
    std::vector<T> copy(v);
    for (size_t k = 0; k < order.size(); ++k)
        if (static_cast<size_t>(order[k]) < copy.size() && k < v.size())
            v[k] = std::move(copy[order[k]]);
}

int reorder_csvfiles(RunState& rs) {
    int n = rs.filenum + 1;
    if (rs.verbose) {
        out("Original order\n");
        for (int f = 0; f < n; ++f) out("%3d %s\n", f, rs.datafil[f].c_str());
    }
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    // Stable, so files that start together keep their command-line order.
    std::stable_sort(order.begin(), order.end(),
                     [&rs](int a, int b) { return rs.csvstartsecs[a] < rs.csvstartsecs[b]; });
    try {
        permute(rs.csvstartsecs, order);
        permute(rs.csvendsecs, order);
        permute(rs.numrows, order);
        permute(rs.numcols, order);
        permute(rs.firstdataline, order);
        permute(rs.paraline, order);
        permute(rs.y8format, order);
        permute(rs.samp, order);
        permute(rs.nodenam, order);
        permute(rs.datafil, order);
        permute(rs.line, order);
        permute(rs.fileparamnums, order);
    } catch (const std::exception&) {
        out("failed to allocate space for TmpLinearray\n");
        end_run(END_ERROR);
    }
    if (rs.verbose) {
        for (int k = 1; k < n; ++k) {
            if (rs.samp[k - 1] != rs.samp[k]) {
                out("Warning! Sample intervals do not match:\n");
                out("%s (%d)  %s (%d)\n", rs.datafil[k - 1].c_str(), rs.samp[k - 1],
                    rs.datafil[k].c_str(), rs.samp[k]);
            }
        }
        out("Sorted order:\n");
        for (int f = 0; f < n; ++f) out("%3d %s\n", f, rs.datafil[f].c_str());
    }
    return 1;
}

int check_if_diff_nodes(RunState& rs) {
    for (int f = 1; f <= rs.filenum; ++f)
        if (rs.nodenam[f] != rs.nodenam[f - 1]) return 1;
    out("The CSV files are from the same node\n");
    return 0;
}

void get_all_param_names(RunState& rs) {
    int last = rs.filenum + 1;
    if (rs.filenum < 1 || static_cast<int>(rs.line.size()) <= last) return;
    std::string newln;
    size_t cap =
        static_cast<size_t>(rs.filenum + 1) * static_cast<size_t>(rs.actualmaxlinelen) + 100;
    try {
        newln.reserve(cap);
    } catch (const std::exception&) {
        out("newln allocation failed\n");
        end_run(END_ERROR);
    }
    if (rs.verbose) out("alloc newln[%d]\n", static_cast<int>(cap));
    if (rs.verbose) out("alloc tstln[%d]\n", static_cast<int>(cap));

    // A name is new when no field of the union after the first equals it exactly.
    std::vector<std::string> fields;
    std::unordered_set<std::string> known;
    newln = rs.line[0] + ",";
    split_fields(rs.line[0], fields);
    for (size_t i = 1; i < fields.size(); ++i) known.insert(fields[i]);
    int count = rs.numcols[0];
    for (int f = 1; f <= rs.filenum; ++f) {
        split_fields(rs.line[f], fields);
        for (size_t i = 1; i < fields.size(); ++i) {
            if (known.insert(fields[i]).second) {
                newln += fields[i];
                newln += ',';
                ++count;
            }
        }
    }
    newln.pop_back();
    rs.line[last] = newln;
    rs.line[0] = newln;
    rs.numcols[last] = count;
    rs.numcols[0] = count;
}
