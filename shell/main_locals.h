// The variables of one run of the main window procedure Main, shared by its
// window manager's handlers and its local routines (the saved-query store,
// the Fetch command, the field, file and query commands). They start at 0 or
// empty with every run of Main.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text/text.h"

namespace shell {

struct MainLocals {
  // saved-query store
  std::uint8_t FieldListPresent = 0;  // set by each caller of SaveQuery just before it
  std::uint8_t QueryIsNew = 0;
  std::int32_t SavedSysId = 0;
  std::uint8_t LoadedByName = 0;
  std::int32_t PickedSysId = 0;       // the browse's answer; 0 none
  std::string FieldsText;             // the field list's text form
  std::int32_t BlobSize = 0;
  // Fetch command
  std::uint8_t FetchFieldsResult = 0;  // ExportTable's result in field mode
  std::string PreviewFormat;
  // field, file and query commands
  text::CString<100> QueryNameAtPress;
  text::CString<100> QueryNameAfterBrowse;
  text::CString<256> LocationBefore;
  text::CString<256> NewInputLocation;
};

}  // namespace shell
