// Fixed-capacity texts and the string functions, checked on the edges where the
// runtime's semantics differ from std::string's: capacities, blanks, 1-based
// positions, bytes above 0x7F and embedded NULs.
#include "platform/text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace std::string_view_literals;
using text::CString;
using text::FixedString;

// ---- CString<N> -----------------------------------------------------------------

TEST(CString, KeepsAtMostNMinusOneBytesAndStopsAtANul) {
  struct Case {
    std::string_view input;
    std::string_view stored;
  };
  const Case cases[] = {
      {""sv, ""sv},
      {"abc"sv, "abc"sv},
      {"abcd"sv, "abcd"sv},                          // exactly N-1: all of it
      {"abcde"sv, "abcd"sv},                         // exactly N: the last byte goes to the NUL
      {"abcdefghij"sv, "abcd"sv},
      {"ab\0cd"sv, "ab"sv},                          // an embedded NUL ends the text
      {"\0abc"sv, ""sv},
      {"abcd\0"sv, "abcd"sv},
      {"\xC3\xA9\xC3\xA9"sv, "\xC3\xA9\xC3\xA9"sv},  // bytes, not characters: four fit
      {"a\xC3\xA9\xC3\xA9"sv, "a\xC3\xA9\xC3"sv},    // and a multi-byte character may be cut
      {"\xFF\xFE\x80\x81\x82"sv, "\xFF\xFE\x80\x81"sv},
  };
  for (const Case& c : cases) {
    CString<5> t = c.input;
    EXPECT_EQ(t.view(), c.stored) << testing::PrintToString(std::string(c.input));
    EXPECT_EQ(t.size(), c.stored.size());
    EXPECT_EQ(std::strlen(t.c_str()), c.stored.size());  // NUL-terminated where it ends
  }
  static_assert(CString<5>::kMaxLength == 4);
}

TEST(CString, ASmallerTextReplacesALongerOneWhole) {
  CString<8> t = "abcdefg";
  t = "xy";
  EXPECT_EQ(t.view(), "xy");
  EXPECT_STREQ(t.c_str(), "xy");
  t.clear();
  EXPECT_TRUE(t.empty());
  EXPECT_STREQ(t.c_str(), "");
}

TEST(CString, OneByteHoldsOnlyItsNul) {
  CString<1> t = "abc";
  EXPECT_TRUE(t.empty());
  EXPECT_STREQ(t.c_str(), "");
}

TEST(CString, BetweenCapacitiesTheSmallerCuts) {
  CString<20> wide = "0123456789";
  CString<4> narrow;
  narrow = wide;
  EXPECT_EQ(narrow.view(), "012");
  wide = narrow;
  EXPECT_EQ(wide.view(), "012");
}

TEST(CString, AnEmptyViewWithoutStorageGivesAnEmptyText) {
  CString<4> t = "abc";
  t = std::string_view{};
  EXPECT_TRUE(t.empty());
}

// The runtime's idioms assign a text a piece of itself (X = CLIP(LEFT(X)), X = X[2 : 9]).
TEST(CString, TakesAPieceOfItself) {
  CString<16> t = "   abc def";
  t = text::trim_left(t);
  EXPECT_EQ(t.view(), "abc def");
  t = text::slice(t, 5, 7);
  EXPECT_EQ(t.view(), "def");
  t = t.view();
  EXPECT_EQ(t.view(), "def");
}

// ---- FixedString<N> ----------------------------------------------------------------

TEST(FixedString, PadsWithBlanksAndCutsAtN) {
  struct Case {
    std::string_view input;
    std::string_view stored;
  };
  const Case cases[] = {
      {""sv, "     "sv},
      {"ab"sv, "ab   "sv},
      {"abcde"sv, "abcde"sv},
      {"abcdefgh"sv, "abcde"sv},
      {"  a"sv, "  a  "sv},
      {"a\0b"sv, "a\0b  "sv},  // every byte is data here, a NUL too
      {"\xC3\xA9\xC3\xA9\xC3\xA9"sv, "\xC3\xA9\xC3\xA9\xC3"sv},
  };
  for (const Case& c : cases) {
    FixedString<5> t = c.input;
    EXPECT_EQ(t.view(), c.stored) << testing::PrintToString(std::string(c.input));
    EXPECT_EQ(t.clipped(), text::clip(c.stored));
  }
  EXPECT_EQ(FixedString<3>().view(), "   ");
}

TEST(FixedString, AShorterTextLeavesNoTailOfTheOldOne) {
  FixedString<6> t = "abcdef";
  t = "xy";
  EXPECT_EQ(t.view(), "xy    ");
  t.clear();
  EXPECT_EQ(t.view(), "      ");
}

TEST(FixedString, EqualityIgnoresTrailingBlanksOnly) {
  FixedString<5> t = "ab";
  EXPECT_TRUE(t == "ab");
  EXPECT_TRUE(t == "ab   ");
  EXPECT_TRUE(t == "ab          ");  // longer than the capacity, but blanks
  EXPECT_FALSE(t == " ab");
  EXPECT_FALSE(t == "ab c");
  EXPECT_FALSE(t == "abc");
  EXPECT_TRUE(FixedString<5>() == "");
}

TEST(FixedString, TakesAPieceOfItself) {
  FixedString<8> t = "  abc";
  t = text::trim_left(t.view());
  EXPECT_EQ(t.view(), "abc     ");
  t = text::slice(t.view(), 2, 8);
  EXPECT_EQ(t.view(), "bc      ");
  t = t.view();
  EXPECT_EQ(t.view(), "bc      ");
}

// ---- blanks: CLIP, LEFT, RIGHT, pad -----------------------------------------------

TEST(Blanks, ClipRemovesTrailingBlanksAndNothingElse) {
  struct Case {
    std::string_view input, clipped, trimmed;
  };
  const Case cases[] = {
      {""sv, ""sv, ""sv},
      {"    "sv, ""sv, ""sv},
      {"ab  "sv, "ab"sv, "ab"sv},
      {"  ab"sv, "  ab"sv, "ab"sv},
      {" a b "sv, " a b"sv, "a b"sv},
      {"a\t"sv, "a\t"sv, "a\t"sv},      // a tab is no blank
      {"a \0"sv, "a \0"sv, "a \0"sv},   // nor is a NUL
      {"a\xA0"sv, "a\xA0"sv, "a\xA0"sv},  // nor the code page's no-break space
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.input)));
    EXPECT_EQ(text::clip(c.input), c.clipped);
    EXPECT_EQ(text::trim(c.input), c.trimmed);
    EXPECT_EQ(text::blank(c.input), c.clipped.empty());
  }
}

TEST(Blanks, LeftMovesLeadingBlanksToTheEnd) {
  struct Case {
    std::string_view input, result;
  };
  const Case cases[] = {
      {""sv, ""sv},        {"   "sv, "   "sv},        {"ab"sv, "ab"sv},
      {"  ab"sv, "ab  "sv}, {" a b "sv, "a b  "sv},     {"   TOP 5"sv, "TOP 5   "sv},
      {"\tab"sv, "\tab"sv},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::left(c.input), c.result) << '"' << c.input << '"';
  }
}

TEST(Blanks, LeftAndRightToAWidth) {
  EXPECT_EQ(text::left("  ab", 3), "ab ");
  EXPECT_EQ(text::left("  abcd", 2), "ab");
  EXPECT_EQ(text::left("ab", 0), "");
  EXPECT_EQ(text::left("   ", 2), "  ");
  EXPECT_EQ(text::right("ab  "), "  ab");
  EXPECT_EQ(text::right("ab", 5), "   ab");
  EXPECT_EQ(text::right("    "), "    ");
  EXPECT_EQ(text::pad("ab", 4), "ab  ");
  EXPECT_EQ(text::pad("abcd", 2), "ab");
  EXPECT_EQ(text::pad("", 0), "");
}

// ---- UPPER and LOWER ---------------------------------------------------------------

TEST(Case, AsciiAndWindows1252Letters) {
  EXPECT_EQ(text::upper("cus:name_1 z"), "CUS:NAME_1 Z");
  EXPECT_EQ(text::lower("CUS:NAME_1 Z"), "cus:name_1 z");
  EXPECT_EQ(text::upper("\xE9t\xE9 \xFF \x9A"), "\xC9T\xC9 \x9F \x8A");  // été ÿ š
  EXPECT_EQ(text::lower("\xC9T\xC9 \x9F \x8A"), "\xE9t\xE9 \xFF \x9A");
  EXPECT_EQ(text::upper("\xDF\xF7"), "\xDF\xF7");  // ß has no capital, ÷ is no letter
  EXPECT_EQ(text::lower("\xD7"), "\xD7");          // × is no letter
  EXPECT_EQ(text::upper(std::string_view("a\0b", 3)), std::string_view("A\0B", 3));
}

TEST(Case, EveryByteMapsConsistently) {
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const char u = text::upper(c), l = text::lower(c);
    SCOPED_TRACE(b);
    EXPECT_EQ(text::upper(u), u);  // idempotent
    EXPECT_EQ(text::lower(l), l);
    EXPECT_EQ(text::upper(l), u);  // a pair of letters maps both ways
    EXPECT_EQ(text::lower(u), l);
    if (u != c) {
      EXPECT_EQ(l, c);  // a byte is changed by at most one of them
    }
  }
}

// ---- INSTRING ------------------------------------------------------------------

TEST(Instring, FirstExactOccurrenceAtOrAfterTheStart) {
  struct Case {
    std::string_view needle, haystack;
    std::size_t start, position;
  };
  const Case cases[] = {
      {"b"sv, "abc"sv, 1, 2},
      {"abc"sv, "abc"sv, 1, 1},              // the whole text
      {"c"sv, "abc"sv, 3, 3},                // at the very end, starting there
      {"bc"sv, "abc"sv, 1, 2},               // ending at the very end
      {"bc"sv, "abcbc"sv, 3, 4},             // the start skips the first one
      {"a"sv, "abc"sv, 2, 0},                // only before the start
      {"aa"sv, "aaaa"sv, 2, 2},              // overlapping occurrences
      {"TOP "sv, "SELECT TOP 5"sv, 1, 8},
      {"TOP "sv, "SELECT TOP"sv, 1, 0},      // the blank is part of what is sought
      {"top "sv, "SELECT TOP 5"sv, 1, 0},    // case-sensitive
      {"  "sv, "a    "sv, 1, 2},             // blanks are found like any byte
      {" "sv, "    "sv, 4, 4},
      {"\xE9"sv, "caf\xE9"sv, 1, 4},
      {"b"sv, "a\0b"sv, 1, 3},               // an embedded NUL does not end the text
      {"\0"sv, "a\0b"sv, 1, 2},
      // nothing to find
      {""sv, "abc"sv, 1, 0},
      {"a"sv, ""sv, 1, 0},
      {""sv, ""sv, 1, 0},
      {"abcd"sv, "abc"sv, 1, 0},             // longer than the text
      {"bcd"sv, "abc"sv, 2, 0},              // runs past the end
      // starts outside the text
      {"a"sv, "abc"sv, 0, 0},
      {"a"sv, "abc"sv, static_cast<std::size_t>(-1), 0},  // a negative start arriving as a size
      {"c"sv, "abc"sv, 4, 0},
      {"c"sv, "abc"sv, 1000, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::instring(c.needle, c.haystack, c.start), c.position)
        << "INSTRING(" << testing::PrintToString(std::string(c.needle)) << ", "
        << testing::PrintToString(std::string(c.haystack)) << ", 1, " << c.start << ")";
  }
  EXPECT_EQ(text::instring("c", "abc"), 3u);  // the start defaults to 1
}

// ---- NUMERIC ---------------------------------------------------------------------

TEST(Numeric, ASignDigitsAndOnePoint) {
  struct Case {
    std::string_view input;
    bool numeric;
  };
  const Case cases[] = {
      {"0"sv, true},     {"123"sv, true},   {"-1.5"sv, true},  {"1."sv, true},
      {".5"sv, true},    {"-.5"sv, true},   {"12   "sv, true},  // trailing blanks allowed
      {"  12"sv, false},  // leading blanks are not
      {"+1"sv, false},   {"1.2.3"sv, false}, {"-"sv, false},    {"."sv, false},
      {"-."sv, false},   {""sv, false},     {"   "sv, false},  {"1e5"sv, false},
      {"1,000"sv, false}, {"--1"sv, false},  {"1-"sv, false},   {"1 2"sv, false},
      {"1\0"sv, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::numeric(c.input), c.numeric) << testing::PrintToString(std::string(c.input));
  }
}

// ---- slicing ---------------------------------------------------------------------

TEST(Slice, OneBasedInclusiveAndKeptInsideTheText) {
  struct Case {
    std::size_t first, last;
    std::string_view result;
  };
  const Case cases[] = {
      {1, 6, "abcdef"sv}, {2, 3, "bc"sv}, {6, 6, "f"sv},  {1, 1, "a"sv},
      {0, 2, "ab"sv},     // before the start: from the first byte
      {5, 99, "ef"sv},    // past the end: to the last byte
      {4, 3, ""sv},       {7, 8, ""sv},   {1, 0, ""sv},  {0, 0, ""sv},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::slice("abcdef", c.first, c.last), c.result) << "[" << c.first << " : " << c.last << "]";
  }
  EXPECT_EQ(text::slice("", 1, 1), "");
}

TEST(Slice, SubCountsNegativePositionsFromTheEnd) {
  struct Case {
    long position, length;
    std::string_view result;
  };
  const Case cases[] = {
      {2, 3, "bcd"sv},    {1, 6, "abcdef"sv}, {-1, 1, "f"sv}, {-3, 2, "de"sv},
      {-6, 1, "a"sv},     {-7, 1, ""sv},      {0, 2, ""sv},   {7, 1, ""sv},
      {5, 100, "ef"sv},   {1, 0, ""sv},       {1, -1, ""sv},
      {2, LONG_MAX, "bcdef"sv},  // a length that would run past every end
      {LONG_MIN, 1, ""sv},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::sub("abcdef", c.position, c.length), c.result) << "SUB(" << c.position << ", " << c.length << ")";
  }
}

// ---- comparison ------------------------------------------------------------------

TEST(Compare, AsIfPaddedWithBlanks) {
  struct Case {
    std::string_view a, b;
    int order;
  };
  const Case cases[] = {
      {"abc"sv, "abc   "sv, 0},
      {""sv, "   "sv, 0},
      {""sv, ""sv, 0},
      {"abc"sv, "abd"sv, -1},
      {"b"sv, "abc"sv, 1},
      {"ab"sv, "abc"sv, -1},
      {"ab "sv, "abc"sv, -1},
      {" a"sv, "a"sv, -1},           // leading blanks count
      {"ABC"sv, "abc"sv, -1},        // case-sensitive, in code order
      {"\xE9"sv, "z"sv, 1},          // bytes above 0x7F sort after ASCII
      // The shorter text counts as padded with blanks, so a byte below the
      // blank sorts before the end of a text, as in a blank-padded key.
      {"a\0"sv, "a"sv, -1},
      {"a\t"sv, "a"sv, -1},
      {"ab\t"sv, "ab  "sv, -1},
      {"a!"sv, "a"sv, 1},
      {"a \x7F"sv, "a"sv, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.a)) + " vs " + testing::PrintToString(std::string(c.b)));
    EXPECT_EQ(text::compare(c.a, c.b), c.order);
    EXPECT_EQ(text::compare(c.b, c.a), -c.order);
    EXPECT_EQ(text::same(c.a, c.b), c.order == 0);
  }
}

}  // namespace
