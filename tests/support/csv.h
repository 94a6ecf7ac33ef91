// The lines of a CSV text as the export writes them: each ended by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm_test {

inline std::vector<std::string> crlf_lines(std::string_view all) {
  std::vector<std::string> out;
  for (std::size_t from = 0; from < all.size();) {
    std::size_t end = all.find("\r\n", from);
    if (end == std::string_view::npos) end = all.size();
    out.emplace_back(all.substr(from, end - from));
    from = end + 2;
  }
  return out;
}

}  // namespace qm_test
