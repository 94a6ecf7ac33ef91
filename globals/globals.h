// Program-wide state that the application shell owns and the export engine
// reads: the settings of the query form, the record types of the three
// program-wide queues, the SELECT keyword state and the unattended-run flag.
// Each variable is declared once here with its capacity; reset() restores every
// start value (the program's start, and the start of every test).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>

#include "globals/preview_record.h"
#include "platform/queue/queue.h"
#include "platform/text/text.h"

namespace globals {

using BYTE = std::uint8_t;
using LONG = std::int32_t;

// ---- settings of the query form -------------------------------------------------
// Capacities count the terminating NUL. All but GLO_FETCHEDNO and GLO_WorkingDir
// are stored with a saved query.

inline constexpr const char* kDefaultDateFormat = "@D06";
inline constexpr const char* kDefaultDateTimeSeparator = "b";
inline constexpr const char* kDefaultTimeFormat = "@T04";

extern text::CString<100> GLO_QUERYNAME;
extern text::CString<100> GLO_TPSPASSWORD;
extern text::CString<256> GLO_INPUTTPSLOCATION;
extern text::CString<256> GLO_OUTPUTCSVLOCATION;
extern BYTE GLO_DATESTAMPINEXPORT;
extern text::CString<14> GLO_DATEFORMAT;         // start "@D06"
extern text::CString<10> GLO_DATETIMESEPARATOR;  // start "b"
extern text::CString<14> GLO_TIMEFORMAT;         // start "@T04"
extern BYTE GLO_NULLEMPTYSTR;
extern text::CString<50000> GLO_SELECT;
extern text::CString<50000> GLO_WHERE;
extern BYTE GLO_FIELDSBYNAME;
extern LONG GLO_FETCHEDNO;
extern BYTE GLO_NOPREVIEW;
extern text::CString<256> GLO_WorkingDir;  // set by the main window's initialisation

// ---- other state of the main window ------------------------------------------------

extern BYTE AutoMode;                   // 1 during an unattended run
extern text::CString<100> CmdQueryName;  // the "\query" switch
extern std::string CmdSelect;           // the "\select" switch
extern std::string CmdWhere;            // the "\where" switch
extern text::CString<100> MainCaption;   // the caption as the main window opened
extern LONG LastRecordCount;            // record count of the last export, kept with the query

// ---- the field picker's answer ------------------------------------------------------

extern BYTE FieldChosen;  // 1: the picker ended with a field chosen, left in FieldListQueue's buffer

// ---- SELECT keyword state (set by the SELECT parsing, read by the record loop) -----

extern LONG TopCount;        // n after TOP/BOTTOM; 0 no limit; -1 header only; -2 header and types
extern LONG StartAtPointer;  // n after STARTAT; 0 none
extern BYTE ReverseOrder;    // 1 when BOTTOM was given

// ---- record types of the program-wide queues ---------------------------------------

// One entry per column of the input table: the user's view of the columns and
// the date and time marks kept with a saved query.
struct FieldListRecord {
  text::CString<256> ALF_DAFIELD;     // column name
  text::CString<20> ALF_DATYPE;       // type name
  text::FixedString<3> ALF_DATE;      // "D": write as a date
  text::FixedString<3> ALF_TIME;      // "T": write as a time
  text::FixedString<3> ALF_POSSIBLEDATE;  // "d": the values could be dates
  text::FixedString<3> ALF_POSSIBLETIME;  // "t": the values could be times
  LONG ALF_DACOUNT = 0;               // the column's number in the table
  LONG ALF_DAORDER = 0;               // in the buffer: the output column being written
  text::CString<100> ALF_DASORT;      // sort text of the field picker
  LONG ALF_DASIZE = 0;
  LONG ALF_NAMELEN = 0;

  auto fields() {
    return std::tie(ALF_DAFIELD, ALF_DATYPE, ALF_DATE, ALF_TIME, ALF_POSSIBLEDATE,
                    ALF_POSSIBLETIME, ALF_DACOUNT, ALF_DAORDER, ALF_DASORT, ALF_DASIZE,
                    ALF_NAMELEN);
  }
  auto fields() const {
    return std::tie(ALF_DAFIELD, ALF_DATYPE, ALF_DATE, ALF_TIME, ALF_POSSIBLEDATE,
                    ALF_POSSIBLETIME, ALF_DACOUNT, ALF_DAORDER, ALF_DASORT, ALF_DASIZE,
                    ALF_NAMELEN);
  }
};

// The upper-case column names that the SELECT text names (TFQ_FROMWHERE 0) or
// that only the WHERE text holds (1); empty means every column.
struct SelectedNamesRecord {
  text::CString<256> TFQ_NAME;
  LONG TFQ_NAMELEN = 0;
  BYTE TFQ_FROMWHERE = 0;

  auto fields() { return std::tie(TFQ_NAME, TFQ_NAMELEN, TFQ_FROMWHERE); }
  auto fields() const { return std::tie(TFQ_NAME, TFQ_NAMELEN, TFQ_FROMWHERE); }
};

// ---- the program-wide queues -------------------------------------------------------

extern queue::Queue<FieldListRecord> FieldListQueue;
extern queue::Queue<SelectedNamesRecord> SelectedNamesQueue;
// One row per line written; the buffer is cleared only at the program's start.
extern queue::Queue<PreviewRecord> PreviewQueue;

// Restores every variable of this header (the queues emptied, their buffers cleared) to its start value.
void reset();

}  // namespace globals
