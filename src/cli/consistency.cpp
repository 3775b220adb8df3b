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
    if (!rs.opt().append && taken.size() > static_cast<size_t>(MAXFILES)) {
        if (rs.opt().verbose) out("Too many CSV files!, the first %d will be used\n", MAXFILES);
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
    return rs.opt().eflag || rs.opt().xflag || rs.opt().mflag;
}

static void ignoring(const char* why, const char* what) {
    out("%s", why);
    out("ignoring %s\n", what);
}

static void file_count_rules(RunState& rs) {
    if (rs.opt().verbose) rs.set_opt().qflag = 0;
    if (!rs.opt().append && rs.filenum > MAXFILES - 1) {
        if (rs.opt().verbose)
            out("\nToo many CSV files (%d)!. Max allowed is %d\n\n", rs.filenum + 1, MAXFILES);
        rs.toomanyfiles = 1;
        rs.filenum = MAXFILES - 1;
        rs.files.resize(MAXFILES);
    }
    if (rs.opt().filltype && !rs.opt().mflag) {
        ignoring("\n/missing is valid only with /merge\n", "/missing");
        rs.set_opt().filltype = FILL_NOTHING;
    }
}

static void take_default_flags(RunState& rs) {
    auto take = [](int& flag, int def) {
        if (!flag && def) flag = 1;
    };
    take(rs.set_opt().aflag, rs.set_opt().aflagdef);
    take(rs.set_opt().bflag, rs.set_opt().bflagdef);
    take(rs.set_opt().dflag, rs.set_opt().dflagdef);
    take(rs.set_opt().hflag, rs.set_opt().hflagdef);
    take(rs.set_opt().kflag, rs.set_opt().kflagdef);
    if (rs.opt().kdef) {
        if (rs.opt().kcflagdef) rs.set_opt().capcol = rs.opt().capcoldef;
        if (rs.opt().ksflagdef) rs.set_opt().capsiz = rs.opt().capsizdef;
    }
    if (!rs.opt().lflag && rs.opt().lflagdef) rs.set_opt().lflag = LINES_ON;
    take(rs.set_opt().wflag, rs.set_opt().wflagdef);
    take(rs.set_opt().zflag, rs.set_opt().zflagdef);
}

static void chart_kind_rules(RunState& rs) {
    if (several_files(rs)) rs.set_opt().zflag = 1;
    if ((rs.opt().cflag || rs.opt().corrall) && rs.opt().oflag) {
        ignoring("Cannot use /correlate and /overlay together\n", "/correlate");
        rs.set_opt().cflag = rs.set_opt().corrall = 0;
    }
    if (rs.opt().nflag && several_files(rs)) {
        ignoring("normalize qualifier not supported for multifile charts\n", "/normalize");
        rs.set_opt().nflag = 0;
    }
    if (rs.opt().nflag && rs.opt().sflag) {
        out("Qualifier /normalize not supported with /Stack qualifier.\n");
        rs.set_opt().nflag = 0;
    }
    if (rs.opt().oflag && several_files(rs)) {
        ignoring("Cannot use overlay qualifier with multifile charts\n", "/overlay");
        rs.set_opt().oflag = 0;
    }
    if (rs.opt().oflag && rs.opt().topflag) {
        ignoring("Cannot use overlay qualifier with /top\n", "/overlay");
        rs.set_opt().oflag = 0;
    }
    if (rs.opt().aflag && several_files(rs)) {
        ignoring("Cannot use /average with multifile charts\n", "/average");
        rs.set_opt().aflag = rs.set_opt().maonly_flag = 0;
    }
    if (rs.opt().aflag && rs.opt().oflag) {
        ignoring("Cannot use /average and /overlay together\n", "/average");
        rs.set_opt().aflag = rs.set_opt().maonly_flag = 0;
    }
}

static void merge_rules(RunState& rs) {
    if (rs.opt().mflag && rs.filenum == 0) {
        out("No files found. Merge option can only be used with Multiple CSV files\n");
        end_run(END_ERROR);
    }
    if (rs.opt().mflag && !rs.opt().pflag) {
        if (rs.opt().verbose) out("\nMerge option now requires /param. Assuming /para=all \n");
        rs.set_opt().pflag = 1;
        rs.orig_nums_str = "all";
        rs.select_text("all");
    }
    if (rs.opt().sflag && rs.filenum == 0 && !rs.opt().oflag) {
        rs.set_opt().sflag = 0;
        out("\n/Stack qualifier ignored - not an overlay chart\n");
    }
    if ((rs.opt().cflag || rs.opt().corrall) && !rs.opt().qflag) out("Correlation Threshold is %f\n", rs.opt().corrth);
}

// A later rule that ends the run; the output file is then left untouched.
static bool run_will_end(const RunState& rs) {
    return (rs.opt().trimzeros && !rs.opt().eflag) || (rs.opt().dupflag && !rs.opt().mflag) ||
           (rs.opt().eflag && several_files(rs) && !rs.opt().append) || (rs.filenum < 0 && !rs.opt().hisflag);
}

static void open_output_csv(RunState& rs) {
    if (!rs.opt().mflag && !rs.opt().eflag) return;
    if (run_will_end(rs)) return;
    if (rs.opt().dirflag) switch_dir(rs.opt().direcname, "1a", rs.opt().verbose);
    refuse_input_as_output(rs, rs.opt().csv_outfil, "Output CSV file", [&] {
        if (rs.opt().dirflag) switch_dir(rs.opt().curname, "3", rs.opt().verbose);
    });
    rs.outcsvfp = open_pending(rs, rs.opt().csv_outfil);
    if (!rs.outcsvfp) {
        out("\nError opening output CSV file, %s\n", rs.opt().csv_outfil.c_str());
        if (rs.opt().dirflag) switch_dir(rs.opt().curname, "3", rs.opt().verbose);
        end_run(END_ERROR);
    }
    if (rs.opt().dirflag) switch_dir(rs.opt().curname, "3", rs.opt().verbose);
}

static void output_rules(RunState& rs) {
    open_output_csv(rs);
    if (rs.opt().rflag && (rs.opt().oflag || several_files(rs))) {
        out("/rules cannot be used with Overlay or Multifile charts\n\n");
        rs.set_opt().rflag = 0;
    }
    if (rs.opt().aflag && rs.opt().movavg != 0 && rs.opt().eflag) rs.set_opt().macsvflg = 1;
    if (rs.opt().trimzeros && !rs.opt().eflag) {
        out("/trimzeros must be used with /extract or /x\n\n");
        end_run(END_ERROR);
    }
    if (rs.opt().append && rs.filenum == 0) {
        out("/append requires two or more CSV files - ignoring /append\n\n");
        rs.set_opt().append = 0;
    }
    if (rs.opt().spkflag) {
        rs.set_opt().zflag = rs.set_opt().wflag = 1;
        rs.set_opt().lflag = LINES_NONE;
        rs.set_opt().bflag = 0;
    }
    if (writes_csv(rs)) {
        rs.set_opt().y8hdrflag = 1;
        if (!rs.opt().decflag) {
            rs.set_opt().decflag = 1;
            rs.set_opt().decsize = 2;
        }
    }
    if (rs.opt().y8hdrflag && !writes_csv(rs)) rs.set_opt().y8hdrflag = 0;
    if (rs.opt().decflag && !rs.opt().gflag) rs.set_opt().precision = rs.opt().decsize;
    if (rs.opt().fmtflag && !writes_csv(rs))
        out("/format is ignored unless writing out a new CSV file\n");
    if (rs.opt().append) rs.set_opt().nocharts = 1;
}

static void rename_rule(RunState& rs) {
    if (!rs.opt().renameflg) return;
    if (rs.nums_str.find('*') == std::string::npos) {
        out("/rename is ignored unless used with /param and wildcard expression\n");
        rs.set_opt().renameflg = 0;
        return;
    }
    size_t comma = rs.nums_str.find(',');
    if (comma != std::string::npos)
        rs.nums_str = strfmt("[RENAME],%s,%s,%s", rs.nums_str.substr(0, comma).c_str(),
                             rs.opt().renamestr.c_str(), rs.nums_str.substr(comma + 1).c_str());
    else
        rs.nums_str = strfmt("[RENAME],%s,%s", rs.nums_str.c_str(), rs.opt().renamestr.c_str());
}

static void final_rules(RunState& rs) {
    rename_rule(rs);
    if (rs.opt().qflag || rs.opt().verbose) out("%s\n", rs.cmdline.c_str());
    apply_sort_request(rs);
    if (rs.opt().oflag && rs.srtflag == SORT_ASCENDING && rs.sortdim == SORT_TYPED_ORDER)
        rs.srtflag = SORT_NONE;
    if (rs.opt().dupflag && !rs.opt().mflag) {
        out("/duplicates can only be used with /merge\n\n");
        end_run(END_ERROR);
    }
    if (rs.opt().lflag == LINES_WHITE) {
        rs.set_opt().dflag = 1;
        if (rs.opt().dotcolor == -1 && !rs.opt().dotcoloflag) {
            rs.set_opt().dotcolor = 0;
            if (rs.opt().dotsize == 0) rs.set_opt().dotsize = 1;
        }
    }
    if (rs.opt().eflag && several_files(rs) && !rs.opt().append) {
        out("\nWarning: extracting columns from multiple files is not supported.!\n\n");
        end_run(END_ERROR);
    }
    if (rs.opt().datalinerow != -1 && rs.opt().headerlinerow == -1 && !rs.opt().noheader)
        rs.set_opt().headerlinerow = rs.opt().datalinerow - 1;
    // Given only the heading's line, the data start on the next one.
    if (rs.opt().datalinerow == -1 && rs.opt().headerlinerow != -1) rs.set_opt().datalinerow = rs.opt().headerlinerow + 1;
    if (rs.opt().corrall && rs.srtflag) rs.srtflag = SORT_NONE;
    if (rs.opt().append) rs.srtflag = SORT_NONE;
    if (rs.filenum < 0 && !rs.opt().hisflag) {
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
    out_of_range("width", rs.opt().width, INT_MIN, MAX_PIXELS);
    out_of_range("height", rs.opt().height, INT_MIN, MAX_PIXELS);
    out_of_range("thickness", rs.opt().thk, -MAX_PEN, MAX_PEN);
    out_of_range("dots", rs.opt().dotsize, -MAX_PEN, MAX_PEN);
    out_of_range("decimals", rs.opt().decsize, INT_MIN, 100);
    out_of_range("top", rs.opt().topnum, 0, INT_MAX);
    out_of_range("threads", rs.opt().threads, 1, 64);
    if (rs.opt().movavg < 0) {
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
