// Any bytes as the FIELDS BLOB of a stored query (QMXSETUP.TPS is a file
// anyone can replace): reading the field list back never crashes or reads
// outside the text, gives one entry per "*", keeps every value within its
// field, and the list's own text form reads back to the same list.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "globals/globals.h"
#include "shell/main_locals.h"
#include "shell/saved_queries.h"

namespace {

std::vector<std::string> snapshot() {
  std::vector<std::string> out;
  globals::FieldListRecord r;
  for (std::size_t i = 1; i <= globals::FieldListQueue.records(); ++i) {
    globals::FieldListQueue.peek(i, r);
    out.push_back(r.ALF_DAFIELD.str() + '\x01' + r.ALF_DATYPE.str() + '\x01' + r.ALF_DATE.str() + '\x01' +
                  r.ALF_TIME.str() + '\x01' + r.ALF_POSSIBLEDATE.str() + '\x01' + r.ALF_POSSIBLETIME.str() +
                  '\x01' + std::to_string(r.ALF_DACOUNT));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  shell::MainLocals m;
  m.FieldsText.assign(reinterpret_cast<const char*>(data), size);
  globals::FieldListQueue.free();
  shell::ParseFieldsText(m);
  const std::size_t stars = static_cast<std::size_t>(std::count(m.FieldsText.begin(), m.FieldsText.end(), '*'));
  if (globals::FieldListQueue.records() != stars) std::abort();

  // Written by the program from a list whose labels hold neither "|" nor "*"
  // (as field labels never do), the text form reads back to the same list.
  bool plain = true;
  globals::FieldListRecord r;
  for (std::size_t i = 1; plain && i <= globals::FieldListQueue.records(); ++i) {
    globals::FieldListQueue.peek(i, r);
    for (std::string_view v : {r.ALF_DAFIELD.view(), r.ALF_DATYPE.view()}) {
      if (!v.empty() && v.back() == ' ') plain = false;  // the text form drops trailing blanks
    }
    for (std::string_view v : {r.ALF_DAFIELD.view(), r.ALF_DATYPE.view(), r.ALF_DATE.view(), r.ALF_TIME.view(),
                               r.ALF_POSSIBLEDATE.view(), r.ALF_POSSIBLETIME.view()}) {
      if (v.find_first_of("|*") != std::string_view::npos) plain = false;
    }
  }
  if (plain && stars > 0) {
    const std::vector<std::string> before = snapshot();
    m.FieldsText = shell::FieldListText();
    shell::ParseFieldsText(m);
    if (snapshot() != before) std::abort();
  }
  return 0;
}
