// The parts of the platform layer that are the same text on every system: both shell
// quotings (so each can be tested anywhere) and the choice between them.
#include "base/platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cctype>

namespace {

bool sh_plain_char(unsigned char c) {
    return std::isalnum(c) || c >= 0x80 || std::strchr("_-.,/:=+@%^", c) != nullptr;
}

bool glob_char(char c) {
    return c == '*' || c == '?' || c == '[' || c == ']';
}

std::string single_quoted(const std::string& text, bool keep_globs) {
    std::string s;
    bool open = false;
    for (char c : text) {
        bool bare = c == '\'' || (keep_globs && glob_char(c));
        if (bare == open) {
            s += '\'';
            open = !open;
        }
        s += c == '\'' ? std::string("\\'") : std::string(1, c);
    }
    if (open) s += '\'';
    return s;
}

// cmd.exe acts on these outside double quotes, and on "%" and "!" inside them too.
bool cmd_special(char c) {
    return std::strchr("()%!^\"<>&|", c) != nullptr;
}

bool cmd_plain_char(unsigned char c) {
    return std::isalnum(c) || c >= 0x80 || std::strchr("_-.,/\\:=+@#$~'{}", c) != nullptr;
}

}  // namespace

// The C runtime's rule for one argument between double quotes: backslashes count only
// in front of a double quote, where they are doubled and the quote escaped.
std::string crt_quoted(const std::string& text) {
    std::string s = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') s.append(backslashes * 2 + 1, '\\');
        else s.append(backslashes, '\\');
        backslashes = 0;
        s += c;
    }
    s.append(backslashes * 2, '\\');
    return s + '"';
}

std::string sh_word(const std::string& arg, bool keep_globs) {
    if (arg.empty()) return "''";
    bool plain = true, only_spaces = true, globs = false;
    for (char c : arg) {
        if (sh_plain_char(static_cast<unsigned char>(c))) continue;
        if (glob_char(c)) {
            globs = true;
            if (keep_globs) continue;
        }
        plain = false;
        if (c != ' ' && c != '\t') only_spaces = false;
    }
    if (plain) return arg;
    size_t eq = arg.find('=');
    size_t keep = (arg[0] == '-' && eq != std::string::npos) ? eq + 1 : 0;
    for (size_t i = 0; i < keep; ++i)
        if (!sh_plain_char(static_cast<unsigned char>(arg[i]))) keep = 0;
    std::string head = arg.substr(0, keep), value = arg.substr(keep);
    if (only_spaces && !(keep_globs && globs)) return head + '"' + value + '"';
    if (value.empty()) return head + "''";
    return head + single_quoted(value, keep_globs);
}

// Quoted as the C runtime splits a command line, then every character cmd.exe would act
// on is escaped with "^" (inside the quotes too, so "%NAME%" is not expanded and an
// odd number of quotes cannot turn cmd's own quoting around). Wildcards kept bare for
// the runtime's expansion split the word into quoted and bare pieces.
std::string cmd_word(const std::string& arg, bool keep_globs) {
    bool plain = !arg.empty();
    for (char c : arg) {
        if (!cmd_plain_char(static_cast<unsigned char>(c)) && !(keep_globs && glob_char(c)))
            plain = false;
    }
    if (plain) return arg;
    std::string quoted;
    if (keep_globs) {
        std::string piece;
        auto flush = [&] {
            if (!piece.empty()) quoted += crt_quoted(piece);
            piece.clear();
        };
        for (char c : arg) {
            if (c == '*' || c == '?') {
                flush();
                quoted += c;
            } else {
                piece += c;
            }
        }
        flush();
        if (quoted.empty()) quoted = "\"\"";
    } else {
        quoted = crt_quoted(arg);
    }
    std::string s;
    for (char c : quoted) {
        if (cmd_special(c)) s += '^';
        s += c;
    }
    return s;
}

std::string shell_word(const std::string& arg, bool keep_globs) {
    return WINDOWS_BUILD ? cmd_word(arg, keep_globs) : sh_word(arg, keep_globs);
}

// The shell runs only the program's own command line again; both systems start it alike.
int run_shell(const std::string& command) {
    fflush(stdout);
    return std::system(command.c_str());
}
