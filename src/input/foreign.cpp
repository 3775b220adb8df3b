#include "input/foreign.h"

#include <algorithm>
#include <cstring>

#include "base/files.h"
#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/scan.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "core/timestamps.h"
#include "input/fields.h"

namespace {

const char* const END_MARKER = "$$$ END COLUMN HEADERS $$$";
const int MAXNAMES = 20000;

// Reads one line of fp as it stands, its line end included. False at the end of the
// file when nothing was read. Lines of any length are read whole.
bool read_raw_line(FILE* fp, std::string& s) {
    s.clear();
    char buf[4096];
    while (fgets(buf, sizeof buf, fp)) {
        size_t n = strlen(buf);
        s.append(buf, n);
        if (n > 0 && buf[n - 1] == '\n') return true;
    }
    return !s.empty();
}

// Splits a raw line into its text and its line end ("\r\n", "\n" or none).
void split_line_end(const std::string& raw, std::string& text, std::string& end) {
    size_t n = raw.size();
    size_t cut = n;
    if (cut > 0 && raw[cut - 1] == '\n') --cut;
    if (cut > 0 && cut < n && raw[cut - 1] == '\r') --cut;
    text.assign(raw, 0, cut);
    end.assign(raw, cut, std::string::npos);
}

// The blank-separated words of a line (runs of blanks and tabs are one separator).
std::vector<std::string> words_of(const std::string& s) {
    std::vector<std::string> w;
    size_t i = 0, n = s.size();
    while (i < n) {
        while (i < n && is_space(s[i])) ++i;
        size_t b = i;
        while (i < n && !is_space(s[i])) ++i;
        if (i > b) w.emplace_back(s, b, i - b);
    }
    return w;
}

bool store_names(const RunState& rs) {
    return (rs.opt().mflag || (rs.filenum > 0 && !rs.opt().append)) && !rs.fileparams.empty();
}

// One name of a block: listed, appended to the heading and kept for the file.
void take_name(RunState& rs, int k, int n, const std::string& name, int suppress,
               std::string& heading) {
    if (!rs.opt().pflag && !suppress) out("%d\t%s\n", n, name.c_str());
    heading += ',';
    heading += name;
    if (store_names(rs) && k < static_cast<int>(rs.fileparams.size()) && n <= MAXNAMES) {
        auto& names = rs.fileparams[static_cast<size_t>(k)];
        if (static_cast<size_t>(n) > names.size()) names.resize(static_cast<size_t>(n));
        names[static_cast<size_t>(n - 1)] = name;
    }
}

[[noreturn]] void block_line_too_long(RunState& rs, size_t len) {
    out("Y8 Format2 line exceeds max tsgraf length of %d.\n", rs.format2maxlen);
    if (SHOWS_LINE_LIMIT_HINT) out("Try: SET MAXF2LEN=%d\n", static_cast<int>(len) + 100);
    end_run(END_ERROR);
}

}  // namespace

int read_format2_headers(RunState& rs, int k, std::string& newline, FILE* fp, int suppress,
                         std::string& heading) {
    heading.clear();
    int n = 1;
    int count = 0;
    bool first = true;
    std::string raw, text, end, last;
    std::vector<std::string> fields;
    while (read_raw_line(fp, raw)) {
        ++count;
        last = raw;
        // The block reader's buffer holds format2maxlen bytes; a line that would fill
        // it is refused rather than read in pieces.
        if (raw.size() >= static_cast<size_t>(std::max(rs.format2maxlen, 1)) - 1)
            block_line_too_long(rs, raw.size());
        if (raw.find(END_MARKER) != std::string::npos) break;
        split_line_end(raw, text, end);
        split_fields(text, fields);
        for (std::string& field : fields) {
            trim(field);
            if (first) {
                heading = field;
                first = false;
                continue;
            }
            // Blanks after a closing comma are not a column of the data lines.
            if (field.empty()) continue;
            take_name(rs, k, n, field, suppress, heading);
            ++n;
        }
    }
    int names = n - 1;
    rs.files[static_cast<size_t>(k)].fileparamnums = names;
    if (k == 0) rs.numcol = names;
    if (names > MAXNAMES) {
        out("Too many columns (%d)! Max supported is %d\n", names, MAXNAMES);
        end_run(END_ERROR);
    }
    const std::string& name = rs.files[static_cast<size_t>(k)].datafil;
    const char* fmt =
        names == 1 ? "Format 2: %d parameter in %s\n" : "Format 2: %d parameters in %s\n";
    if (!rs.opt().qflag && !suppress) out(fmt, names, name.c_str());
    if (!rs.opt().iflag) fout(rs.logfp, fmt, names, name.c_str());
    split_line_end(last, newline, end);
    return count;
}

namespace {

// "<name as given, cut at the first dot of its last part>_NEW.CSV": a dot in a folder
// name (or a leading "./") does not cut the name.
std::string converted_name(const std::string& given) {
    size_t slash = given.find_last_of('/');
    size_t from = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = given.find('.', from);
    return given.substr(0, dot) + "_NEW.CSV";
}

// The converted file must not replace a file that the run reads or writes.
void refuse_clobber(const RunState& rs, const std::string& name) {
    refuse_input_as_output(rs, name, "Output CSV file");
    if (rs.outcsvfp && !rs.opt().csv_outfil.empty()) {
        std::string csvout = rs.opt().csv_outfil;
        if (rs.opt().dirflag && !rs.opt().direcname.empty() && csvout[0] != '/')
            csvout = rs.opt().direcname + "/" + csvout;
        if (same_file(name, csvout)) {
            out("\nOutput CSV file %s is the same file as output file %s\n", name.c_str(),
                rs.opt().csv_outfil.c_str());
            end_run(END_ERROR);
        }
    }
}

[[noreturn]] void not_merovand() {
    out("Expected '#Date Time' for merovand gnuplot file format\n");
    end_run(END_ERROR);
}

// "mm/dd/yyyy hh:mm:ss" of a merovand date (yyyymmdd) and time (hh:mm:ss). An empty
// result means the fields are not such a date and time.
std::string y8_stamp(const std::string& date, const std::string& time) {
    if (date.size() != 8 || date.find_first_not_of("0123456789") != std::string::npos) return "";
    int hh = 0, mm = 0, ss = 0;
    TextScan sc(time);
    sc.clock(hh, mm, ss);
    if (sc.count() < 2) return "";
    return strfmt("%2.2s/%2.2s/%4.4s %02d:%02d:%02d", date.c_str() + 4, date.c_str() + 6,
                  date.c_str(), hh, mm, ss);
}

struct FileWriter {
    FILE* fp;
    ~FileWriter() {
        if (fp) fclose(fp);
    }
};

// Opens the converted file once it is sure not to replace a file of the run.
FILE* open_converted(RunState& rs, const std::string& name) {
    out("Y8 format CSV file will be %s\n", name.c_str());
    refuse_clobber(rs, name);
    FILE* fp = fopen(name.c_str(), "wb");
    if (!fp) {
        out("\nError opening file, %s\n", name.c_str());
        end_run(END_ERROR);
    }
    return fp;
}

// What the conversion has written so far.
struct Conversion {
    std::string heading;  // the converted heading line, without its line end
    std::string last;     // the time stamp of the last sample
    int rows = 0, cols = 0;
    bool have_heading = false;
};

// The plot file's heading "#Date Time name name..." becomes "Date Time,name,name...".
void convert_heading(FILE* w, const std::string& text, const std::string& end, Conversion& c) {
    std::string h = text.substr(text.empty() || text[0] != '#' ? 0 : 1);
    std::vector<std::string> names = words_of(h);
    if (h.find("Time") == std::string::npos || names.size() < 2) not_merovand();
    c.heading = names[0] + " " + names[1];
    for (size_t i = 2; i < names.size(); ++i) c.heading += "," + names[i];
    c.cols = static_cast<int>(names.size()) - 2;
    out("length = %d\n", static_cast<int>(c.heading.size()));
    fout(w, "%s%s", c.heading.c_str(), end.empty() ? "\n" : end.c_str());
    c.have_heading = true;
}

// One sample line: its date and time become a Y8 time stamp, its values follow as they
// are. The first two samples give the file's start and interval.
void convert_sample(RunState& rs, size_t f, const std::string& given, FILE* w,
                    const std::string& text, const std::string& end, Conversion& c) {
    std::vector<std::string> fields = words_of(text);
    if (fields.empty()) return;  // a blank line
    if (fields.size() < 2) {
        out("Expected #Date Time\n");
        end_run(END_ERROR);
    }
    std::string stamp = y8_stamp(fields[0], fields[1]);
    if (stamp.empty()) {
        out("Invalid merovand time stamp \"%s %s\" in %s\n", fields[0].c_str(), fields[1].c_str(),
            given.c_str());
        end_run(END_ERROR);
    }
    fout(w, "%s", stamp.c_str());
    for (size_t i = 2; i < fields.size(); ++i) fout(w, ",%s", fields[i].c_str());
    fout(w, "%s", end.c_str());
    std::string s = stamp;
    time_t secs = get_csvdate(rs, 1, s);
    if (c.rows == 0) rs.files[f].csvstartsecs = secs;
    if (c.rows == 1) rs.files[f].samp = static_cast<int>(secs - rs.files[f].csvstartsecs);
    rs.files[f].csvendsecs = secs;
    c.last = stamp;
    ++c.rows;
}

void close_converted(FileWriter& w, const std::string& name) {
    int closed = fclose(w.fp);
    w.fp = nullptr;
    if (closed != 0) {
        out("\nError writing file, %s\n", name.c_str());
        end_run(END_ERROR);
    }
    out("%s created in Y8 CSV format\n", name.c_str());
}

// From here on the run reads the converted file in place of the plot file.
void take_converted(RunState& rs, int fno, const std::string& name, const Conversion& c) {
    InputFile& file = rs.files[static_cast<size_t>(fno)];
    file.y8format = LAYOUT_REWRITTEN;
    file.numcols = c.cols;
    file.numrows = c.rows;
    // The indexes describe the new file, which the later passes read: its heading is
    // its first line and its data follow at once (the lines above the heading in the
    // plot file were not copied).
    file.paraline = 0;
    file.firstdataline = 1;
    if (c.rows == 0) {
        out("no data in file %s\n", name.c_str());
        end_run(END_ERROR);
    }
    if (fno == 0) {
        size_t blank = c.last.find(' ');
        rs.end_d = c.last.substr(0, blank);
        rs.end_t = c.last.substr(blank + 1);
    }
}

}  // namespace

int rewrite_format_3(RunState& rs, int fno, FILE* fp, std::string& heading_out) {
    const size_t f = static_cast<size_t>(fno);
    const std::string given = rs.files[f].datafil;
    const std::string name = converted_name(given);
    FileWriter w{open_converted(rs, name)};

    const int hidx = rs.files[f].paraline;
    std::string raw, text, end;
    Conversion c;
    rs.files[f].samp = 60;  // a single sample has no measured interval
    for (int lineno = 0; read_raw_line(fp, raw); ++lineno) {
        split_line_end(raw, text, end);
        if (lineno < hidx) {
            // Descriptive lines of the plot file: kept in the listing, not in the new file.
            if (!rs.opt().iflag) fout(rs.outfp, "%s", raw.c_str());
        } else if (lineno == hidx) {
            convert_heading(w.fp, text, end, c);
        } else if (text.empty() || text[0] != '#') {
            // gnuplot comments carry no sample.
            convert_sample(rs, f, given, w.fp, text, end, c);
        }
    }
    if (!c.have_heading) not_merovand();
    close_converted(w, name);

    rs.files[f].datafil = name;
    rs.input_ids.push_back(file_id(name));
    heading_out = c.heading;
    take_converted(rs, fno, name, c);
    return 1;
}
