// The fuzzy matcher: NOCASE and WORDONLY change what matches, and closer
// matches score higher.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/abc/fuzzy_matcher.h"

namespace {

TEST(FuzzyMatcher, OptionsDecideWhatMatches) {
  struct Case {
    bool nocase, word_only;
    std::string text, pattern;
    bool matches;
  };
  const std::vector<Case> cases = {
      {false, false, "Customer Orders", "CustOrd", true},
      {false, false, "Customer Orders", "custord", false},
      {true, false, "Customer Orders", "custord", true},
      {true, false, "Customer Orders", "xyz", false},
      {true, true, "Customer Orders", "cust ord", true},
      {true, true, "Customer Orders", "stomer", false},  // must begin a word
      {false, false, "anything", "", false},
  };
  for (const Case& c : cases) {
    abc::FuzzyMatcher m;
    m.Init();
    m.SetOption(abc::FuzzyOption_NoCase, c.nocase);
    m.SetOption(abc::FuzzyOption_WordOnly, c.word_only);
    EXPECT_EQ(m.Match(c.text, c.pattern) > 0, c.matches) << c.text << " / " << c.pattern;
  }
  abc::FuzzyMatcher m;
  m.Init();
  EXPECT_FALSE(m.Option(abc::FuzzyOption_NoCase));
  EXPECT_EQ(m.Match("Orders", "Orders"), 100);
  EXPECT_GT(m.Match("Orders", "Ord"), m.Match("Old records", "Ord"));
}

}  // namespace
