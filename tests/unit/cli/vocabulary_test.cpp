#include "cli/vocabulary.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "cli/handlers.h"
#include "cli/help.h"

namespace {

// The first option the scanner takes from args, as the program scans them.
ScannedOption first_option(const std::vector<std::string>& args) {
    static RunState rs;
    OptionScanner scanner(args, option_letters(), long_options(rs), false, false);
    ScannedOption o;
    scanner.next(o);
    return o;
}

}  // namespace

// What the rows must keep true of one another: each name and letter once and reached
// by the scanner, a letter and every name of it running one handler, and every help
// section reached by exactly one key.
TEST(Vocabulary, RowsAgree) {
    const std::vector<OptionRow>& rows = option_table();
    std::set<std::string> names;
    std::set<char> letters;
    std::map<int, int> key_owners;
    std::map<int, OptionHandler> handler_of_code;
    for (size_t i = 0; i < rows.size(); ++i) {
        const OptionRow& r = rows[i];
        SCOPED_TRACE(r.name);
        EXPECT_TRUE(names.insert(r.name).second);
        EXPECT_EQ(first_option({"tsgraf", std::string("--") + r.name, "1"}).long_index,
                  static_cast<int>(i));
        if (r.runs) {
            EXPECT_NE(r.handler, nullptr);
            EXPECT_EQ(handler_of_code.emplace(r.runs, r.handler).first->second, r.handler);
        }
        int section = section_named(r.topic);
        EXPECT_GE(section, 0);
        if (r.key) {
            EXPECT_EQ(section_range(r.key).last, section + 1);
            ++key_owners[section];
        }
        if (!r.letter) continue;
        EXPECT_TRUE(letters.insert(r.letter).second);
        const std::string letter = std::string("-") + r.letter;
        ScannedOption attached = first_option({"tsgraf", letter + "1"});
        EXPECT_EQ(attached.code, r.letter);
        EXPECT_EQ(attached.has_value, r.by_letter != ArgKind::NONE);
        EXPECT_EQ(first_option({"tsgraf", letter}).diagnostic.empty(),
                  r.by_letter != ArgKind::REQUIRED);
        if (r.sets) {
            RunState by_letter;
            handle_option(by_letter, r.letter, nullptr);
            EXPECT_EQ(by_letter.opt().*r.sets, 1);
        } else {
            EXPECT_EQ(r.runs, r.letter);
        }
    }
    for (int i = 0; i < section_count(); ++i) EXPECT_EQ(key_owners[i], 1) << section_name(i);
}
