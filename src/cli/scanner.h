// The option scanner: letters ("-x", "-xvalue", "-x value") and long names ("--name",
// "--name=value", "--name value", any unambiguous prefix of a name), with file names
// mixed in among the options. It gives the results and the diagnostics of the C
// library's getopt_long, without its global state. In the slash style "/name" and
// "/name=value" are long options too, and an ambiguous prefix has a message of its own.
#pragma once
#include <string>
#include <vector>

enum class ArgKind { NONE, REQUIRED, OPTIONAL };

struct LongOption {
    const char* name;
    ArgKind arg;
    int* flag;  // set to code when the option is given; nullptr: the scanner returns code
    int code;
};

struct ScannedOption {
    int code = 0;            // letter or code; 0 when a flag was set; '?' for an error
    bool has_value = false;  // value holds the option's argument
    std::string value;
    int long_index = -1;     // the long option taken, or -1
    bool ambiguous = false;  // an abbreviation that fits several names
    std::string diagnostic;  // the scanner's message for an error ("" for none)
};

class OptionScanner {
   public:
    // args[0] is the program name, used in diagnostics. letters as for getopt: a letter
    // followed by ":" takes a required value, by "::" an optional attached one.
    OptionScanner(std::vector<std::string> args, std::string letters,
                  std::vector<LongOption> longs, bool slash_style, bool stop_at_operand);

    // The next option in command-line order; false when none is left.
    bool next(ScannedOption& opt);
    // The arguments that are not options, in their order (those after "--" last).
    const std::vector<std::string>& operands() const { return operands_; }

   private:
    bool next_argument();
    void take_long(const std::string& arg, size_t name_start, const std::string& prefix,
                   ScannedOption& opt);
    void take_letter(ScannedOption& opt);
    // The diagnostic of an abbreviation that fits the long options fits.
    std::string ambiguity(const std::string& arg, const std::string& prefix,
                          const std::string& text, const std::vector<size_t>& fits) const;
    // The value of long option l: after its '=', or the next argument when it needs one.
    // False, with the diagnostic in opt, when the value is not allowed or missing.
    bool take_long_value(const LongOption& l, const std::string& text, size_t eq,
                         const std::string& prefix, ScannedOption& opt);

    std::vector<std::string> args_;
    std::string letters_;
    std::vector<LongOption> longs_;
    bool slash_;
    bool stop_at_operand_;
    size_t index_ = 1;       // next argument to look at
    std::string cluster_;    // letters of the current "-xyz" still to take
    bool rest_operands_ = false;
    std::vector<std::string> operands_;
};
