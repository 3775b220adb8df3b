// Hostile input files through the whole program: every file of tests/badinput, and a
// few large ones made here, must end with a message and status 0 or 1 in time, without
// a sanitizer report, leaving the input file as it was and writing only into the run's
// own directory.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"

namespace {

struct BadFile {
    std::string name;
    std::string content;
};

std::vector<BadFile> committed_files() {
    std::vector<BadFile> files;
    if (DIR* d = opendir(TSGRAF_BADINPUT_DIR)) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n == "." || n == "..") continue;
            files.push_back({n, read_file(std::string(TSGRAF_BADINPUT_DIR) + "/" + n)});
        }
        closedir(d);
    }
    std::sort(files.begin(), files.end(),
              [](const BadFile& a, const BadFile& b) { return a.name < b.name; });
    return files;
}

std::string stamp(int i) {
    char buf[32];
    snprintf(buf, sizeof buf, "01-JAN-2008 %02d:%02d:%02d", 10 + i / 3600, i / 60 % 60, i % 60);
    return buf;
}

std::string wide(int cols, int rows) {
    std::string s = "Sample Time";
    for (int c = 1; c <= cols; ++c) s += ",P" + std::to_string(c);
    s += "\n";
    for (int r = 0; r < rows; ++r) {
        s += stamp(r * 60);
        for (int c = 1; c <= cols; ++c) s += ",1";
        s += "\n";
    }
    return s;
}

// The large files are made at test time rather than kept in the repository.
std::vector<BadFile> generated_files() {
    const std::string mb(1 << 20, '7');
    std::string long_row = "Sample Time,A,B\n";
    for (int r = 0; r < 12; ++r) long_row += stamp(r * 60) + "," + (r == 5 ? mb : "1") + ",2\n";
    std::string many_rows = "Sample Time,A\n";
    for (int r = 0; r < 60000; ++r) many_rows += stamp(r) + "," + std::to_string(r % 97) + "\n";
    return {
        {"gen_heading_20001_columns.csv", wide(20001, 3)},
        {"gen_heading_25000_columns_one_row.csv", wide(25000, 1)},
        {"gen_row_of_1mb.csv", long_row},
        {"gen_label_of_1mb.csv", "Sample Time," + std::string(1 << 20, 'L') + "\n" + stamp(0) +
                                     ",1\n" + stamp(60) + ",2\n"},
        {"gen_1mb_without_newline.csv", std::string(1 << 20, 'x')},
        {"gen_60000_rows.csv", many_rows},
    };
}

std::vector<BadFile>& all_files() {
    static std::vector<BadFile> files = [] {
        std::vector<BadFile> f = committed_files();
        for (auto& g : generated_files()) f.push_back(std::move(g));
        return f;
    }();
    return files;
}

std::vector<size_t> all_indexes() {
    std::vector<size_t> v(all_files().size());
    for (size_t i = 0; i < v.size(); ++i) v[i] = i;
    return v;
}

std::string test_name(const testing::TestParamInfo<size_t>& info) {
    std::string n = all_files()[info.param].name;
    for (char& c : n)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
}

class BadInput : public testing::TestWithParam<size_t> {};

}  // namespace

TEST(BadInputCorpus, HasTheKindsOfFileItShould) {
    EXPECT_GE(committed_files().size(), 50u);
}

TEST_P(BadInput, EndsCleanlyAndLeavesTheInputAlone) {
    const BadFile& bad = all_files()[GetParam()];
    const std::vector<std::vector<std::string>> variants = {
        {"--parameters=all"},
        {"--parameters=all", "--nocharts"},
        {"--parameters=all", "--extract=out.csv"},
    };
    for (const auto& options : variants) {
        TempDir run, in, home;
        in.write(bad.name, bad.content);
        std::vector<std::string> args = options;
        args.push_back(in.file(bad.name));
        RunResult r = run_tsgraf(run, args, "", {{"HOME", home.path()}});
        std::string what = bad.name + " with " + options.back();

        EXPECT_FALSE(r.timed_out) << what;
        EXPECT_TRUE(r.status == 0 || r.status == 1) << what << " status " << r.status << "\n"
                                                    << r.out.substr(0, 4000);
        EXPECT_FALSE(r.out.empty()) << what;
        EXPECT_EQ(r.out.find("Sanitizer"), std::string::npos) << what << "\n" << r.out;
        EXPECT_EQ(r.out.find("runtime error"), std::string::npos) << what << "\n" << r.out;
        EXPECT_TRUE(in.read(bad.name) == bad.content) << what << ": input file changed";
        EXPECT_EQ(in.files(), std::vector<std::string>{bad.name}) << what;
        EXPECT_TRUE(home.files().empty()) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BadInput, testing::ValuesIn(all_indexes()), test_name);
