// The saved-query browse "Pick Query": the stored queries by name (the
// alias's key QMX2:ByQueryName, without regard to case), read a page at a
// time; typing in the list finds a name, Select returns the highlighted
// query's QMX2:SYSID, Delete removes one through the form's delete path.
// LookupQuery takes its request from CallRequest (the program passes 4,
// select) and leaves the window's response in CallResponse; it returns 0
// when the window ends without Select.
#pragma once

#include <cstdint>
#include <tuple>

#include "platform/abc/browse_manager.h"
#include "platform/text/text.h"

namespace shell {

// One row of the list.
struct QueryListRecord {
  text::CString<100> QMX2_QUERYNAME;
  std::int32_t QMX2_SYSID = 0;
  std::uint8_t MARK = 0;
  text::FixedString<1024> VIEWPOSITION;

  auto fields() { return std::tie(QMX2_QUERYNAME, QMX2_SYSID, MARK, VIEWPOSITION); }
  auto fields() const { return std::tie(QMX2_QUERYNAME, QMX2_SYSID, MARK, VIEWPOSITION); }
};

// The browse's view of the alias, one per thread, and whether this thread
// has used it.
extern thread_local abc::ViewManager LookupQueryView;
extern thread_local std::uint8_t LookupQueryViewUsed;

std::int32_t LookupQuery();
// The module's per-thread clean-up: closes the thread's view if it was used.
void LookupQueryThreadKill();

}  // namespace shell
