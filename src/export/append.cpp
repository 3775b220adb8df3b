#include "export/append.h"

#include <cstring>
#include <vector>

#include "base/files.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "core/output_files.h"
#include "input/load.h"

namespace {

// Lines exactly as they stand in the file, line end included, so that copied lines
// keep their bytes.
class RawLines {
   public:
    explicit RawLines(FILE* fp) : fp_(fp), buf_(1 << 16) {}
    bool next(std::string& s) {
        s.clear();
        for (;;) {
            if (pos_ == end_) {
                end_ = fread(buf_.data(), 1, buf_.size(), fp_);
                pos_ = 0;
                if (end_ == 0) return !s.empty();
            }
            const char* start = buf_.data() + pos_;
            const char* nl = static_cast<const char*>(memchr(start, '\n', end_ - pos_));
            if (nl) {
                size_t n = static_cast<size_t>(nl - start) + 1;
                s.append(start, n);
                pos_ += n;
                return true;
            }
            s.append(start, end_ - pos_);
            pos_ = end_;
        }
    }

   private:
    FILE* fp_;
    std::vector<char> buf_;
    size_t pos_ = 0;
    size_t end_ = 0;
};

// A line goes out with its own line end; the last line of a file that has none gets
// one, so that the next file's first line does not run into it.
void copy_line(FILE* ofp, const std::string& raw) {
    fwrite(raw.data(), 1, raw.size(), ofp);
    if (raw.empty() || raw.back() != '\n') fputc('\n', ofp);
}

// The heading as a block: the time heading and the names, at most fmt2max fields and
// under 132 characters on a line.
void write_heading_block(RunState& rs, FILE* ofp, const std::string& heading) {
    std::vector<std::string> fields = split_fields(heading);
    fout(ofp, "$$$ START COLUMN HEADERS $$$\n");
    std::string first = fields.empty() ? std::string() : fields[0];
    std::string up = upper_copy(first);
    if (up.find(" TIME") == std::string::npos && up != "TIME") fout(ofp, "Sample Time\n");
    fout(ofp, "%s", first.c_str());
    size_t len = first.size();
    int count = 1;
    for (size_t i = 1; i < fields.size(); ++i) {
        const std::string& name = fields[i];
        len += name.size() + 1;
        ++count;
        if (len < 132 && count <= rs.fmt2max) {
            fout(ofp, ",%s", name.c_str());
        } else {
            fout(ofp, "\n%s", name.c_str());
            len = name.size();
            count = 1;
        }
    }
    fout(ofp, "\n$$$ END COLUMN HEADERS $$$\n");
}

void write_heading(RunState& rs, FILE* ofp, int layout) {
    const std::string& heading = rs.files[0].line;
    if (layout == 2)
        write_heading_block(rs, ofp, heading);
    else
        fout(ofp, "%s\n", heading.c_str());
}

// The first comma field of a line (the time stamp of a data line).
std::string stamp_field(const std::string& line) {
    size_t b = line.find_first_not_of(',');
    if (b == std::string::npos) return std::string();
    size_t e = line.find(',', b);
    return line.substr(b, e == std::string::npos ? std::string::npos : e - b);
}

// Copies one file; returns its count of data lines.
int append_file(RunState& rs, int f, int layout, int headno, FILE* ofp) {
    const std::string& name = rs.files[static_cast<size_t>(f)].datafil;
    FILE* fp = open_input(name);
    if (!fp) {
        out("Error opening file %s\n", name.c_str());
        end_run(END_ERROR);
    }
    FileCloser closer{fp};
    RawLines rd(fp);
    std::string raw;
    int first_data = rs.files[static_cast<size_t>(f)].firstdataline;
    int n = 0, count = 0;
    while (rd.next(raw)) {
        ++n;
        if (f == 0 && n < headno) {
            copy_line(ofp, raw);
            continue;
        }
        // A file without heading line has its made-up heading written before its
        // first line, which is a data line too.
        if (f == 0 && n == headno) write_heading(rs, ofp, layout);
        if (n > first_data && is_append_data_line(raw)) {
            // The time range holds here as in every other mode.
            if (rs.opt().timerange.active() && !row_in_range(rs, stamp_field(raw))) continue;
            copy_line(ofp, raw);
            ++count;
        }
    }
    if (ferror(fp)) {
        out("Error reading file %s\n", name.c_str());
        end_run(END_ERROR);
    }
    return count;
}

}  // namespace

bool is_append_data_line(const std::string& line) {
    std::string head = line.substr(0, 39);
    size_t b = head.find_first_not_of(',');
    if (b == std::string::npos) return false;
    size_t e = head.find(',', b);
    return head.substr(b, e == std::string::npos ? std::string::npos : e - b).find(':') !=
           std::string::npos;
}

void append_similar_files(RunState& rs) {
    FILE* ofp = rs.outcsvfp;
    if (!ofp) {
        out("\nError opening output CSV file, %s\n", rs.opt().csv_outfil.c_str());
        end_run(END_ERROR);
    }
    int layout = rs.opt().fmtflag ? rs.opt().format : rs.files[0].y8format;
    out("\nAppending data:\n");
    // The heading's 1-based line number; a block's start marker already has one.
    int headno = rs.files[0].paraline + (rs.files[0].y8format == LAYOUT_HEADING_BLOCK ? 0 : 1);
    for (int f = 0; f <= rs.filenum; ++f) {
        int count = append_file(rs, f, layout, headno, ofp);
        out("appended %s, %d data lines\n", rs.files[static_cast<size_t>(f)].datafil.c_str(),
            count);
    }
    close_output_csv(rs);
    out("\nAppended data written to %s\n", rs.opt().csv_outfil.c_str());
    if (rs.opt().verbose) get_current_time(rs, "Ended at");
    end_run(END_OK);
}
