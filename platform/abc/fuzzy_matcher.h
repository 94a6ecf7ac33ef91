// The class library's fuzzy text matcher: how well a text matches a pattern.
// Options: 1 NOCASE (letters compared without case), 2 WORDONLY (each blank-
// separated word of the pattern must begin a word of the text). Init turns
// both off; Kill does nothing.
#pragma once

#include <string_view>

namespace abc {

inline constexpr int FuzzyOption_NoCase = 1;
inline constexpr int FuzzyOption_WordOnly = 2;

class FuzzyMatcher {
 public:
  void Init();
  // A non-zero value sets the option; an unknown option is ignored.
  void SetOption(int option, int value);
  bool Option(int option) const;
  void Kill() {}

  // 0 (no match) to 100 (the text is the pattern): every character of the
  // pattern must occur in the text in order (with WORDONLY every word must
  // begin a word); the score grows as the matched characters lie closer.
  int Match(std::string_view text, std::string_view pattern) const;

 private:
  bool nocase_ = false;
  bool word_only_ = false;
};

}  // namespace abc
