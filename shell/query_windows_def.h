// The saved-query browse "Pick Query" and its form "Form QMXSETUPAlias" as
// data: their attributes, their controls in field-number order with captions,
// pictures, positions in dialog units, items and tips, and the field numbers
// by which the procedures address them.
#pragma once

#include "platform/window/definition.h"

namespace shell {

enum LookupQueryControl : int {
  FEQ_BROWSE_1 = 1,
  FEQ_SELECT_2,
  FEQ_DELETE_4,
  FEQ_CLOSE,
};

enum UpdateQMXSETUPAliasControl : int {
  FEQ_CURRENTTAB = 1,
  FEQ_TAB_1,
  FEQ_QMX_SYSID_PROMPT,
  FEQ_QMX2_SYSID,
  FEQ_QMX_TAG_PROMPT,
  FEQ_QMX2_TAG,
  FEQ_QMX_QUERYNAME_PROMPT,
  FEQ_QMX2_QUERYNAME,
  FEQ_QMX_TPSPASSWORD_PROMPT,
  FEQ_QMX2_TPSPASSWORD,
  FEQ_QMX_INPUTTPSLOCATION_PROMPT,
  FEQ_QMX2_INPUTTPSLOCATION,
  FEQ_QMX_OUTPUTCSVLOCATION_PROMPT,
  FEQ_QMX2_OUTPUTCSVLOCATION,
  FEQ_QMX2_DATESTAMPINEXPORT,
  FEQ_QMX_NULLEMPTYSTR_PROMPT,
  FEQ_QMX2_NULLEMPTYSTR,
  FEQ_TAB_2,
  FEQ_QMX_DATEFORMAT_PROMPT,
  FEQ_QMX2_DATEFORMAT,
  FEQ_TAB_3,
  FEQ_QMX_DATETIMESEPARATOR_PROMPT,
  FEQ_QMX2_DATETIMESEPARATOR,
  FEQ_QMX_TIMEFORMAT_PROMPT,
  FEQ_QMX2_TIMEFORMAT,
  FEQ_OK,
  FEQ_CANCEL,
  FEQ_HELP,
};

inline constexpr int kLookupQueryWidth = 154;
inline constexpr int kLookupQueryHeight = 198;
inline constexpr int kQueryFormWidth = 358;
inline constexpr int kQueryFormHeight = 254;

// P3$QUICKWINDOW: the browse.
const window::WindowDef& LookupQueryWindowDef();
// P11$QUICKWINDOW: the form.
const window::WindowDef& QueryFormWindowDef();

}  // namespace shell
