// Any bytes opened as a TopSpeed file and read through the field-less
// declaration the way the export does it, and then some: every property
// answer, every record forwards and backwards, every MEMO and BLOB, SET to
// pointers found in the data. Nothing crashes, hangs or reads outside its
// bytes, and damage ends in 36 or 90 with the reader's own text.
//
// The first input byte picks what the rest is: the whole file, or damage done
// to a valid file of two tables written by our own writer (bytes XORed in at
// chosen offsets, the file cut at a chosen length), so that a run that starts
// from no corpus at all still reaches deep into pages, rows and MEMO chunks.
// The test command also seeds it with the real sample tables, each behind
// the mode byte 0 that has it taken as the whole file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/files/errors.h"
#include "platform/tps/declaration.h"
#include "platform/tps/fixture.h"
#include "platform/tps/source.h"

namespace {

using tps::fixture::DUP;
using tps::fixture::NOCASE;
using tps::fixture::OPT;
using tps::fixture::PRIMARY;
using tps::fixture::Type;

// Two tables in one file: customers with a MEMO, a BLOB and keys, and their
// orders, rows of both interleaved so their record numbers are sparse.
std::string build_valid_file() {
  tps::fixture::File file;
  auto& cus = file.table("CUS", "CUSTOMER");
  cus.field("NUMBER", Type::Long)
      .field("NAME", Type::String, 20)
      .field("CITY", Type::CString, 16)
      .field("BALANCE", Type::Decimal, 9, 2)
      .field("BORN", Type::Date)
      .field("AT", Type::Time)
      .group("ACCOUNT").field("STATUS", Type::Byte).field("RATING", Type::Short).end()
      .field("SCORES", Type::Short).dim(3)
      .field("RATE", Type::Real)
      .memo("NOTES", 2000)
      .blob("PHOTO").binary()
      .key("BYNUMBER", "NUMBER", PRIMARY)
      .key("BYNAME", "NAME,-BORN", DUP | NOCASE)
      .key("BYCITY", "CITY", DUP | OPT | NOCASE);
  auto& ord = file.table("ORD", "ORDERS");
  ord.field("NUMBER", Type::ULong)
      .field("CUSTOMER", Type::Long)
      .field("CODE", Type::PString, 8)
      .field("AMOUNT", Type::Decimal, 7, 2)
      .memo("REMARK", 300)
      .key("BYCUSTOMER", "CUSTOMER,NUMBER", DUP);
  for (int i = 0; i < 240; ++i) {
    cus.row()
        .set("NUMBER", i + 1)
        .set("NAME", "Customer " + std::to_string(i * 7919 % 1000))
        .set("CITY", i % 5 ? "Paris" : "")
        .set("BALANCE", (i % 2 ? "-" : "") + std::to_string(i * 13) + ".25")
        .set_date("BORN", 1 + i % 28, 1 + i % 12, 1950 + i % 50)
        .set_time("AT", i % 24, i % 60, i % 60, i % 100)
        .set("STATUS", i % 3)
        .set("RATING", -i)
        .set("SCORES[2]", i)
        .set("RATE", 0.5 * i);
    if (i % 4 == 0) cus.set("NOTES", std::string(static_cast<std::size_t>(i * 9 % 700), 'a' + i % 26));
    if (i % 9 == 0) cus.set("PHOTO", std::string(static_cast<std::size_t>(i * 31 % 1500), static_cast<char>(i)));
    if (i % 3 == 0) {
      ord.row()
          .set("NUMBER", 1000 + i)
          .set("CUSTOMER", i + 1)
          .set("CODE", "X" + std::to_string(i))
          .set("AMOUNT", std::to_string(i) + ".50");
      if (i % 6 == 0) ord.set("REMARK", "deliver by " + std::to_string(i));
    }
  }
  const auto path = std::filesystem::temp_directory_path() /
                    ("qm_tps_fuzzer_" + std::to_string(::getpid()) + ".tps");
  file.write(path);
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::remove(path);
  if (bytes.empty()) std::abort();
  return bytes;
}

const std::string& valid_file() {
  static const std::string bytes = build_valid_file();
  return bytes;
}

// Reads the input from the front, as little-endian numbers; zeros once it is used up.
struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  bool empty() const { return at >= size; }
  std::uint32_t take(int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint32_t{at < size ? data[at++] : 0u} << (8 * i);
    return v;
  }
};

void check(bool ok) {
  if (!ok) std::abort();
}

// A read either delivers a record, finds none, or fails with 90 and says why.
void check_read(int code) {
  if (code == files::kFileSystemError) check(!files::file_error().empty());
  else check(code == 0 || code == files::kRecordNotAvailable);
}

const int kProperties[] = {tps::prop::kBlobs, tps::prop::kMemos, tps::prop::kFields,
                           tps::prop::kName,  tps::prop::kLabel, tps::prop::kBinary,
                           tps::prop::kPlaces, tps::prop::kDim,  tps::prop::kOver,
                           tps::prop::kType,  tps::prop::kSize};

void read_memos(tps::Declaration& table, Input& in) {
  const int memos = static_cast<int>(table.definition().memos.size());
  for (int m = 1; m <= memos; ++m) {
    const std::int64_t size = table.blob_size(m);
    check(size >= 0);
    check(static_cast<std::int64_t>(table.blob_read(m, 0, size - 1).size()) <= size);
    // A part of the value, at input-chosen places.
    const std::int64_t first = static_cast<std::int16_t>(in.take(2));
    const std::int64_t last = first + in.take(2);
    check(static_cast<std::int64_t>(table.blob_read(m, first, last).size()) <= size);
  }
}

void exercise(tps::Declaration& table, Input& in) {
  const auto& def = table.definition();
  const int fields = static_cast<int>(def.fields.size());
  const int memos = static_cast<int>(def.memos.size());
  for (int number : kProperties)
    for (int index = -memos - 1; index <= fields + 1; ++index) (void)table.property(number, index);
  (void)table.records();
  check(table.record_size() <= tps::Declaration::kRecordStorage);

  std::vector<std::int32_t> pointers;
  table.set();
  int code;
  // The walk ends by itself (each leaf once); the bound only keeps a fault visible.
  for (std::size_t n = 0; (code = table.next()) == 0; ++n) {
    check(n < 1000000);
    pointers.push_back(table.pointer());
    read_memos(table, in);
  }
  check_read(code);
  table.set();
  for (std::size_t n = 0; (code = table.previous()) == 0; ++n) check(n < 1000000);
  check_read(code);

  // SET(pointer) to pointers of the data, next to them, and past either end.
  std::vector<std::int32_t> targets = {0, -1, 1};
  if (!pointers.empty()) {
    const std::int32_t p = pointers[in.take(2) % pointers.size()];
    targets.insert(targets.end(), {p, p + 1, p - 1, pointers.back(), pointers.back() + 1});
  }
  for (const std::int32_t target : targets) {
    for (const int direction : {+1, -1}) {
      table.set(target);
      for (int steps = 0; steps < 3; ++steps) {
        code = direction > 0 ? table.next() : table.previous();
        check_read(code);
        if (code != 0) break;
        read_memos(table, in);
      }
    }
  }
  // NOMEMO leaves the next record's MEMOs unread.
  table.set();
  table.nomemo();
  if (table.next() == 0)
    for (int m = 1; m <= memos; ++m) check(table.blob_size(m) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  Input in{data + 1, size - 1};

  std::string bytes;
  if ((mode & 3) == 0) {
    bytes.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    in.at = in.size;
  } else {
    bytes = valid_file();
    // Mode 1: bytes XORed in; 2: the file cut short; 3: both.
    if (mode & 2) bytes.resize(in.take(3) % (bytes.size() + 1));
    const std::size_t patches = mode & 1 ? 1 + (mode >> 4) : 0;
    for (std::size_t p = 0; p < patches && !in.empty() && !bytes.empty(); ++p) {
      const std::uint32_t at = in.take(3) % bytes.size();
      bytes[at] = static_cast<char>(bytes[at] ^ static_cast<char>(in.take(1)));
    }
  }

  static std::vector<char> storage(tps::Declaration::kRecordStorage);
  tps::Declaration table(nullptr, nullptr, storage.data());
  const std::string table_name = mode & 4 ? "ORDERS" : mode & 8 ? "customer" : "";
  const int code = table.open_bytes(std::make_unique<tps::MemorySource>(bytes), table_name);
  if (code != 0) {
    // Damage gives 36 or 90 and says what; a record too long for the storage
    // 47; a table name that was damaged away 2.
    check(code == files::kInvalidDataFile || code == files::kFileSystemError ||
          code == files::kInvalidRecordDeclaration || code == files::kFileNotFound);
    check(files::error_code() == code);
    check(!files::file_error().empty());
    check(!table.is_open());
    return 0;
  }
  exercise(table, in);
  check(table.close() == 0);
  return 0;
}
