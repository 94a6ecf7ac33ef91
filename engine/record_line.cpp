#include "engine/record_line.h"

#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/engine_state.h"
#include "engine/preview.h"
#include "engine/value_text.h"
#include "engine/where_filter.h"
#include "globals/globals.h"
#include "platform/files/errors.h"
#include "platform/text/text.h"
#include "platform/tps/definition.h"

namespace engine {

namespace {

using globals::FieldListQueue;
using globals::FieldListRecord;
using globals::SelectedNamesQueue;
using globals::SelectedNamesRecord;

bool one_of(std::string_view type, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (type == n) return true;
  return false;
}

// The columns of the run as the record line reads them, taken once. The
// field-list entry of a column is found by name here, once, and re-read by its
// position for every record: the run adds, removes and moves no entry.
void prepare_columns(RunState& run) {
  std::unordered_map<std::string, std::size_t> list_positions;
  run.ListEntries.assign(FieldListQueue.records(), globals::FieldListRecord{});
  for (std::size_t pos = FieldListQueue.records(); pos >= 1; --pos) {
    // Backwards, so that the first of several entries of one name wins.
    globals::FieldListRecord& entry = run.ListEntries[pos - 1];
    FieldListQueue.peek(pos, entry);
    list_positions[std::string(text::clip(entry.ALF_DAFIELD.view()))] = pos;
  }

  run.Columns.clear();
  const std::vector<tps::FieldDef>& stored = TESTANY.definition().fields;
  std::size_t running = 0;  // where the fields would lie if each followed the one before
  LONG element_of = 0;      // the field whose array elements are being counted
  std::size_t element = 0;
  for (std::size_t k = 1; k <= run.FieldInfoQueue.records(); ++k) {
    run.FieldInfoQueue.get(k);
    const FieldInfoRecord& fiq = run.FieldInfoQueue.buffer();
    Column c;
    c.name = text::clip(fiq.FIQ_NAME.view());
    c.type = text::clip(fiq.FIQ_TYPE.view());
    c.size = fiq.FIQ_SIZE;
    c.places = fiq.FIQ_PLACES;
    c.digits = fiq.FIQ_ORIGSIZE;
    c.reference = fiq.FIQ_REFERENCE;
    if (c.type == "GROUP") {
      c.kind = Column::Kind::Group;
      c.selected = false;
    } else {
      c.kind = fiq.FIQ_BLOBORMEMO < 0   ? Column::Kind::Pointer
               : fiq.FIQ_BLOBORMEMO > 0 ? Column::Kind::Memo
                                        : Column::Kind::Field;
      c.selected = CheckFieldSelected(run);
    }
    c.text_type = one_of(c.type, {"STRING", "CSTRING", "PSTRING", "BLOB"});
    c.marks_type = one_of(c.type, {"LONG", "DATE", "TIME"});
    if (c.kind == Column::Kind::Field) {
      const auto found = list_positions.find(c.name);
      if (found != list_positions.end()) c.list_position = found->second;
      // Each field is read where the table stores it. Adding up the sizes of
      // the fields before it would be the same for fields that follow one
      // another, but a field declared OVER another shares that one's bytes,
      // and a DIMmed GROUP repeats its members: counting those bytes again
      // would shift every later column onto its neighbours' bytes and write
      // them into the CSV as that column's values.
      element = c.reference == element_of ? element + 1 : 0;
      element_of = c.reference;
      const std::size_t size = c.size > 0 ? static_cast<std::size_t>(c.size) : 0;
      c.offset = c.reference >= 1 && static_cast<std::size_t>(c.reference) <= stored.size()
                     ? stored[static_cast<std::size_t>(c.reference) - 1].offset + element * size
                     : running;
      running += size;
    }
    if (c.kind == Column::Kind::Field && c.selected && c.list_position != 0) run.LastListColumn = k;
    run.Columns.push_back(std::move(c));
  }
  run.ColumnsReady = true;
}

void append_quoted(std::string& out, std::string_view value) {
  out += '"';
  out.append(value);
  out += "\",";
}

// Drops the comma after the last value and ends the line.
void end_line(std::string& line) {
  if (!line.empty()) line.pop_back();
  line.append("\r\n");
}

std::string type_text(const Column& c) {
  std::string t = c.type + " ";
  if (c.type == "DECIMAL") {
    t += text::int_text(c.digits) + "." + text::int_text(c.places) + "(" + text::int_text(c.size) + "b)";
  } else {
    t += text::int_text(c.size);
  }
  return t;
}

void header_lines(RunState& run) {
  for (const Column& c : run.Columns)
    if (c.selected) append_quoted(run.OutputText, c.name);
  end_line(run.OutputText);
  if (globals::TopCount != -2) return;
  globals::LONG column = 0;
  for (const Column& c : run.Columns) {
    if (!c.selected) continue;
    CurrentValueText = type_text(c);
    FieldListQueue.buffer().ALF_DAORDER = ++column;
    SetPreviewColumn();
    append_quoted(run.OutputText, text::clip(CurrentValueText));
  }
  end_line(run.OutputText);
  AddPreviewRow();
}

// The date and time marks follow what the value showed: DATE and TIME fields
// are marked for good; a LONG keeps its "could be" marks only while its
// values could be dates or times. Returns whether any mark changed.
bool update_marks(FieldListRecord& alf) {
  using Mark = text::FixedString<3>;
  const Mark date = alf.ALF_DATE, time = alf.ALF_TIME;
  const Mark possible_date = alf.ALF_POSSIBLEDATE, possible_time = alf.ALF_POSSIBLETIME;
  if (NotDateFlag < 0) {
    alf.ALF_DATE = "D";
    alf.ALF_POSSIBLEDATE.clear();
  } else if (NotDateFlag > 0) {
    alf.ALF_POSSIBLEDATE.clear();
  } else {
    alf.ALF_POSSIBLEDATE = alf.ALF_TIME == "T" ? "" : "d";
  }
  if (NotTimeFlag < 0) {
    alf.ALF_TIME = "T";
    alf.ALF_POSSIBLETIME.clear();
  } else if (NotTimeFlag > 0) {
    alf.ALF_POSSIBLETIME.clear();
  } else {
    alf.ALF_POSSIBLETIME = alf.ALF_DATE == "D" ? "" : "t";
  }
  return alf.ALF_DATE.view() != date.view() || alf.ALF_TIME.view() != time.view() ||
         alf.ALF_POSSIBLEDATE.view() != possible_date.view() || alf.ALF_POSSIBLETIME.view() != possible_time.view();
}

// Appends the CSV text of a record field to the line. The bytes of a slice
// that would reach past the record copy (a definition whose fields end beyond
// its record) are left out: the value text counts them as blanks. The marks are read from the run's copy of the field list; the queue
// itself is touched only where it shows: a GET and PUT when a mark changes (a
// PUT of unchanged marks would store the same entry), and a GET at the run's
// last column with an entry, which leaves the buffer and the error state as a
// GET of every column would.
void append_field_value(RunState& run, const Column& c, bool last_list_column) {
  const std::string_view record(run.RecordCopy);
  const std::size_t size = c.size > 0 ? static_cast<std::size_t>(c.size) : 0;
  const std::string_view raw = c.offset < record.size() ? record.substr(c.offset, size) : std::string_view{};
  if (c.list_position == 0) {
    AppendFieldValue(run.Line, "", "", c.type, raw, c.places, c.digits);
    return;
  }
  FieldListRecord& copy = run.ListEntries[c.list_position - 1];
  AppendFieldValue(run.Line, copy.ALF_TIME.view(), copy.ALF_DATE.view(), c.type, raw, c.places, c.digits);
  const bool changed = c.marks_type && update_marks(copy);
  if (!changed && !last_list_column) return;
  FieldListQueue.get(c.list_position);
  if (!changed) return;
  update_marks(FieldListQueue.buffer());
  FieldListQueue.put();
}

// The CSV text of a MEMO or BLOB column; false when its contents would not
// read (the error state holds the reader's reason). An emptied cell would
// pass for an empty BLOB, so a failed read is never a value.
bool blob_value(const Column& c, RunState& run, std::string& value) {
  if (run.MemoBlobCount == 0 || run.MemoCount != 0) {
    // With a MEMO in the table the loop reads without MEMO and BLOB contents.
    CurrentValueText = "unavailable";
    CurrentRawValue = CurrentValueText;
    value = CurrentValueText;
    return true;
  }
  const int n = -static_cast<int>(c.reference);
  const std::int64_t size = TESTANY.blob_size(n);
  if (files::error_code() != 0) return false;
  CurrentValueText = size > 0 ? TESTANY.blob_read(n, 0, size - 1) : std::string();
  if (files::error_code() != 0) return false;
  CurrentRawValue = CurrentValueText;
  value = EscapeCsvQuotes(CurrentValueText);  // already without leading and trailing blanks
  return true;
}

}  // namespace

bool CheckFieldSelected(RunState& run) {
  if (SelectedNamesQueue.records() == 0) return true;
  if (run.SelectNamesAny < 0) {
    // The names do not change during a run, so one scan answers every call.
    run.SelectNamesAny = 0;
    for (std::size_t i = 1; i <= SelectedNamesQueue.records() && run.SelectNamesAny == 0; ++i) {
      SelectedNamesQueue.get(i);
      if (SelectedNamesQueue.buffer().TFQ_FROMWHERE == 0) run.SelectNamesAny = 1;
    }
  }
  if (run.SelectNamesAny == 0) {
    // SELECT named no column (only keywords, or nothing that matched): all
    // columns are output, now and for the rest of the run.
    SelectedNamesQueue.free();
    return true;
  }
  const FieldInfoRecord& fiq = run.FieldInfoQueue.buffer();
  SelectedNamesRecord& tfq = SelectedNamesQueue.buffer();
  tfq.TFQ_NAME = text::upper(fiq.FIQ_NAME.view());
  tfq.TFQ_NAMELEN = fiq.FIQ_NAMELEN;
  return SelectedNamesQueue.get_by<&SelectedNamesRecord::TFQ_NAME, &SelectedNamesRecord::TFQ_NAMELEN>() == 0;
}

void ExportRecord(RunState& run) {
  const std::size_t size = static_cast<std::size_t>(run.RecordSize);
  std::memcpy(run.RecordCopy.data(), TESTANY_RECORD, size);
  bool blank = true;
  for (std::size_t i = 0; i < size && blank; ++i) blank = run.RecordCopy[i] == ' ';
  if (blank) return;  // a cleared record: no header, no line, no WHERE test

  if (!run.ColumnsReady) prepare_columns(run);
  run.Line.clear();
  const bool where = run.WherePresent && !text::blank(globals::GLO_WHERE.view());

  if (run.ReadCount == 1) header_lines(run);
  if (globals::TopCount < 0) return;

  globals::LONG column = 0;
  for (std::size_t k = 0; k < run.Columns.size(); ++k) {
    const Column& c = run.Columns[k];
    if (!c.selected) continue;  // a GROUP never is
    NotDateFlag = 0;
    NotTimeFlag = 0;
    run.Line += '"';
    const std::size_t value_at = run.Line.size();
    switch (c.kind) {
      case Column::Kind::Memo:
        if (!blob_value(c, run, run.BlobText)) {
          run.ReadFailed = true;  // the record loop reports it and ends the run
          return;
        }
        run.Line.append(run.BlobText);
        break;
      case Column::Kind::Pointer:
        CurrentValueText = text::int_text(run.CurrentPointer);
        CurrentRawValue = CurrentValueText;
        run.Line.append(CurrentValueText);
        break;
      default: append_field_value(run, c, k + 1 == run.LastListColumn); break;
    }
    // The values arrive clipped; an empty text value may stand as one NUL.
    if (globals::GLO_NULLEMPTYSTR && c.text_type && run.Line.size() == value_at) {
      run.Line += '\0';
      CurrentValueText.assign(1, '\0');
    }
    run.Line += '"';
    FieldListQueue.buffer().ALF_DAORDER = ++column;
    SetPreviewColumn();
    if (where) KeepWhereValue(run, k, c);
    run.Line += ',';
  }
  end_line(run.Line);

  if (where) {
    BuildWhereCopy(run);
    if (!PassesWhere(run)) return;
  }
  run.OutputText += run.Line;
  AddPreviewRow();
}

}  // namespace engine
