// Stand-in for the class library's fuzzy matcher until the store branch
// brings the real one (see ../README); only its interface is used here.
#pragma once

namespace abc {

class FuzzyMatcher {
 public:
  void Init() {}
  void SetOption(int, int) {}
  void Kill() {}
};

}  // namespace abc
