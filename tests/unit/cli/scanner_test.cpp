#include "cli/scanner.h"

#include <gtest/gtest.h>

#include <random>

#ifndef _WIN32
#include <getopt.h>
#include <unistd.h>

#include <cstdio>
#endif

namespace {

const char* const LETTERS = "$:?a::b:cqv";
int verbose_flag = 0, quiet_flag = 0;

// Names that share prefixes, two names for one code, flags, and each kind of value.
std::vector<LongOption> test_options() {
    return {
        {"verbose", ArgKind::NONE, &verbose_flag, 1}, {"version", ArgKind::NONE, nullptr, 'v'},
        {"quiet", ArgKind::NONE, &quiet_flag, 1},     {"average", ArgKind::OPTIONAL, nullptr, 'a'},
        {"border", ArgKind::REQUIRED, nullptr, 'b'},  {"b", ArgKind::REQUIRED, nullptr, 'b'},
        {"range", ArgKind::REQUIRED, nullptr, 't'},   {"timerange", ArgKind::REQUIRED, nullptr, 't'},
        {"top", ArgKind::OPTIONAL, nullptr, 'T'},     {"help", ArgKind::NONE, nullptr, '?'},
        {"?", ArgKind::NONE, nullptr, '?'},
    };
}

// Every option in order as one line each, then the flags and the file names.
std::string scan(const std::vector<std::string>& args, bool slash) {
    verbose_flag = quiet_flag = 0;
    OptionScanner scanner(args, LETTERS, test_options(), slash, false);
    std::string s;
    ScannedOption o;
    while (scanner.next(o)) {
        s += o.diagnostic;
        s += std::to_string(o.code) + " " + std::to_string(o.long_index) +
             (o.has_value ? " [" + o.value + "]" : "") + "\n";
    }
    s += "flags " + std::to_string(verbose_flag) + std::to_string(quiet_flag) + "\n";
    for (const auto& f : scanner.operands()) s += "file " + f + "\n";
    return s;
}

#ifndef _WIN32
// The same through the C library's getopt_long, its diagnostics caught from standard error.
std::string scan_with_getopt(const std::vector<std::string>& args) {
    verbose_flag = quiet_flag = 0;
    std::vector<option> table;
    for (const auto& l : test_options())
        table.push_back({l.name, static_cast<int>(l.arg), l.flag, l.code});
    table.push_back({nullptr, 0, nullptr, 0});
    std::vector<std::string> copy = args;
    std::vector<char*> av;
    for (auto& a : copy) av.push_back(a.data());
    av.push_back(nullptr);
    int argc = static_cast<int>(copy.size());

    fflush(stderr);
    FILE* err = tmpfile();
    int saved = dup(2);
    dup2(fileno(err), 2);
    std::string s;
    optind = 0;
    opterr = 1;
    for (;;) {
        int index = -1;
        long before = ftell(err);
        int c = getopt_long(argc, av.data(), LETTERS, table.data(), &index);
        if (c == -1) break;
        fflush(stderr);
        long after = lseek(2, 0, SEEK_CUR);
        std::string diag(static_cast<size_t>(after - before), '\0');
        fseek(err, before, SEEK_SET);
        if (!diag.empty() && fread(&diag[0], 1, diag.size(), err) != diag.size()) diag = "?";
        fseek(err, after, SEEK_SET);
        s += diag;
        s += std::to_string(c) + " " + std::to_string(index) +
             (optarg ? " [" + std::string(optarg) + "]" : "") + "\n";
    }
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    fclose(err);
    s += "flags " + std::to_string(verbose_flag) + std::to_string(quiet_flag) + "\n";
    for (int i = optind; i < argc; ++i) s += "file " + std::string(av[static_cast<size_t>(i)]) + "\n";
    return s;
}
#endif

}  // namespace

// Random command lines from pieces that reach every path of both scanners: the results,
// the diagnostics and the order of file names are those of getopt_long.
TEST(OptionScanner, GivesWhatTheCLibraryScannerGives) {
#ifdef _WIN32
    GTEST_SKIP() << "the C library of Windows has no getopt_long to compare with";
#else
    ASSERT_EQ(getenv("POSIXLY_CORRECT"), nullptr);
    const std::string pieces[] = {
        "a.csv", "b.csv", "-", "--", "-q", "-qv", "-a", "-a30s", "-b", "-bx", "-x", "-q:", "-?",
        "--verbose", "--verb", "--ver", "--v", "--version", "--quiet=1", "--average",
        "--average=5", "--av=", "--border", "--border=1", "--b", "--bo=2", "--r", "--ra",
        "--t", "--ti=9", "--to", "--top=3", "--help", "--he", "--?", "--h", "--nosuch",
        "--nosuch=1", "--=x", "-b--", "/par=1", "/ver",
    };
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<size_t> piece(0, std::size(pieces) - 1), count(0, 6);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> args = {"tsgraf"};
        for (size_t n = count(rng); n > 0; --n) args.push_back(pieces[piece(rng)]);
        std::string line;
        for (const auto& a : args) line += a + " ";
        ASSERT_EQ(scan(args, false), scan_with_getopt(args)) << line;
    }
#endif
}

// The Windows form: "/name" as well, and its own message for an ambiguous abbreviation.
TEST(OptionScanner, SlashStyleTakesSlashNames) {
    struct Case {
        std::vector<std::string> args;
        std::string got;
    };
    const Case cases[] = {
        {{"/border=1", "a.csv"}, "98 4 [1]\nflags 00\nfile a.csv\n"},
        {{"a.csv", "/bor", "2"}, "98 4 [2]\nflags 00\nfile a.csv\n"},
        {{"/verb", "/q"}, "0 0\n0 2\nflags 11\n"},
        {{"/?"}, "63 10\nflags 00\n"},
        {{"/ver"}, "tsgraf: option `/ver' is ambiguous\n63 -1\nflags 00\n"},
        {{"--ver=1"}, "tsgraf: option `--ver=1' is ambiguous\n63 -1\nflags 00\n"},
        {{"/nosuch=1"}, "tsgraf: unrecognized option '/nosuch=1'\n63 -1\nflags 00\n"},
        {{"/quiet=1"}, "tsgraf: option '/quiet' doesn't allow an argument\n63 -1\nflags 00\n"},
        {{"/range"}, "tsgraf: option '/range' requires an argument\n63 -1\nflags 00\n"},
        {{"-a30s", "--top", "/", "-"}, "97 -1 [30s]\n84 8\nflags 00\nfile /\nfile -\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"tsgraf"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(scan(args, true), c.got) << c.args[0];
    }
    // Without the slash style a slash begins a file name.
    EXPECT_EQ(scan({"tsgraf", "/border=1"}, false), "flags 00\nfile /border=1\n");
}
