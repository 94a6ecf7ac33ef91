// The main window as data: its attributes, its 34 controls in field-number
// order with their captions, pictures, positions in dialog units, drop-list
// items and tips, and the field numbers by which the handlers address them.
#pragma once

#include "platform/window/definition.h"

namespace shell {

// Field numbers of the main window's controls (their place in the definition).
enum MainControl : int {
  FEQ_GROUP1 = 1,
  FEQ_GLO_TPSPASSWORD_PROMPT,
  FEQ_GLO_TPSPASSWORD,
  FEQ_GLO_INPUTTPSLOCATION_PROMPT,
  FEQ_GLO_INPUTTPSLOCATION,
  FEQ_GLO_OUTPUTCSVLOCATION_PROMPT,
  FEQ_GLO_OUTPUTCSVLOCATION,
  FEQ_GLO_DATESTAMPINEXPORT,
  FEQ_GLO_DATEFORMAT_PROMPT,
  FEQ_GLO_DATEFORMAT,
  FEQ_GLO_DATETIMESEPARATOR,
  FEQ_GLO_TIMEFORMAT_PROMPT,
  FEQ_GLO_TIMEFORMAT,
  FEQ_GLO_NULLEMPTYSTR,
  FEQ_BUTTONFETCHFIELD,
  FEQ_BUTTONFETCHFIELD2,
  FEQ_PROMPT1,
  FEQ_GLO_SELECT,
  FEQ_PROMPT2,
  FEQ_GLO_WHERE,
  FEQ_BUTTONFETCH,
  FEQ_BUTTONNEW,
  FEQ_GLO_QUERYNAME_PROMPT,
  FEQ_GLO_QUERYNAME,
  FEQ_LOOKUPFILE,
  FEQ_LOOKUPFILE_2,
  FEQ_LOOKUPFILE_4,
  FEQ_INTERNETLINK,
  FEQ_LINE1,
  FEQ_BUTTONQUERY,
  FEQ_GLO_FIELDSBYNAME,
  FEQ_GLO_FETCHEDNO,
  FEQ_GLO_NOPREVIEW,
  FEQ_LIST1,
};

inline constexpr int kMainWidth = 545;
inline constexpr int kMainHeight = 400;

// P1$MENUWINDOW of the module quillomar$quillomar001.
const window::WindowDef& MainWindowDef();

}  // namespace shell
