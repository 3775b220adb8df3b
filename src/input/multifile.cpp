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
    if (fno >= 0 && fno < static_cast<int>(rs.files.size()) && rs.files[fno].nodenam.empty())
        rs.files[fno].nodenam = rs.nodestr;
}

// "Monitor Comment: ... (2048Mb ...": megabytes after the last "(" before "Mb".
static void read_physmem(RunState& rs, const std::string& field, size_t mc) {
    size_t mb = field.find("Mb", mc);
    if (mb == std::string::npos) return;
    size_t paren = field.rfind('(', mb);
    if (paren == std::string::npos || paren < mc) return;
    int megabytes = atoi_s(field.substr(paren + 1, mb - paren - 1));
    rs.physmem = clamped_mul(megabytes, 128);  // a hostile size must not overflow
    if (rs.opt().verbose) out("Physical Memory = %d Mb %d pages\n", megabytes, rs.physmem);
}

// "... with 4 cpus": the number between "with" and "cpu".
static void read_numcpus(RunState& rs, const std::string& field, size_t mc) {
    size_t with = field.find("with ", mc);
    if (with == std::string::npos) return;
    size_t cpu = field.find("cpu", with);
    if (cpu == std::string::npos) return;
    rs.numcpus = atoi_s(field.substr(with + 4, cpu - with - 4));
    if (!rs.opt().qflag) out("Number of CPUs = %d\n", rs.numcpus);
}

void get_data_from_header(RunState& rs, const std::string& tmpxline, int fno) {
    if (rs.opt().datalinerow != -1) return;
    std::string tline = tmpxline;
    chomp(tline);
    std::vector<std::string> fields;
    split_fields(tline, fields);
    if (fields.empty()) return;
    if (fno < static_cast<int>(rs.files.size()) && rs.files[fno].paraline == 0) return;

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
            if (!rs.opt().qflag) out("Nominal sampling interval = %d\n", rs.comm_sampint);
        }
        if (!rs.opt().iflag) {
            fout(rs.logfp, "%s\n", field.c_str());
            fout(rs.outfp, "%s\n", field.c_str());
        }
    }
    if (!rs.opt().iflag) {
        fout(rs.logfp, "\n");
        fout(rs.outfp, "\n");
    }
}

int reorder_csvfiles(RunState& rs) {
    int n = rs.filenum + 1;
    if (rs.opt().verbose) {
        out("Original order\n");
        for (int f = 0; f < n; ++f) out("%3d %s\n", f, rs.files[f].datafil.c_str());
    }
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    // Stable, so files that start together keep their command-line order.
    std::stable_sort(order.begin(), order.end(), [&rs](int a, int b) {
        return rs.files[a].csvstartsecs < rs.files[b].csvstartsecs;
    });
    try {
        std::vector<InputFile> sorted;
        sorted.reserve(rs.files.size());
        for (int k : order) sorted.push_back(std::move(rs.files[static_cast<size_t>(k)]));
        for (size_t k = sorted.size(); k < rs.files.size(); ++k)
            sorted.push_back(std::move(rs.files[k]));
        rs.files.swap(sorted);
    } catch (const std::exception&) {
        out("failed to allocate space for TmpLinearray\n");
        end_run(END_ERROR);
    }
    if (rs.opt().verbose) {
        for (int k = 1; k < n; ++k) {
            if (rs.files[k - 1].samp != rs.files[k].samp) {
                out("Warning! Sample intervals do not match:\n");
                out("%s (%d)  %s (%d)\n", rs.files[k - 1].datafil.c_str(), rs.files[k - 1].samp,
                    rs.files[k].datafil.c_str(), rs.files[k].samp);
            }
        }
        out("Sorted order:\n");
        for (int f = 0; f < n; ++f) out("%3d %s\n", f, rs.files[f].datafil.c_str());
    }
    return 1;
}

int check_if_diff_nodes(RunState& rs) {
    for (int f = 1; f <= rs.filenum; ++f)
        if (rs.files[f].nodenam != rs.files[f - 1].nodenam) return 1;
    out("The CSV files are from the same node\n");
    return 0;
}

void get_all_param_names(RunState& rs) {
    if (rs.filenum < 1 || static_cast<int>(rs.files.size()) <= rs.filenum) return;
    std::string newln;
    size_t cap =
        static_cast<size_t>(rs.filenum + 1) * static_cast<size_t>(rs.actualmaxlinelen) + 100;
    try {
        newln.reserve(cap);
    } catch (const std::exception&) {
        out("newln allocation failed\n");
        end_run(END_ERROR);
    }
    if (rs.opt().verbose) out("alloc newln[%d]\n", static_cast<int>(cap));
    if (rs.opt().verbose) out("alloc tstln[%d]\n", static_cast<int>(cap));

    // A name is new when no field of the union after the first equals it exactly.
    std::vector<std::string> fields;
    std::unordered_set<std::string> known;
    newln = rs.files[0].line + ",";
    split_fields(rs.files[0].line, fields);
    for (size_t i = 1; i < fields.size(); ++i) known.insert(fields[i]);
    int count = rs.files[0].numcols;
    for (int f = 1; f <= rs.filenum; ++f) {
        split_fields(rs.files[f].line, fields);
        for (size_t i = 1; i < fields.size(); ++i) {
            if (known.insert(fields[i]).second) {
                newln += fields[i];
                newln += ',';
                ++count;
            }
        }
    }
    newln.pop_back();
    rs.totals.line = newln;
    rs.files[0].line = newln;
    rs.totals.numcols = count;
    rs.files[0].numcols = count;
}
