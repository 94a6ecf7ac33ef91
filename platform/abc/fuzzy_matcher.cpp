#include "platform/abc/fuzzy_matcher.h"

#include <algorithm>
#include <string>

#include "platform/text/text.h"

namespace abc {

void FuzzyMatcher::Init() {
  nocase_ = false;
  word_only_ = false;
}

void FuzzyMatcher::SetOption(int option, int value) {
  if (option == FuzzyOption_NoCase) nocase_ = value != 0;
  if (option == FuzzyOption_WordOnly) word_only_ = value != 0;
}

bool FuzzyMatcher::Option(int option) const {
  if (option == FuzzyOption_NoCase) return nocase_;
  if (option == FuzzyOption_WordOnly) return word_only_;
  return false;
}

int FuzzyMatcher::Match(std::string_view text_in, std::string_view pattern_in) const {
  const std::string t = nocase_ ? text::upper(text_in) : std::string(text_in);
  const std::string p = nocase_ ? text::upper(pattern_in) : std::string(pattern_in);
  const std::string_view pattern = text::trim(p);
  const std::string_view subject = text::clip(t);
  if (pattern.empty()) return 0;
  if (subject == pattern) return 100;
  if (word_only_) {
    // Each word of the pattern must begin a word of the text, in order.
    std::size_t from = 0, words = 0, found = 0;
    std::size_t at = 0;
    while (at < pattern.size()) {
      while (at < pattern.size() && pattern[at] == ' ') ++at;
      std::size_t end = pattern.find(' ', at);
      if (end == std::string_view::npos) end = pattern.size();
      if (end == at) break;
      const std::string_view word = pattern.substr(at, end - at);
      ++words;
      for (std::size_t pos = subject.find(word, from); pos != std::string_view::npos;
           pos = subject.find(word, pos + 1)) {
        if (pos == 0 || subject[pos - 1] == ' ') {
          ++found;
          from = pos + word.size();
          break;
        }
      }
      at = end;
    }
    if (found < words) return 0;
    return 50 + static_cast<int>(49 * pattern.size() / std::max<std::size_t>(subject.size(), 1));
  }
  std::size_t first = std::string_view::npos, last = 0, pos = 0;
  for (char c : pattern) {
    pos = subject.find(c, pos);
    if (pos == std::string_view::npos) return 0;
    if (first == std::string_view::npos) first = pos;
    last = pos++;
  }
  const std::size_t span = last - first + 1;
  return 1 + static_cast<int>(98 * pattern.size() / std::max(span, subject.size()));
}

}  // namespace abc
