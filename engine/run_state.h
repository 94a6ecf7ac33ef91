// The state of one ExportTable call, shared by the routines that run inside it
// (field discovery, the record loop, the record line): the field-information
// queue, the record copy, the counts, the pending output text. ExportTable
// creates one per call and frees it on every path; nothing here outlives it.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "globals/globals.h"
#include "platform/queue/queue.h"
#include "platform/text/text.h"

namespace engine {

using globals::BYTE;
using globals::LONG;

// One output column of the run, in output order after discovery: the
// record-pointer column, the record fields (array elements one by one, GROUPs
// left out), then the MEMOs and BLOBs.
struct FieldInfoRecord {
  BYTE FIQ_BINARY = 0;        // a MEMO or BLOB declared BINARY
  LONG FIQ_DIM = 0;           // the element count the table reports; 0 for no array
  text::CString<256> FIQ_LABEL;
  text::CString<256> FIQ_NAME;  // the column name (prefix:label, -n for array elements)
  BYTE FIQ_OVER = 0;
  BYTE FIQ_PLACES = 0;
  LONG FIQ_SIZE = 0;          // bytes of one element in the record
  text::CString<20> FIQ_TYPE;  // upper-case type name
  LONG FIQ_FIELDS = 0;
  LONG FIQ_REFERENCE = 0;     // n record field, -n n-th MEMO/BLOB, 0 record pointer
  LONG FIQ_ORDERINFILE = 0;
  LONG FIQ_BLOBORMEMO = 0;    // -1 record pointer, 0 record field, 1 MEMO or BLOB
  LONG FIQ_POINTER = 0;
  LONG FIQ_ORIGSIZE = 0;      // a DECIMAL's digits as the table reports them
  LONG FIQ_NAMELEN = 0;

  auto fields() {
    return std::tie(FIQ_BINARY, FIQ_DIM, FIQ_LABEL, FIQ_NAME, FIQ_OVER, FIQ_PLACES, FIQ_SIZE,
                    FIQ_TYPE, FIQ_FIELDS, FIQ_REFERENCE, FIQ_ORDERINFILE, FIQ_BLOBORMEMO,
                    FIQ_POINTER, FIQ_ORIGSIZE, FIQ_NAMELEN);
  }
  auto fields() const {
    return std::tie(FIQ_BINARY, FIQ_DIM, FIQ_LABEL, FIQ_NAME, FIQ_OVER, FIQ_PLACES, FIQ_SIZE,
                    FIQ_TYPE, FIQ_FIELDS, FIQ_REFERENCE, FIQ_ORDERINFILE, FIQ_BLOBORMEMO,
                    FIQ_POINTER, FIQ_ORIGSIZE, FIQ_NAMELEN);
  }
};

// What the record line needs of one FieldInfoQueue entry, taken once per run at
// the first record it handles: the queue and the selected names do not change
// while the run reads, so every record would find the same answers again.
struct Column {
  enum class Kind { Pointer, Field, Memo, Group };
  Kind kind = Kind::Field;
  bool selected = true;
  bool text_type = false;   // STRING, CSTRING, PSTRING or BLOB: quoted in WHERE, NUL when empty
  bool marks_type = false;  // LONG, DATE or TIME: the value updates the field list's marks
  std::string name;         // clipped FIQ_NAME
  std::string type;         // clipped FIQ_TYPE
  LONG size = 0;
  LONG places = 0;
  LONG digits = 0;          // FIQ_ORIGSIZE
  LONG reference = 0;
  std::size_t list_position = 0;  // the field-list entry of that name; 0 none
  std::size_t offset = 0;         // a record field's first byte in the record
};

using CharSet = std::bitset<256>;

// The WHERE copy of the run with a NUL in place of each value, made at the
// first record (where_filter.cpp).
struct WhereCopyTemplate {
  bool prepared = false;
  bool usable = false;              // false: every record's copy is made column by column
  std::string text;
  std::vector<std::size_t> slots;   // the column (Columns index) of each NUL, in text order
  std::vector<std::size_t> slot_at; // where each NUL stands in the text
  std::vector<std::size_t> columns; // the output columns with a label, in queue order
  std::vector<CharSet> later_chars; // by Columns index: the bytes of the labels of the columns after it
  std::vector<bool> slotted;        // by Columns index: the column has a place in the text
};

struct RunState {
  queue::Queue<FieldInfoRecord> FieldInfoQueue;
  BYTE WherePresent = 0;
  LONG MemoCount = 0;
  LONG MemoBlobCount = 0;
  LONG RecordSize = 0;
  std::string RecordCopy;
  LONG ReadCount = 0;
  LONG FetchedCount = 0;
  LONG CurrentPointer = 0;
  std::string OutputText;
  LONG FlushCount = 0;
  BYTE RunResult = 0;
  BYTE RecordsPerTick = 10;
  BYTE OpenTries = 5;

  // ---- field discovery ----
  LONG OrderCounter = 0;
  bool Rebuilding = false;
  text::CString<256> LastFieldName;
  std::string SelectUpper;  // clipped, upper-cased GLO_SELECT and GLO_WHERE of this discovery
  std::string WhereUpper;

  // ---- the record loop and the output file ----
  bool StopReading = false;    // the output was refused: the loop ends
  bool OutputRefused = false;  // no write of this run may touch the output file
  std::string InputPath;       // the opened input table's full path
  std::string Caption;         // the progress caption, built in place

  // ---- the record line ----
  bool ColumnsReady = false;
  int SelectNamesAny = -1;      // whether SELECT named a column; -1 not yet looked at
  std::vector<Column> Columns;  // FieldInfoQueue in queue order
  // Copies of the field list's entries (by position - 1) kept in step with the
  // queue: the record line reads a column's marks here and goes to the queue
  // only to store changed marks and to leave its buffer as the last column's.
  std::vector<globals::FieldListRecord> ListEntries;
  std::size_t LastListColumn = 0;  // the Columns index of the last selected field with an entry, + 1; 0 none
  std::string Line;             // the record's line, built in place
  std::string Replacement;      // the text put into WhereWork for one label
  std::string WhereNext;        // WhereWork being rebuilt with one label replaced
  WhereCopyTemplate WhereTemplate;
  std::vector<std::string> WhereValues;  // by Columns index: the record's text for the column's label
  bool WhereReported = false;   // an invalid WHERE copy was reported in this run
  std::string BlobText;         // a MEMO or BLOB column's CSV text
  bool ReadFailed = false;      // a MEMO or BLOB of the record would not read; the error state tells why
};

}  // namespace engine
