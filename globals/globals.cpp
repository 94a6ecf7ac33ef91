#include "globals/globals.h"

namespace globals {

text::CString<100> GLO_QUERYNAME;
text::CString<100> GLO_TPSPASSWORD;
text::CString<256> GLO_INPUTTPSLOCATION;
text::CString<256> GLO_OUTPUTCSVLOCATION;
BYTE GLO_DATESTAMPINEXPORT = 0;
text::CString<14> GLO_DATEFORMAT{kDefaultDateFormat};
text::CString<10> GLO_DATETIMESEPARATOR{kDefaultDateTimeSeparator};
text::CString<14> GLO_TIMEFORMAT{kDefaultTimeFormat};
BYTE GLO_NULLEMPTYSTR = 0;
text::CString<50000> GLO_SELECT;
text::CString<50000> GLO_WHERE;
BYTE GLO_FIELDSBYNAME = 0;
LONG GLO_FETCHEDNO = 0;
BYTE GLO_NOPREVIEW = 0;
text::CString<256> GLO_WorkingDir;

BYTE AutoMode = 0;
text::CString<100> CmdQueryName;
std::string CmdSelect;
std::string CmdWhere;
text::CString<100> MainCaption;
LONG LastRecordCount = 0;

BYTE FieldChosen = 0;

LONG TopCount = 0;
LONG StartAtPointer = 0;
BYTE ReverseOrder = 0;

queue::Queue<FieldListRecord> FieldListQueue;
queue::Queue<SelectedNamesRecord> SelectedNamesQueue;
queue::Queue<PreviewRecord> PreviewQueue;

void reset() {
  GLO_QUERYNAME.clear();
  GLO_TPSPASSWORD.clear();
  GLO_INPUTTPSLOCATION.clear();
  GLO_OUTPUTCSVLOCATION.clear();
  GLO_DATESTAMPINEXPORT = 0;
  GLO_DATEFORMAT = kDefaultDateFormat;
  GLO_DATETIMESEPARATOR = kDefaultDateTimeSeparator;
  GLO_TIMEFORMAT = kDefaultTimeFormat;
  GLO_NULLEMPTYSTR = 0;
  GLO_SELECT.clear();
  GLO_WHERE.clear();
  GLO_FIELDSBYNAME = 0;
  GLO_FETCHEDNO = 0;
  GLO_NOPREVIEW = 0;
  GLO_WorkingDir.clear();

  AutoMode = 0;
  CmdQueryName.clear();
  CmdSelect.clear();
  CmdWhere.clear();
  MainCaption.clear();
  LastRecordCount = 0;

  FieldChosen = 0;

  TopCount = 0;
  StartAtPointer = 0;
  ReverseOrder = 0;

  FieldListQueue.free();
  FieldListQueue.clear();
  SelectedNamesQueue.free();
  SelectedNamesQueue.clear();
  PreviewQueue.free();
  PreviewQueue.clear();
}

}  // namespace globals
