#include "cli/scanner.h"

#include <cstring>
#include <utility>

#include "base/out.h"

OptionScanner::OptionScanner(std::vector<std::string> args, std::string letters,
                             std::vector<LongOption> longs, bool slash_style,
                             bool stop_at_operand)
    : args_(std::move(args)),
      letters_(std::move(letters)),
      longs_(std::move(longs)),
      slash_(slash_style),
      stop_at_operand_(stop_at_operand) {
    if (args_.empty()) args_.emplace_back("");
}

// Moves past operands to the next option argument; false when there is none.
bool OptionScanner::next_argument() {
    while (index_ < args_.size()) {
        const std::string& a = args_[index_];
        if (rest_operands_) {
            operands_.push_back(a);
        } else if (a == "--") {
            rest_operands_ = true;
        } else if (a.size() > 1 && (a[0] == '-' || (slash_ && a[0] == '/'))) {
            return true;
        } else if (stop_at_operand_) {
            rest_operands_ = true;
            continue;
        } else {
            operands_.push_back(a);
        }
        ++index_;
    }
    return false;
}

bool OptionScanner::next(ScannedOption& opt) {
    opt = ScannedOption{};
    if (cluster_.empty()) {
        if (!next_argument()) return false;
        const std::string& a = args_[index_];
        if (a[0] == '/') {
            take_long(a, 1, "/", opt);
            return true;
        }
        if (a[1] == '-') {
            take_long(a, 2, "--", opt);
            return true;
        }
        cluster_ = a.substr(1);
        ++index_;
    }
    take_letter(opt);
    return true;
}

void OptionScanner::take_letter(ScannedOption& opt) {
    const std::string& prog = args_[0];
    char c = cluster_[0];
    cluster_.erase(0, 1);
    size_t at = c == '\0' ? std::string::npos : letters_.find(c);
    if (at == std::string::npos || c == ':' || c == ';') {
        opt.code = '?';
        opt.diagnostic = strfmt("%s: invalid option -- '%c'\n", prog.c_str(), c);
        return;
    }
    opt.code = c;
    bool takes = at + 1 < letters_.size() && letters_[at + 1] == ':';
    bool optional = takes && at + 2 < letters_.size() && letters_[at + 2] == ':';
    if (!takes) return;
    if (!cluster_.empty()) {
        opt.has_value = true;
        opt.value = cluster_;
        cluster_.clear();
    } else if (!optional) {
        if (index_ < args_.size()) {
            opt.has_value = true;
            opt.value = args_[index_++];
        } else {
            opt.code = '?';
            opt.diagnostic =
                strfmt("%s: option requires an argument -- '%c'\n", prog.c_str(), c);
        }
    }
}

namespace {

// The long options an abbreviation fits: the first, then those that act differently
// from it, which make the abbreviation ambiguous.
std::vector<size_t> fitting_names(const std::vector<LongOption>& longs, const std::string& name,
                                  bool& ambiguous) {
    std::vector<size_t> fits;
    ambiguous = false;
    for (size_t i = 0; i < longs.size(); ++i) {
        if (std::strncmp(longs[i].name, name.c_str(), name.size()) != 0) continue;
        if (fits.empty()) {
            fits.push_back(i);
            continue;
        }
        const LongOption& first = longs[fits[0]];
        const LongOption& l = longs[i];
        if (first.arg != l.arg || first.flag != l.flag || first.code != l.code) {
            fits.push_back(i);
            ambiguous = true;
        }
    }
    return fits;
}

}  // namespace

std::string OptionScanner::ambiguity(const std::string& arg, const std::string& prefix,
                                     const std::string& text,
                                     const std::vector<size_t>& fits) const {
    const std::string& prog = args_[0];
    if (slash_) return strfmt("%s: option `%s' is ambiguous\n", prog.c_str(), arg.c_str());
    std::string d = strfmt("%s: option '%s%s' is ambiguous; possibilities:", prog.c_str(),
                           prefix.c_str(), text.c_str());
    for (size_t i : fits) d += strfmt(" '%s%s'", prefix.c_str(), longs_[i].name);
    return d + "\n";
}

bool OptionScanner::take_long_value(const LongOption& l, const std::string& text, size_t eq,
                                    const std::string& prefix, ScannedOption& opt) {
    const std::string& prog = args_[0];
    if (eq != std::string::npos) {
        if (l.arg == ArgKind::NONE) {
            opt.code = '?';
            opt.diagnostic = strfmt("%s: option '%s%s' doesn't allow an argument\n",
                                    prog.c_str(), prefix.c_str(), l.name);
            return false;
        }
        opt.has_value = true;
        opt.value = text.substr(eq + 1);
    } else if (l.arg == ArgKind::REQUIRED) {
        if (index_ >= args_.size()) {
            opt.code = '?';
            opt.diagnostic = strfmt("%s: option '%s%s' requires an argument\n", prog.c_str(),
                                    prefix.c_str(), l.name);
            return false;
        }
        opt.has_value = true;
        opt.value = args_[index_++];
    }
    return true;
}

void OptionScanner::take_long(const std::string& arg, size_t name_start,
                              const std::string& prefix, ScannedOption& opt) {
    ++index_;
    const std::string text = arg.substr(name_start);
    const size_t eq = text.find('=');
    const std::string name = text.substr(0, eq);
    int found = -1;
    for (size_t i = 0; i < longs_.size() && found < 0; ++i)
        if (name == longs_[i].name) found = static_cast<int>(i);
    if (found < 0) {
        bool ambiguous = false;
        std::vector<size_t> fits = fitting_names(longs_, name, ambiguous);
        if (ambiguous) {
            opt.code = '?';
            opt.ambiguous = true;
            opt.diagnostic = ambiguity(arg, prefix, text, fits);
            return;
        }
        if (fits.empty()) {
            opt.code = '?';
            opt.diagnostic = strfmt("%s: unrecognized option '%s%s'\n", args_[0].c_str(),
                                    prefix.c_str(), text.c_str());
            return;
        }
        found = static_cast<int>(fits[0]);
    }
    const LongOption& l = longs_[static_cast<size_t>(found)];
    if (!take_long_value(l, text, eq, prefix, opt)) return;
    opt.long_index = found;
    if (l.flag) {
        *l.flag = l.code;
        opt.code = 0;
    } else {
        opt.code = l.code;
    }
}
