#include "cli/consistency.h"

#include <climits>
#include <cstdlib>
#include <fstream>

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "stats/listing.h"

// ---- File list ----

static bool is_list_file(const std::string& name) {
    return name.find(".LIS") != std::string::npos || name.find(".lis") != std::string::npos;
}

// A pipe, device or socket named as an input would block the run or feed it without end,
// and is read more than once besides; such inputs, and folders, are refused before
// anything is opened.
static void refuse_special_file(const std::string& name) {
    PathKind kind = path_kind(name);
    if (kind == PathKind::NONE || kind == PathKind::REGULAR) return;
    if (kind == PathKind::DIRECTORY)
        out("Input file %s is a directory, not a CSV file\n", name.c_str());
    else
        out("Input file %s is not a regular file\n", name.c_str());
    end_run(END_ERROR);
}

// A name with wildcard characters that names no file is a pattern the shell left alone
// (quoted, or matching nothing): it stands for the files it matches, in name order.
// One that matches nothing stays as it is, for the survey to report.
static std::vector<std::string> expand_wildcards(const std::vector<std::string>& names) {
    std::vector<std::string> expanded;
    for (const auto& name : names) {
        std::vector<std::string> found;
        if (name.find_first_of("*?[") != std::string::npos && path_kind(name) == PathKind::NONE)
            found = list_pattern(name);
        if (found.empty())
            expanded.push_back(name);
        else
            expanded.insert(expanded.end(), found.begin(), found.end());
    }
    return expanded;
}

// One CSV name per line; ';' starts a comment line. A line is one name whatever its
// length, and blank lines name nothing.
static std::vector<std::string> read_list_file(const std::string& name) {
    refuse_special_file(name);
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        out("Input file %s could not be opened\n", name.c_str());
        end_run(END_ERROR);
    }
    std::vector<std::string> names;
    std::string line;
    while (std::getline(in, line)) {
        chomp(line);
        if (line.empty() || line[0] == ';') continue;
        names.push_back(line);
    }
    return names;
}

void take_file_list(RunState& rs, const std::vector<std::string>& names) {
    std::vector<std::string> taken = expand_wildcards(names);
    if (!rs.append && taken.size() > static_cast<size_t>(MAXFILES)) {
        if (rs.verbose) out("Too many CSV files!, the first %d will be used\n", MAXFILES);
        rs.toomanyfiles = 1;
        taken.resize(MAXFILES);
    }
    rs.input_ids.clear();
    if (!taken.empty() && is_list_file(taken[0])) {
        rs.input_ids.push_back(file_id(taken[0]));
        // The list's names take the place of the list file; later arguments follow them.
        std::vector<std::string> listed = expand_wildcards(read_list_file(taken[0]));
        listed.insert(listed.end(), taken.begin() + 1, taken.end());
        taken.swap(listed);
    }
    for (const auto& name : taken) {
        refuse_special_file(name);
        rs.input_ids.push_back(file_id(name));
    }
    rs.files.clear();
    for (auto& name : taken) {
        rs.files.emplace_back();
        rs.files.back().datafil = std::move(name);
    }
    rs.filenum = static_cast<int>(taken.size()) - 1;
}

// ---- Consistency rules ----

static bool several_files(const RunState& rs) {
    return rs.filenum > 0;
}
static bool writes_csv(const RunState& rs) {
    return rs.eflag || rs.xflag || rs.mflag;
}

static void ignoring(const char* why, const char* what) {
    out("%s", why);
    out("ignoring %s\n", what);
}

static void file_count_rules(RunState& rs) {
    if (rs.verbose) rs.qflag = 0;
    if (!rs.append && rs.filenum > MAXFILES - 1) {
        if (rs.verbose)
            out("\nToo many CSV files (%d)!. Max allowed is %d\n\n", rs.filenum + 1, MAXFILES);
        rs.toomanyfiles = 1;
        rs.filenum = MAXFILES - 1;
        rs.files.resize(MAXFILES);
    }
    if (rs.filltype && !rs.mflag) {
        ignoring("\n/missing is valid only with /merge\n", "/missing");
        rs.filltype = FILL_NOTHING;
    }
}

static void take_default_flags(RunState& rs) {
    auto take = [](int& flag, int def) {
        if (!flag && def) flag = 1;
    };
    take(rs.aflag, rs.aflagdef);
    take(rs.bflag, rs.bflagdef);
    take(rs.dflag, rs.dflagdef);
    take(rs.hflag, rs.hflagdef);
    take(rs.kflag, rs.kflagdef);
    if (rs.kdef) {
        if (rs.kcflagdef) rs.capcol = rs.capcoldef;
        if (rs.ksflagdef) rs.capsiz = rs.capsizdef;
    }
    if (!rs.lflag && rs.lflagdef) rs.lflag = LINES_ON;
    take(rs.wflag, rs.wflagdef);
    take(rs.zflag, rs.zflagdef);
}

static void chart_kind_rules(RunState& rs) {
    if (several_files(rs)) rs.zflag = 1;
    if ((rs.cflag || rs.corrall) && rs.oflag) {
        ignoring("Cannot use /correlate and /overlay together\n", "/correlate");
        rs.cflag = rs.corrall = 0;
    }
    if (rs.nflag && several_files(rs)) {
        ignoring("normalize qualifier not supported for multifile charts\n", "/normalize");
        rs.nflag = 0;
    }
    if (rs.nflag && rs.sflag) {
        out("Qualifier /normalize not supported with /Stack qualifier.\n");
        rs.nflag = 0;
    }
    if (rs.oflag && several_files(rs)) {
        ignoring("Cannot use overlay qualifier with multifile charts\n", "/overlay");
        rs.oflag = 0;
    }
    if (rs.oflag && rs.topflag) {
        ignoring("Cannot use overlay qualifier with /top\n", "/overlay");
        rs.oflag = 0;
    }
    if (rs.aflag && several_files(rs)) {
        ignoring("Cannot use /average with multifile charts\n", "/average");
        rs.aflag = rs.maonly_flag = 0;
    }
    if (rs.aflag && rs.oflag) {
        ignoring("Cannot use /average and /overlay together\n", "/average");
        rs.aflag = rs.maonly_flag = 0;
    }
}

static void merge_rules(RunState& rs) {
    if (rs.mflag && rs.filenum == 0) {
        out("No files found. Merge option can only be used with Multiple CSV files\n");
        end_run(END_ERROR);
    }
    if (rs.mflag && !rs.pflag) {
        if (rs.verbose) out("\nMerge option now requires /param. Assuming /para=all \n");
        rs.pflag = 1;
        rs.nums_str = rs.orig_nums_str = "all";
    }
    if (rs.sflag && rs.filenum == 0 && !rs.oflag) {
        rs.sflag = 0;
        out("\n/Stack qualifier ignored - not an overlay chart\n");
    }
    if ((rs.cflag || rs.corrall) && !rs.qflag) out("Correlation Threshold is %f\n", rs.corrth);
}

// A later rule that ends the run; the output file is then left untouched.
static bool run_will_end(const RunState& rs) {
    return (rs.trimzeros && !rs.eflag) || (rs.dupflag && !rs.mflag) ||
           (rs.eflag && several_files(rs) && !rs.append) || (rs.filenum < 0 && !rs.hisflag);
}

static void open_output_csv(RunState& rs) {
    if (!rs.mflag && !rs.eflag) return;
    if (run_will_end(rs)) return;
    if (rs.dirflag) switch_dir(rs.direcname, "1a", rs.verbose);
    refuse_input_as_output(rs, rs.csv_outfil, "Output CSV file", [&] {
        if (rs.dirflag) switch_dir(rs.curname, "3", rs.verbose);
    });
    rs.outcsvfp = open_pending(rs, rs.csv_outfil);
    if (!rs.outcsvfp) {
        out("\nError opening output CSV file, %s\n", rs.csv_outfil.c_str());
        if (rs.dirflag) switch_dir(rs.curname, "3", rs.verbose);
        end_run(END_ERROR);
    }
    if (rs.dirflag) switch_dir(rs.curname, "3", rs.verbose);
}

static void output_rules(RunState& rs) {
    open_output_csv(rs);
    if (rs.rflag && (rs.oflag || several_files(rs))) {
        out("/rules cannot be used with Overlay or Multifile charts\n\n");
        rs.rflag = 0;
    }
    if (rs.aflag && rs.movavg != 0 && rs.eflag) rs.macsvflg = 1;
    if (rs.trimzeros && !rs.eflag) {
        out("/trimzeros must be used with /extract or /x\n\n");
        end_run(END_ERROR);
    }
    if (rs.append && rs.filenum == 0) {
        out("/append requires two or more CSV files - ignoring /append\n\n");
        rs.append = 0;
    }
    if (rs.spkflag) {
        rs.zflag = rs.wflag = 1;
        rs.lflag = LINES_NONE;
        rs.bflag = 0;
    }
    if (writes_csv(rs)) {
        rs.y8hdrflag = 1;
        if (!rs.decflag) {
            rs.decflag = 1;
            rs.decsize = 2;
        }
    }
    if (rs.y8hdrflag && !writes_csv(rs)) rs.y8hdrflag = 0;
    if (rs.decflag && !rs.gflag) rs.precision = rs.decsize;
    if (rs.fmtflag && !writes_csv(rs))
        out("/format is ignored unless writing out a new CSV file\n");
    if (rs.append) rs.nocharts = 1;
}

static void rename_rule(RunState& rs) {
    if (!rs.renameflg) return;
    if (rs.nums_str.find('*') == std::string::npos) {
        out("/rename is ignored unless used with /param and wildcard expression\n");
        rs.renameflg = 0;
        return;
    }
    size_t comma = rs.nums_str.find(',');
    if (comma != std::string::npos)
        rs.nums_str = strfmt("[RENAME],%s,%s,%s", rs.nums_str.substr(0, comma).c_str(),
                             rs.renamestr.c_str(), rs.nums_str.substr(comma + 1).c_str());
    else
        rs.nums_str = strfmt("[RENAME],%s,%s", rs.nums_str.c_str(), rs.renamestr.c_str());
}

static void final_rules(RunState& rs) {
    rename_rule(rs);
    if (rs.qflag || rs.verbose) out("%s\n", rs.cmdline.c_str());
    apply_sort_request(rs);
    if (rs.oflag && rs.srtflag == SORT_ASCENDING && rs.sortdim == SORT_TYPED_ORDER)
        rs.srtflag = SORT_NONE;
    if (rs.dupflag && !rs.mflag) {
        out("/duplicates can only be used with /merge\n\n");
        end_run(END_ERROR);
    }
    if (rs.lflag == LINES_WHITE) {
        rs.dflag = 1;
        if (rs.dotcolor == -1 && !rs.dotcoloflag) {
            rs.dotcolor = 0;
            if (rs.dotsize == 0) rs.dotsize = 1;
        }
    }
    if (rs.eflag && several_files(rs) && !rs.append) {
        out("\nWarning: extracting columns from multiple files is not supported.!\n\n");
        end_run(END_ERROR);
    }
    if (rs.datalinerow != -1 && rs.headerlinerow == -1 && !rs.noheader)
        rs.headerlinerow = rs.datalinerow - 1;
    // Given only the heading's line, the data start on the next one.
    if (rs.datalinerow == -1 && rs.headerlinerow != -1) rs.datalinerow = rs.headerlinerow + 1;
    if (rs.corrall && rs.srtflag) rs.srtflag = SORT_NONE;
    if (rs.append) rs.srtflag = SORT_NONE;
    if (rs.filenum < 0 && !rs.hisflag) {
        out("No Y8 CSV file specified\n");
        end_run(END_ERROR);
    }
}

// Values no chart or listing can be made with end the run before any file is written:
// they would otherwise overflow pixel arithmetic, index outside the series, or format
// numbers with billions of digits.
static void out_of_range(const char* name, int value, int lo, int hi) {
    if (value >= lo && value <= hi) return;
    out("Error: %s%s value %d is out of range (%d to %d)\n", OPTION_PREFIX, name, value, lo, hi);
    end_run(END_ERROR);
}

static void value_limits(const RunState& rs) {
    constexpr int MAX_PIXELS = 1000000;  // a chart side
    constexpr int MAX_PEN = 1000;        // line thickness and dot size
    out_of_range("width", rs.width, INT_MIN, MAX_PIXELS);
    out_of_range("height", rs.height, INT_MIN, MAX_PIXELS);
    out_of_range("thickness", rs.thk, -MAX_PEN, MAX_PEN);
    out_of_range("dots", rs.dotsize, -MAX_PEN, MAX_PEN);
    out_of_range("decimals", rs.decsize, INT_MIN, 100);
    out_of_range("top", rs.topnum, 0, INT_MAX);
    out_of_range("threads", rs.threads, 1, 64);
    if (rs.movavg < 0) {
        out("Error: %saverage value must not be negative\n", OPTION_PREFIX);
        end_run(END_ERROR);
    }
}

void apply_option_rules(RunState& rs) {
    value_limits(rs);
    file_count_rules(rs);
    take_default_flags(rs);
    chart_kind_rules(rs);
    merge_rules(rs);
    output_rules(rs);
    final_rules(rs);
}
