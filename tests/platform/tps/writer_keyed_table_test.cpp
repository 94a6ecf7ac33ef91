// The keyed table on the layout of the saved-query table: ADD, PUT, DELETE
// with every key in step (on disk too), GET by a NOCASE unique key, a DUP OPT
// key that holds only tagged rows, auto-numbering, BLOB writes and sizes, two
// tables over one file seeing each other's changes, and the error codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/files/errors.h"
#include "platform/tps/bytes.h"
#include "platform/tps/declaration.h"
#include "platform/tps/fixture.h"
#include "platform/tps/keyed_table.h"
#include "platform/tps/keys.h"
#include "writer_support.h"

namespace {

namespace fs = std::filesystem;
using tps::fixture::DUP;
using tps::fixture::NOCASE;
using tps::fixture::OPT;
using tps::fixture::PRIMARY;
using tps::fixture::Type;
using writer_test::read_records;
using writer_test::ScratchDir;

constexpr std::size_t kBySysId = 0, kByQueryName = 1, kByTag = 2;
constexpr int kSelect = 1, kWhere = 2, kFields = 3;
constexpr std::size_t kSysId = 0, kTag = 4, kName = 5, kRecords = 759;

tps::TableDef query_table() {
  tps::fixture::File file;
  auto& q = file.table("QMX");
  q.field("SYSID", Type::Long)
      .field("TAG", Type::Byte)
      .field("QUERYNAME", Type::CString, 100)
      .field("TPSPASSWORD", Type::CString, 100)
      .field("INPUTTPSLOCATION", Type::CString, 256)
      .field("OUTPUTCSVLOCATION", Type::CString, 256)
      .field("DATESTAMPINEXPORT", Type::Byte)
      .field("NULLEMPTYSTR", Type::Byte)
      .field("FIELDSBYNAME", Type::Byte)
      .field("DATEFORMAT", Type::CString, 14)
      .field("DATETIMESEPARATOR", Type::CString, 10)
      .field("TIMEFORMAT", Type::CString, 14)
      .field("NOPREVIEW", Type::Byte)
      .field("RECORDS", Type::Long)
      .blob("SELECT").binary()
      .blob("WHERE").binary()
      .blob("FIELDS").binary()
      .key("BYSYSID", "SYSID", PRIMARY | OPT | NOCASE)
      .key("BYQUERYNAME", "QUERYNAME", NOCASE)
      .key("BYTAG", "TAG", DUP | OPT | NOCASE);
  q.row();
  return q.definition();
}

void set_name(tps::KeyedTable& t, const std::string& name) {
  std::memset(t.buffer().data() + kName, 0, 100);
  std::memcpy(t.buffer().data() + kName, name.data(), name.size());
}
std::string name_of(const tps::KeyedTable& t) { return t.buffer().c_str() + kName; }
std::int32_t long_at(const tps::KeyedTable& t, std::size_t at) {
  return static_cast<std::int32_t>(tps::bytes::u32le(t.buffer().data() + at));
}

// Saves a query the way the store does: a new, auto-numbered row.
std::int64_t insert_query(tps::KeyedTable& t, const std::string& name, int tag,
                          const std::string& select = {}) {
  t.clear();
  set_name(t, name);
  t.buffer()[kTag] = static_cast<char>(tag);
  if (!select.empty()) t.blob_write(kSelect, 0, select);
  const std::int64_t id = t.auto_number(kBySysId);
  EXPECT_EQ(t.add(), 0) << files::error_text();
  return id;
}

std::string file_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct KeyedTableTest : ::testing::Test {
  ScratchDir dir;
  fs::path path = dir / "QMXSETUP.TPS";
  tps::KeyedTable table;

  void SetUp() override {
    ASSERT_EQ(table.create(path, query_table()), 0);
    ASSERT_EQ(table.open(path), 0);
  }
};

TEST_F(KeyedTableTest, AutoNumbersAndFetchesByNameWithoutRegardToCase) {
  EXPECT_EQ(insert_query(table, "Customers", 0), 1);
  EXPECT_EQ(insert_query(table, "orders", 1), 2);
  EXPECT_EQ(insert_query(table, "Lines", 0), 3);
  EXPECT_EQ(table.records(), 3);

  table.clear();
  set_name(table, "ORDERS");
  ASSERT_EQ(table.fetch(kByQueryName), 0);
  EXPECT_EQ(name_of(table), "orders");
  EXPECT_EQ(long_at(table, kSysId), 2);

  table.clear();
  table.buffer()[kSysId] = 3;
  ASSERT_EQ(table.fetch(kBySysId), 0);
  EXPECT_EQ(name_of(table), "Lines");

  table.clear();
  set_name(table, "Nothing");
  table.buffer()[kTag] = 7;
  EXPECT_EQ(table.fetch(kByQueryName), files::kRecordNotFound);
  EXPECT_EQ(files::error_code(), files::kRecordNotFound);
  EXPECT_EQ(table.buffer()[kTag], 7) << "a failed GET leaves the buffer";
}

TEST_F(KeyedTableTest, UniqueKeysRefuseARepeatedValueWhateverItsCase) {
  insert_query(table, "Customers", 0);
  insert_query(table, "Orders", 0);
  table.clear();
  set_name(table, "CUSTOMERS");
  EXPECT_TRUE(table.duplicate(kByQueryName));
  EXPECT_FALSE(table.duplicate(kByTag));
  EXPECT_EQ(table.add(), files::kCreatesDuplicateKey);
  EXPECT_EQ(files::error_code(), files::kCreatesDuplicateKey);
  EXPECT_EQ(table.records(), 2);

  // PUT may keep its own value but not take another row's.
  set_name(table, "Orders");
  ASSERT_EQ(table.fetch(kByQueryName), 0);
  set_name(table, "ORDERS");
  EXPECT_EQ(table.put(), 0) << "its own name in another case";
  set_name(table, "customers");
  EXPECT_EQ(table.put(), files::kCreatesDuplicateKey);
  table.clear();
  set_name(table, "orders");
  ASSERT_EQ(table.fetch(kByQueryName), 0);
  EXPECT_EQ(name_of(table), "ORDERS") << "the refused PUT changed nothing";
}

TEST_F(KeyedTableTest, OptKeyHoldsOnlyTaggedRowsInKeyOrder) {
  insert_query(table, "a", 0);
  insert_query(table, "b", 1);
  insert_query(table, "c", 0);
  insert_query(table, "d", 1);
  table.clear();
  table.buffer()[kTag] = 1;
  ASSERT_EQ(table.fetch(kByTag), 0);
  EXPECT_EQ(name_of(table), "b") << "the first row with tag 1 in key order";

  std::vector<std::string> tagged;
  table.set_key(kByTag);
  while (table.next() == 0) tagged.push_back(name_of(table));
  EXPECT_EQ(tagged, (std::vector<std::string>{"b", "d"}));
  EXPECT_EQ(files::error_code(), files::kRecordNotAvailable);

  table.clear();
  EXPECT_EQ(table.fetch(kByTag), files::kRecordNotFound) << "tag 0 is not in the key";

  std::vector<std::string> backwards;
  table.set_key(kByQueryName);
  while (table.previous() == 0) backwards.push_back(name_of(table));
  EXPECT_EQ(backwards, (std::vector<std::string>{"d", "c", "b", "a"}));
}

// The store's tag pass: physical order, every other row's tag cleared by PUT.
TEST_F(KeyedTableTest, TagPassRewritesRowsWhileWalkingPhysicalOrder) {
  insert_query(table, "a", 1);
  insert_query(table, "b", 1);
  const std::int64_t saved = insert_query(table, "c", 1);
  table.set();
  int seen = 0;
  while (table.next() == 0) {
    ++seen;
    if (long_at(table, kSysId) != saved) {
      table.buffer()[kTag] = 0;
      EXPECT_EQ(table.put(), 0);
    }
  }
  EXPECT_EQ(seen, 3);
  std::vector<std::string> tagged;
  table.set_key(kByTag);
  while (table.next() == 0) tagged.push_back(name_of(table));
  EXPECT_EQ(tagged, std::vector<std::string>{"c"});
}

TEST_F(KeyedTableTest, BlobsGrowShrinkAndComeBackAfterReopening) {
  insert_query(table, "q", 1, "SELECT ALL   ");
  table.clear();
  set_name(table, "q");
  ASSERT_EQ(table.fetch(kByQueryName), 0);
  EXPECT_EQ(table.blob_size(kSelect), 13);
  EXPECT_EQ(table.blob_read(kSelect, 0, 12), "SELECT ALL   ") << "trailing blanks kept";
  table.blob_set_size(kSelect, 0);
  table.blob_write(kWhere, 0, "A=1");
  table.blob_write(kWhere, 3, " AND B=2");
  const std::string fields = std::string(5000, 'f') + "*";
  table.blob_write(kFields, 0, fields);
  ASSERT_EQ(table.put(), 0);
  ASSERT_EQ(table.close(), 0);

  tps::KeyedTable again;
  ASSERT_EQ(again.open(path), 0);
  again.clear();
  set_name(again, "Q");
  ASSERT_EQ(again.fetch(kByQueryName), 0);
  EXPECT_EQ(again.blob_size(kSelect), 0);
  EXPECT_EQ(again.blob_read(kWhere, 0, 99), "A=1 AND B=2");
  EXPECT_EQ(again.blob_read(kFields, 0, again.blob_size(kFields) - 1), fields);
  EXPECT_EQ(again.blob_read(kFields, 4999, 7000), "f*") << "a range is cut to what is there";
}

// A fresh open reads every row's values in one walk: each value must land
// on its own row and BLOB, whether empty, one chunk or several, with the
// neighbours' values around it.
TEST_F(KeyedTableTest, EveryRowsBlobsComeBackToItsOwnRowAfterAFreshOpen) {
  auto value = [](int row, int blob) {
    const int size = (row * 7 + blob * 3) % 5 == 0 ? 0 : (row * 977 + blob * 131) % 12000;
    std::string v(static_cast<std::size_t>(size), static_cast<char>('a' + (row + blob) % 26));
    if (size > 0) v.append(std::to_string(row));
    return v;
  };
  constexpr int kRows = 60;
  ASSERT_EQ(table.defer_writes(true), 0);
  for (int r = 0; r < kRows; ++r) {
    table.clear();
    std::string name = std::to_string(1000 - r);
    name.insert(name.begin(), 'n');
    set_name(table, name);
    for (int b = kSelect; b <= kFields; ++b) table.blob_write(b, 0, value(r, b));
    table.auto_number(kBySysId);
    ASSERT_EQ(table.add(), 0);
  }
  ASSERT_EQ(table.close(), 0);

  tps::KeyedTable again;
  ASSERT_EQ(again.open(path), 0);
  EXPECT_EQ(again.records(), kRows);
  again.set_key(kByQueryName);
  int seen = 0;
  std::string last;
  while (again.next() == 0) {
    const std::string name = name_of(again);
    EXPECT_LT(last, name) << "name order";
    last = name;
    const int r = 1000 - std::stoi(name.substr(1));
    EXPECT_EQ(long_at(again, kSysId), r + 1);
    for (int b = kSelect; b <= kFields; ++b) {
      EXPECT_EQ(again.blob_read(b, 0, again.blob_size(b) - 1), value(r, b)) << "row " << r << " blob " << b;
    }
    ++seen;
  }
  EXPECT_EQ(seen, kRows);
}

TEST_F(KeyedTableTest, FileOnDiskHoldsEveryKeyInStepAndReadsThroughTheReader) {
  insert_query(table, "one", 0);
  insert_query(table, "Two", 1);
  insert_query(table, "three", 0);
  table.clear();
  set_name(table, "one");
  ASSERT_EQ(table.fetch(kByQueryName), 0);
  ASSERT_EQ(table.erase(), 0);
  table.clear();
  set_name(table, "Three");
  ASSERT_EQ(table.fetch(kByQueryName), 0);
  table.buffer()[kTag] = 1;
  table.buffer()[kRecords] = 42;
  ASSERT_EQ(table.put(), 0);

  // Key entries on disk: exactly those of the live rows.
  const tps::TableDef def = query_table();
  std::vector<writer_test::Record> rows, keys;
  for (const auto& r : read_records(path)) {
    if (r.first.size() < 5 || static_cast<unsigned char>(r.first[0]) >= 0xFE) continue;
    const auto kind = static_cast<unsigned char>(r.first[4]);
    if (kind == 0xF3) rows.push_back(r);
    if (kind < 0xF3) keys.push_back(r);
  }
  ASSERT_EQ(rows.size(), 2u);
  std::vector<writer_test::Record> rebuilt;
  for (const auto& [h, d] : rows) {
    for (std::size_t k = 0; k < def.keys.size(); ++k) {
      writer_test::Record e;
      if (tps::key_entry(def, k, 1, d, tps::bytes::u32be(h.data() + 5), e.first, e.second)) {
        rebuilt.push_back(e);
      }
    }
  }
  std::sort(rebuilt.begin(), rebuilt.end());
  EXPECT_EQ(keys, rebuilt);
  EXPECT_EQ(keys.size(), 2u + 2u + 2u) << "both rows in every key: both are tagged now";

  // The reader sees the same rows, record numbers and BLOBs.
  std::vector<char> storage(tps::Declaration::kRecordStorage);
  tps::Declaration in([&] { return path.string(); }, [] { return std::string(); }, storage.data());
  ASSERT_EQ(in.open(0x40), 0) << files::file_error();
  EXPECT_EQ(in.records(), 2);
  in.set();
  ASSERT_EQ(in.next(), 0);
  EXPECT_EQ(in.pointer(), 3) << "the deleted row's number is not issued again";
  ASSERT_EQ(in.next(), 0);
  EXPECT_EQ(in.pointer(), 4);
  EXPECT_EQ(std::string(storage.data() + kName), "three") << "the name as stored";
  EXPECT_EQ(storage[kRecords], 42);
}

TEST_F(KeyedTableTest, TwoTablesOverOneFileSeeEachOthersChanges) {
  tps::KeyedTable alias;
  ASSERT_EQ(alias.open(path), 0);
  insert_query(table, "shared", 0);
  alias.clear();
  set_name(alias, "SHARED");
  ASSERT_EQ(alias.fetch(kByQueryName), 0) << "written through one, read through the other";
  ASSERT_EQ(alias.erase(), 0);
  table.clear();
  set_name(table, "shared");
  EXPECT_EQ(table.fetch(kByQueryName), files::kRecordNotFound);
  EXPECT_EQ(table.records(), 0);
  EXPECT_EQ(insert_query(table, "next", 0), 1) << "numbering starts again on an empty key";
}

TEST_F(KeyedTableTest, AFailedWriteKeepsTheTableAsItWas) {
  // A MEMO longer than declared cannot be stored: the row is refused whole.
  tps::TableDef def = query_table();
  def.memos[0].flags = 0;  // a MEMO
  def.memos[0].max_length = 10;
  ASSERT_EQ(table.close(), 0);
  ASSERT_EQ(table.create(path, def), 0);
  ASSERT_EQ(table.open(path), 0);
  insert_query(table, "fits", 0, "short");
  table.clear();
  set_name(table, "too long");
  table.blob_write(kSelect, 0, "much longer than ten");
  EXPECT_EQ(table.add(), files::kFileSystemError);
  EXPECT_FALSE(files::file_error().empty());
  EXPECT_EQ(table.records(), 1);
  tps::KeyedTable again;
  ASSERT_EQ(again.open(path), 0);
  EXPECT_EQ(again.records(), 1);
}

TEST_F(KeyedTableTest, DeferredChangesAreWrittenOnceAndAFailedWriteLosesNoneOfTheOldFile) {
  insert_query(table, "kept", 1);
  const std::string before = file_bytes(path);
  ASSERT_EQ(table.defer_writes(true), 0);
  for (const char* n : {"a", "b", "c"}) insert_query(table, n, 0);
  table.clear();
  set_name(table, "kept");
  ASSERT_EQ(table.fetch(kByQueryName), 0);
  table.buffer()[kTag] = 0;
  ASSERT_EQ(table.put(), 0);
  EXPECT_TRUE(table.pending());
  EXPECT_EQ(file_bytes(path), before) << "nothing written while deferred";
  ASSERT_EQ(table.flush(), 0);
  tps::KeyedTable reader;
  ASSERT_EQ(reader.open(path), 0);
  EXPECT_EQ(reader.records(), 4);
  reader.close();

  // A batch whose write fails leaves the file as the last write left it.
  tps::TableDef def = query_table();
  def.memos[0].flags = 0;  // a MEMO of at most 10 bytes cannot hold the long text
  def.memos[0].max_length = 10;
  ASSERT_EQ(table.close(), 0);
  ASSERT_EQ(table.create(path, def), 0);
  ASSERT_EQ(table.open(path), 0);
  insert_query(table, "fits", 0, "short");
  const std::string written = file_bytes(path);
  table.defer_writes(true);
  insert_query(table, "too long", 0, "much longer than ten");
  EXPECT_EQ(table.close(), files::kFileSystemError);
  EXPECT_EQ(file_bytes(path), written);
}

TEST_F(KeyedTableTest, PagesInKeyOrderFromAValueAndFromAKeptPosition) {
  for (const char* n : {"delta", "Alpha", "charlie", "bravo", "echo"}) insert_query(table, n, 0);
  auto names = [&](int steps, bool forward) {
    std::string out;
    for (int i = 0; i < steps && (forward ? table.next() : table.previous()) == 0; ++i) out += name_of(table) + " ";
    return out;
  };
  table.clear();
  set_name(table, "C");  // NOCASE: "charlie" is at or after it
  table.set_key_from(kByQueryName);
  EXPECT_EQ(names(2, true), "charlie delta ");
  const std::string page_end = table.position();
  EXPECT_EQ(names(9, true), "echo ");
  table.reset(page_end);
  EXPECT_EQ(names(1, true), "delta ") << "RESET: NEXT reads the row at the position again";
  table.reset(page_end);
  EXPECT_EQ(names(9, false), "delta charlie bravo Alpha ");
  set_name(table, "charlie");
  table.set_key_from(kByQueryName);
  EXPECT_EQ(names(9, false), "charlie bravo Alpha ") << "PREVIOUS from a value includes the value";

  // A position whose row has gone: reading goes on from where it stood.
  set_name(table, "delta");
  ASSERT_EQ(table.fetch(kByQueryName), 0);
  const std::string gone = table.position();
  ASSERT_EQ(table.erase(), 0);
  table.reset(gone);
  EXPECT_EQ(names(1, true), "echo ");
  table.reset("");  // no position: the start of the order
  EXPECT_EQ(names(1, true), "Alpha ");
}

TEST_F(KeyedTableTest, ReopenedTableSeesChangesMadeWhileItWasClosed) {
  insert_query(table, "first", 0);
  ASSERT_EQ(table.close(), 0);
  {
    tps::KeyedTable other;
    ASSERT_EQ(other.open(path), 0);
    insert_query(other, "second", 0);
  }
  ASSERT_EQ(table.open(path), 0);
  EXPECT_EQ(table.records(), 2);
  ASSERT_EQ(table.close(), 0);
  // Replaced by another program: a new file under the same name.
  tps::KeyedTable writer;
  ASSERT_EQ(writer.create(path, query_table()), 0);
  ASSERT_EQ(table.open(path), 0);
  EXPECT_EQ(table.records(), 0);
}

TEST_F(KeyedTableTest, DeclaredLayoutIsTheBufferBeforeOpenAndRefusesAnotherTable) {
  tps::KeyedTable declared;
  declared.declare(query_table());
  EXPECT_EQ(declared.buffer().size(), 763u);
  set_name(declared, "before open");
  ASSERT_EQ(declared.open(path), 0);
  EXPECT_EQ(name_of(declared), "before open") << "OPEN leaves the record buffer alone";
  declared.close();

  tps::fixture::File other;
  other.table("OTH").field("X", Type::Long).row().set("X", 1);
  other.write(dir / "OTHER.TPS");
  EXPECT_EQ(declared.open(dir / "OTHER.TPS"), files::kInvalidRecordDeclaration);
  fs::create_directory(dir / "DIR.TPS");
  EXPECT_EQ(declared.open(dir / "DIR.TPS"), files::kAccessDenied);
}

TEST(KeyedTableErrors, OperationsReportTheRuntimesCodes) {
  ScratchDir dir;
  tps::KeyedTable t;
  EXPECT_EQ(t.open(dir / "MISSING.TPS"), files::kFileNotFound);
  EXPECT_EQ(t.next(), files::kFileNotOpen);
  EXPECT_EQ(t.add(), files::kFileNotOpen);
  {
    std::ofstream junk(dir / "JUNK.TPS", std::ios::binary);
    junk << std::string(1024, 'x');
  }
  EXPECT_NE(t.open(dir / "JUNK.TPS"), 0);
  ASSERT_EQ(t.create(dir / "Q.TPS", query_table()), 0);
  ASSERT_EQ(t.open(dir / "Q.TPS"), 0);
  EXPECT_EQ(t.open(dir / "Q.TPS"), files::kFileAlreadyOpen);
  EXPECT_EQ(t.put(), files::kRecordNotAvailable) << "no row read yet";
  EXPECT_EQ(t.erase(), files::kRecordNotAvailable);
  t.set();
  EXPECT_EQ(t.next(), files::kRecordNotAvailable);
  EXPECT_EQ(t.close(), 0);
  EXPECT_EQ(t.close(), files::kFileNotOpen);
}

}  // namespace
