#include "engine/field_discovery.h"

#include <string>
#include <string_view>

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "platform/text/text.h"
#include "platform/tps/declaration.h"

namespace engine {

namespace {

using globals::FieldListQueue;
using globals::FieldListRecord;
using globals::SelectedNamesQueue;
using globals::SelectedNamesRecord;

std::string answer(int property, int index) { return TESTANY.property(property, index); }
// An answer the table does not give counts as 0.
LONG number(int property, int index) { return text::to_long(answer(property, index)); }
BYTE byte_number(int property, int index) { return static_cast<BYTE>(number(property, index)); }

// The text up to and including its first ":", within its first `limit`
// characters; empty when those hold no colon.
std::string_view prefix_within(std::string_view name, std::size_t limit) {
  name = name.substr(0, limit);
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon + 1);
}

// The text up to and including its first ":", then cut to `limit` characters;
// empty when it holds no colon.
std::string_view prefix_through_colon(std::string_view name, std::size_t limit) {
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon + 1).substr(0, limit);
}

// The list keeps its entries (and the user's marks in them) while the table's
// label prefix is the one of the list's first entry; a table without a prefix
// has nothing to recognise its list by.
bool must_rebuild() {
  if (FieldListQueue.records() == 0) return true;
  FieldListQueue.get(1);
  std::string_view list_prefix = prefix_through_colon(FieldListQueue.buffer().ALF_DAFIELD.view(), 19);
  const std::string name = answer(tps::prop::kName, 1);
  std::string_view table_prefix = prefix_within(name, 19);
  return list_prefix.empty() || list_prefix != table_prefix;
}

// A field-list entry from the FieldInfoQueue buffer, at its place by
// ALF_DACOUNT, unless an entry of the same name is there already.
void add_field_list_entry(const FieldInfoRecord& fiq, LONG count, bool blank_digits, bool type_marks) {
  FieldListQueue.clear();
  FieldListRecord& alf = FieldListQueue.buffer();
  alf.ALF_DACOUNT = count;
  alf.ALF_DAFIELD = text::clip(fiq.FIQ_NAME.view());
  alf.ALF_DATYPE = text::clip(fiq.FIQ_TYPE.view());
  std::string sort(alf.ALF_DAFIELD.view().substr(0, 99));
  if (blank_digits) {
    // Array elements and numbered labels sort by their stem in the field picker.
    for (std::size_t i = sort.size(); i > 0 && sort[i - 1] >= '0' && sort[i - 1] <= '9'; --i)
      sort[i - 1] = ' ';
  }
  alf.ALF_DASORT = sort;
  alf.ALF_DASIZE = fiq.FIQ_SIZE;
  if (type_marks) {
    if (fiq.FIQ_TYPE == "DATE") alf.ALF_DATE = "D";
    else if (fiq.FIQ_TYPE == "TIME") alf.ALF_TIME = "T";
  }
  alf.ALF_NAMELEN = fiq.FIQ_NAMELEN;
  if (FieldListQueue.get_by<&FieldListRecord::ALF_DAFIELD, &FieldListRecord::ALF_NAMELEN>() == 0) return;
  FieldListQueue.add_by<&FieldListRecord::ALF_DACOUNT>();
}

void add_selected_name(std::string_view upper_name, LONG length, BYTE from_where) {
  SelectedNamesRecord& tfq = SelectedNamesQueue.buffer();
  tfq.TFQ_NAME = upper_name;
  tfq.TFQ_NAMELEN = length;
  tfq.TFQ_FROMWHERE = from_where;
  if (SelectedNamesQueue.get_by<&SelectedNamesRecord::TFQ_NAME, &SelectedNamesRecord::TFQ_NAMELEN>() == 0)
    return;
  SelectedNamesQueue.add_by<&SelectedNamesRecord::TFQ_NAME>();
}

}  // namespace

void FixDecimalSize(RunState& run) {
  FieldInfoRecord& fiq = run.FieldInfoQueue.buffer();
  fiq.FIQ_ORIGSIZE = fiq.FIQ_SIZE;
  fiq.FIQ_SIZE = fiq.FIQ_SIZE / 2 + 1;
}

void AddFieldInfo(RunState& run) {
  run.FieldInfoQueue.add();
  if (run.SelectUpper.empty()) return;  // a blank SELECT selects by no name at all
  const FieldInfoRecord& fiq = run.FieldInfoQueue.buffer();
  const std::string name = text::upper(text::clip(fiq.FIQ_NAME.view()));

  // Only the first occurrence counts, and only what follows it is tested: a
  // name that ends in a column's name still selects that column.
  const std::size_t p = text::instring(name, run.SelectUpper);
  if (p > 0) {
    const std::string_view select = globals::GLO_SELECT.view();
    const std::size_t after = p + static_cast<std::size_t>(fiq.FIQ_NAMELEN);  // 1-based
    if (after > select.size() || select[after - 1] == ',' || select[after - 1] == ' ')
      add_selected_name(name, fiq.FIQ_NAMELEN, 0);
  }
  // A column the WHERE text uses must be read even when SELECT leaves it out;
  // any occurrence counts, inside a longer name too.
  if (!run.WhereUpper.empty() && text::instring(name, run.WhereUpper) > 0)
    add_selected_name(name, fiq.FIQ_NAMELEN, 1);
}

void LoadFieldInfo(RunState& run) {
  run.MemoCount = 0;
  run.MemoBlobCount = 0;
  run.FieldInfoQueue.free();

  run.Rebuilding = must_rebuild();
  if (run.Rebuilding) FieldListQueue.free();

  SelectedNamesQueue.free();
  run.OrderCounter = 0;
  run.LastFieldName.clear();
  // Upper-cased once here rather than once per column.
  const bool select_blank = text::blank(globals::GLO_SELECT.view());
  run.SelectUpper = select_blank ? std::string() : text::upper(text::clip(globals::GLO_SELECT.view()));
  run.WhereUpper = select_blank || text::blank(globals::GLO_WHERE.view())
                       ? std::string()
                       : text::upper(text::clip(globals::GLO_WHERE.view()));

  FieldInfoRecord& fiq = run.FieldInfoQueue.buffer();
  const LONG field_count = number(tps::prop::kFields, 0);

  // MEMOs and BLOBs.
  const LONG memo_blob_count = number(tps::prop::kMemos, 0) + number(tps::prop::kBlobs, 0);
  for (LONG i = 1; i <= memo_blob_count; ++i) {
    const int index = -static_cast<int>(i);
    fiq.FIQ_BINARY = byte_number(tps::prop::kBinary, index);
    fiq.FIQ_DIM = number(tps::prop::kDim, index);
    fiq.FIQ_LABEL = answer(tps::prop::kLabel, index);
    fiq.FIQ_NAME = answer(tps::prop::kName, index);
    fiq.FIQ_NAME = fiq.FIQ_LABEL.view();  // a MEMO or BLOB is known by the name it is stored under
    fiq.FIQ_OVER = byte_number(tps::prop::kOver, index);
    fiq.FIQ_PLACES = byte_number(tps::prop::kPlaces, index);
    fiq.FIQ_SIZE = number(tps::prop::kSize, index);
    fiq.FIQ_TYPE = answer(tps::prop::kType, index);
    fiq.FIQ_FIELDS = number(tps::prop::kFields, index);
    fiq.FIQ_TYPE = text::upper(fiq.FIQ_TYPE.view());
    if (fiq.FIQ_TYPE == "MEMO") ++run.MemoCount;
    ++run.MemoBlobCount;
    fiq.FIQ_REFERENCE = index;
    fiq.FIQ_ORDERINFILE = ++run.OrderCounter;
    fiq.FIQ_BLOBORMEMO = 1;
    fiq.FIQ_NAMELEN = static_cast<LONG>(text::clip(fiq.FIQ_NAME.view()).size());
    AddFieldInfo(run);
    if (run.Rebuilding) add_field_list_entry(fiq, field_count + i, false, false);
  }

  // Record fields, array elements one by one; a GROUP's members stand for it.
  for (LONG i = 1; i <= field_count; ++i) {
    const int index = static_cast<int>(i);
    LONG dim = number(tps::prop::kDim, index);
    if (dim == 0) dim = 1;
    if (text::upper(answer(tps::prop::kType, index)) == "GROUP") continue;
    for (LONG e = 1; e <= dim; ++e) {
      fiq.FIQ_BINARY = byte_number(tps::prop::kBinary, index);
      fiq.FIQ_DIM = number(tps::prop::kDim, index);
      fiq.FIQ_LABEL = answer(tps::prop::kLabel, index);
      fiq.FIQ_NAME = answer(tps::prop::kName, index);
      if (dim > 1) fiq.FIQ_NAME = std::string(text::clip(fiq.FIQ_NAME.view())) + "-" + text::int_text(e);
      fiq.FIQ_OVER = byte_number(tps::prop::kOver, index);
      fiq.FIQ_PLACES = byte_number(tps::prop::kPlaces, index);
      fiq.FIQ_SIZE = number(tps::prop::kSize, index);
      fiq.FIQ_TYPE = answer(tps::prop::kType, index);
      if (text::upper(fiq.FIQ_TYPE.view()) == "DECIMAL") FixDecimalSize(run);
      fiq.FIQ_FIELDS = number(tps::prop::kFields, index);
      fiq.FIQ_TYPE = text::upper(fiq.FIQ_TYPE.view());
      fiq.FIQ_REFERENCE = i;
      fiq.FIQ_ORDERINFILE = ++run.OrderCounter;
      fiq.FIQ_BLOBORMEMO = 0;
      run.LastFieldName = fiq.FIQ_NAME.view();
      fiq.FIQ_NAMELEN = static_cast<LONG>(text::clip(fiq.FIQ_NAME.view()).size());
      AddFieldInfo(run);
      if (run.Rebuilding) add_field_list_entry(fiq, i, true, true);
    }
  }

  // The record-pointer column, named with the prefix of the last record field.
  const std::string prefix(text::trim(prefix_through_colon(run.LastFieldName.view(), 32)));
  run.FieldInfoQueue.clear();
  fiq.FIQ_NAME = prefix + "PTR";
  fiq.FIQ_SIZE = 4;
  fiq.FIQ_TYPE = "LONG";
  fiq.FIQ_ORDERINFILE = 0;
  fiq.FIQ_BLOBORMEMO = -1;
  fiq.FIQ_NAMELEN = static_cast<LONG>(fiq.FIQ_NAME.size());
  AddFieldInfo(run);
  if (run.Rebuilding) add_field_list_entry(fiq, 0, false, false);

  run.FieldInfoQueue.sort_by<&FieldInfoRecord::FIQ_BLOBORMEMO, &FieldInfoRecord::FIQ_ORDERINFILE>();
}

}  // namespace engine
