#include "cli/defaults.h"

#include <cctype>
#include <cstdio>

#include "base/out.h"
#include "base/run_end.h"
#include "base/scan.h"
#include "base/strings.h"

namespace {

// One whole line with its new-line, however long; false at the end of the file.
bool read_whole_line(FILE* fp, std::string& line) {
    line.clear();
    int c;
    while ((c = std::getc(fp)) != EOF) {
        line += static_cast<char>(c);
        if (c == '\n') break;
    }
    return !line.empty();
}

bool starts_with(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// The value of a key: the first word after the first "=".
struct KeyValue {
    bool has_equals = false;
    bool given = false;  // a word follows the "="
    std::string word;
};

KeyValue key_value(const std::string& line) {
    KeyValue v;
    size_t eq = line.find('=');
    if (eq == std::string::npos) return v;
    v.has_equals = true;
    const std::string rest = line.substr(eq + 1);
    v.given = TextScan(rest).word(v.word).ok();
    return v;
}

void key_border(RunState& rs, const KeyValue& v) {
    static const char* const names[] = {"black", "white", "grey"};
    rs.set_opt().bflagdef = 1;
    rs.set_opt().bkgcolor = static_cast<Background>(atoi_s(v.given ? v.word : "2"));
    if (!rs.opt().qflag && rs.opt().bkgcolor >= BKG_BLACK && rs.opt().bkgcolor <= BKG_GREY)
        out("Default Background color is %s\n", names[rs.opt().bkgcolor]);
}

// The caption is the whole rest of the line, without its line end and without any
// double quote characters.
void key_caption(RunState& rs, const std::string& line) {
    rs.set_opt().kflagdef = 1;
    rs.set_opt().kdef = 1;
    size_t eq = line.find('=');
    if (eq != std::string::npos) {
        std::string text = line.substr(eq + 1);
        chomp(text);
        rs.set_opt().caption = remove_chars(text, '"');
    }
    if (!rs.opt().qflag) out("Default caption = %s\n", rs.opt().caption.c_str());
}

// First character of the value, upper-cased, as a one-letter text.
std::string first_upper(const std::string& word) {
    return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(word[0]))));
}

void key_c(RunState& rs, const std::string& line, const KeyValue& v) {
    if (starts_with(line, "cor")) {
        rs.set_opt().cflagdef = 1;
        rs.set_opt().corrth = atof_s(v.given ? v.word : ".65");
        if (!rs.opt().qflag) out("Default correlation threshold = %0.2f\n", rs.opt().corrth);
    } else if (starts_with(line, "col")) {
        rs.set_opt().coloflagdef = 1;
        if (v.given) rs.set_opt().colsequence = v.word;
        if (!rs.opt().qflag) out("Default color sequence = %s\n", rs.opt().colsequence.c_str());
    } else if (starts_with(line, "captionc")) {
        rs.set_opt().kcflagdef = 1;
        if (v.given) rs.set_opt().capcoldef = first_upper(v.word);
        if (!rs.opt().qflag) out("Default caption color = %s\n", rs.opt().capcoldef.c_str());
    } else if (starts_with(line, "captions")) {
        rs.set_opt().ksflagdef = 1;
        if (v.given) rs.set_opt().capsizdef = first_upper(v.word);
        if (!rs.opt().qflag) out("Default caption size = %s\n", rs.opt().capsizdef.c_str());
    } else if (starts_with(line, "caption")) {
        key_caption(rs, line);
    }
}

void key_d(RunState& rs, const std::string& line, const KeyValue& v) {
    if (starts_with(line, "dotc")) {
        rs.set_opt().dotcoloflagdef = 1;
        if (v.given) rs.set_opt().dotcolsequence = v.word;
        if (!rs.opt().qflag) out("Default dot color sequence = %s\n", rs.opt().dotcolsequence.c_str());
    } else {
        rs.set_opt().dflagdef = 1;
        rs.set_opt().dotsize = atoi_s(v.given ? v.word : "1");
        if (!rs.opt().qflag) out("Default dot size = %d\n", rs.opt().dotsize);
    }
}

// Height and width need an "="; without one the default flag is withdrawn.
void key_size(RunState& rs, const KeyValue& v, const char* name, int& flagdef, int& value) {
    if (v.has_equals) {
        flagdef = 1;
        value = atoi_s(v.word);
    } else {
        if (!rs.opt().qflag) out("Expected '=' with %s qualifier in CFG file!\n", name);
        flagdef = 0;
    }
    if (!rs.opt().qflag) out("Default %s = %d\n", name[0] == 'H' ? "height" : "width", value);
}

void apply_key(RunState& rs, const std::string& line) {
    const KeyValue v = key_value(line);
    switch (line[0]) {
        case 'a':
            rs.set_opt().aflagdef = 1;
            rs.set_opt().movavg = 0;
            if (v.given) {
                rs.set_opt().movavg = clamped_mul(atoi_s(v.word), 60);
                if (!rs.opt().qflag) out("Default Moving Average = %d\n", rs.opt().movavg);
            }
            break;
        case 'b':
            key_border(rs, v);
            break;
        case 'c':
            key_c(rs, line, v);
            break;
        case 'd':
            key_d(rs, line, v);
            break;
        case 'h':
            key_size(rs, v, "Height", rs.set_opt().hflagdef, rs.set_opt().height);
            break;
        case 'l':
            rs.set_opt().lflagdef = 1;
            rs.set_opt().tictime = 3600;
            if (v.given) rs.set_opt().tictime = clamped_mul(atoi_s(v.word), 60);
            if (!rs.opt().qflag) out("Default grid line spacing = %d minutes\n", rs.opt().tictime / 60);
            break;
        case 'w':
            key_size(rs, v, "Width", rs.set_opt().wflagdef, rs.set_opt().width);
            break;
        case 'z':
            rs.set_opt().zflagdef = 1;
            break;
        default:
            break;  // other letters, upper case included, are not keys
    }
}

}  // namespace

void show_default_values(RunState& rs, int show_defaults) {
    FILE* fp = std::fopen(rs.opt().cfgfil.c_str(), "rb");
    if (!fp) {
        if (rs.opt().verbose || show_defaults) out("\nNo default configuration file found\n");
    } else {
        if (!rs.opt().qflag) out("\nReading default settings from %s\n", rs.opt().cfgfil.c_str());
        std::string line;
        while (read_whole_line(fp, line)) {
            out("[[%s]]\n", line.c_str());
            // A last line without its new-line counts as if it had one, so that a
            // one-letter key such as "z" at the very end is not lost.
            size_t len = line.size() + (line.back() == '\n' ? 0 : 1);
            if (len < 2 || line[0] == ';') continue;
            if (rs.opt().verbose) out("%s\n", line.c_str());
            apply_key(rs, line);
        }
        std::fclose(fp);
        if (!rs.opt().qflag) out("\n");
    }
    if (show_defaults) end_run(END_OK);
}

void set_default_values(RunState& rs) {
    out("\nSet defaults here (tbd) !\n");
    // Nothing is written yet; the file is only looked at.
    if (FILE* fp = std::fopen(rs.opt().cfgfil.c_str(), "rb")) std::fclose(fp);
    end_run(END_OK);
}
