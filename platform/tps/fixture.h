// Test fixtures in a few lines: describe a table's layout the way a Clarion
// declaration does (fields by type, DIM, GROUP, OVER, MEMO, BLOB, keys), fill
// rows by field name, and write the file with the real writer. Rows go
// straight to the writer as they are finished, so large tables cost no memory.
//
//   tps::fixture::File file;
//   auto& cus = file.table("CUS");  // a second table("ORD", "ORDERS") makes a superfile
//   cus.field("NUMBER", Type::Long).field("NAME", Type::String, 20)
//      .field("BALANCE", Type::Decimal, 9, 2).field("BORN", Type::Date)
//      .group("ACCOUNT").field("STATUS", Type::Byte).field("RATING", Type::Byte).end()
//      .field("SCORES", Type::Short).dim(3)
//      .memo("NOTES", 1000).blob("PHOTO").binary()
//      .key("BYNUMBER", "NUMBER", PRIMARY).key("BYNAME", "-NAME,NUMBER", DUP | NOCASE);
//   cus.row().set("NUMBER", 1).set("NAME", "Smith").set("BALANCE", "-12.50")
//      .set_date("BORN", 6, 2, 2002).set("SCORES[2]", 7).set("NOTES", "text");
//   file.write(path);
//
// Labels are given without the prefix (the definition stores "CUS:NUMBER");
// set() also accepts the prefixed name. Misuse throws std::invalid_argument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tps/definition.h"
#include "platform/tps/file_builder.h"
#include "platform/tps/format.h"

namespace tps::fixture {

enum class Type {
  Byte, Short, UShort, Long, ULong, SReal, Real, Decimal,
  String, CString, PString, Date, Time, Group,
};

inline constexpr std::uint8_t DUP = format::kKeyDup;
inline constexpr std::uint8_t OPT = format::kKeyOpt;
inline constexpr std::uint8_t NOCASE = format::kKeyNocase;
inline constexpr std::uint8_t PRIMARY = format::kKeyPrimary;

class File;

class Table {
 public:
  // ---- layout (before the first row) ----
  // A field at the next offset. `size` is the declared length of a STRING,
  // CSTRING or PSTRING and the digits of a DECIMAL; `places` a DECIMAL's places.
  Table& field(std::string label, Type type, std::uint16_t size = 0, std::uint8_t places = 0);
  // DIM of the last field (several dimensions are flattened, as the driver does).
  Table& dim(std::uint16_t d1, std::uint16_t d2 = 1, std::uint16_t d3 = 1);
  // The last field lies over an earlier one (OVER) instead of after the others.
  Table& over(std::string_view label);
  // The picture stored with the last STRING, CSTRING or PSTRING field.
  Table& picture(std::string picture);
  // GROUP: the fields up to end() are its members.
  Table& group(std::string label);
  Table& end();
  Table& memo(std::string label, std::uint16_t max_length);
  Table& blob(std::string label);
  // BINARY for the last MEMO or BLOB.
  Table& binary();
  // A key on comma-separated labels; "-LABEL" is a descending component.
  Table& key(std::string label, std::string_view components, std::uint8_t flags = 0);
  // Changes the stored driver version (1 unless set).
  Table& driver_version(std::uint16_t version);

  // The definition as it will be stored.
  const TableDef& definition() const { return def_; }
  const std::string& prefix() const { return prefix_; }

  // ---- rows ----
  // Starts a new row: texts blank or empty, numbers zero, no MEMO or BLOB.
  // The row begun before it, in any table of the file, goes to the writer
  // now, so record numbers follow the order in which rows were begun. Number 0
  // takes the next record number.
  Table& row(std::uint32_t number = 0);
  // A value for a field of the current row; "LABEL[n]" picks element n
  // (1-based) of an array. Numbers go into the numeric fields (DATE and TIME
  // take set_date and set_time); texts into text fields and GROUPs (blank
  // padded), into DECIMALs as decimal digits ("-12.50"), and into MEMOs and
  // BLOBs as their content.
  Table& set(std::string_view label, std::int64_t value);
  Table& set(std::string_view label, int value) { return set(label, std::int64_t{value}); }
  Table& set(std::string_view label, double value);
  Table& set(std::string_view label, std::string_view text);
  Table& set(std::string_view label, const char* text) { return set(label, std::string_view(text)); }
  Table& set_date(std::string_view label, int day, int month, int year);
  Table& set_time(std::string_view label, int hours, int minutes, int seconds = 0,
                  int hundredths = 0);
  // The field's bytes as given (cut or padded with 0x00 to the field's length).
  Table& set_raw(std::string_view label, std::string_view bytes);
  // The current row's bytes.
  const std::string& record() const { return record_; }

 private:
  friend class File;
  Table(File& file, std::string prefix, std::string name);

  // Where a value goes: the whole field, or one element of an array
  // ("LABEL[n]"); numbers always go into one element.
  struct Slot {
    std::size_t offset;
    std::size_t length;
    std::size_t element;
    const FieldDef* field;
  };
  void layout_only(const char* what) const;
  void finish_layout();
  void commit();
  FieldDef& last_field(const char* what);
  Slot find(std::string_view label) const;
  int find_memo(std::string_view label) const;
  std::string full_name(std::string_view label) const;

  File* file_;
  std::string prefix_;
  std::string name_;
  TableDef def_;
  std::size_t next_offset_ = 0;
  std::vector<std::size_t> open_groups_;  // field indexes
  std::size_t last_offset_before_ = 0;    // for OVER: where the last field began
  bool registered_ = false;
  std::size_t index_ = 0;  // in the builder
  bool row_open_ = false;
  std::uint32_t row_number_ = 0;
  std::string record_;
  std::vector<std::string> memos_;
};

class File {
 public:
  File();
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // A table with this prefix; `name` as a superfile names it ("" = UNNAMED).
  Table& table(std::string prefix, std::string name = {});
  // Writes the file; throws std::runtime_error when the writer refuses.
  void write(const std::filesystem::path& path);
  FileBuilder& builder() { return builder_; }

 private:
  friend class Table;
  void commit_pending();

  FileBuilder builder_;
  std::vector<std::unique_ptr<Table>> tables_;
  Table* pending_ = nullptr;  // the table whose row is being filled
};

// A DECIMAL element from decimal digits ("-12.5"), `digits` and `places` as
// declared: packed, sign in the first nibble. Throws on a text that is not a
// number or does not fit.
std::string decimal_bytes(std::string_view text, int digits, int places);

}  // namespace tps::fixture
