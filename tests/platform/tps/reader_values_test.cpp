// Exact definitions, property answers and values of chosen sample tables:
// the tutorial customers against the tutorial's own import file, MEMOs, BLOBs,
// a file with several tables, an empty table, DECIMALs, DATE and TIME.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "reader_support.h"

namespace {

using reader_test::sample;
using reader_test::Table;
namespace prop = tps::prop;

std::vector<std::vector<std::string>> read_csv_rows(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(in, line);  // the header line
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> cells;
    std::stringstream s(line);
    std::string cell;
    while (std::getline(s, cell, ',')) cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

TEST(ReaderValues, TutorialCustomersMatchTheImportFile) {
  QM_NEEDS_SAMPLES();
  Table t(sample("vendor-examples/Tutor/CUSTOMER.TPS"));
  ASSERT_EQ(t.file.open(0), 0);
  const tps::TableDef& def = t.file.definition();
  EXPECT_EQ(def.record_length, 110);
  struct Expected { const char* name; std::uint8_t type; std::uint16_t offset, length; };
  const Expected fields[] = {
      {"CUS:CUSTNUMBER", 0x06, 0, 4},  {"CUS:COMPANY", 0x12, 4, 20}, {"CUS:FIRSTNAME", 0x12, 24, 20},
      {"CUS:LASTNAME", 0x12, 44, 20},  {"CUS:ADDRESS", 0x12, 64, 20}, {"CUS:CITY", 0x12, 84, 20},
      {"CUS:STATE", 0x12, 104, 2},     {"CUS:ZIPCODE", 0x06, 106, 4}};
  ASSERT_EQ(def.fields.size(), std::size(fields));
  for (std::size_t i = 0; i < def.fields.size(); ++i) {
    EXPECT_EQ(def.fields[i].name, fields[i].name);
    EXPECT_EQ(def.fields[i].type, fields[i].type);
    EXPECT_EQ(def.fields[i].offset, fields[i].offset);
    EXPECT_EQ(def.fields[i].length, fields[i].length);
    EXPECT_EQ(def.fields[i].number, i);
  }
  ASSERT_EQ(def.keys.size(), 3u);
  EXPECT_EQ(def.keys[0].name, "CUS:KEYCUSTNUMBER");
  EXPECT_EQ(def.keys[0].flags, tps::format::kKeyOpt | tps::format::kKeyNocase);
  EXPECT_EQ(def.keys[2].components, (std::vector<tps::KeyComponent>{{7, 0}}));
  EXPECT_EQ(t.file.records(), 7);

  // The tutorial changed customer 2's address and removed customer 8 after
  // the import; everything else is as imported.
  auto csv = read_csv_rows(sample("vendor-examples/Tutor/IMPORT1.CSV"));
  ASSERT_EQ(csv.size(), 8u);
  csv[1][4] = "123 E Main";
  csv.pop_back();
  t.file.set();
  for (const auto& row : csv) {
    ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(std::to_string(t.long_at(0)), row[0]);
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(t.text(4 + 20 * (c - 1), 20), row[c]);
    EXPECT_EQ(t.text(104, 2), row[6]);
    EXPECT_EQ(std::to_string(t.long_at(106)), row[7]);
  }
  EXPECT_EQ(t.file.next(), files::kRecordNotAvailable);
  EXPECT_EQ(files::error_code(), files::kRecordNotAvailable);
}

TEST(ReaderValues, PropertyAnswersOfRecordFields) {
  QM_NEEDS_SAMPLES();
  Table t(sample("vendor-examples/Invoice/DETAIL.TPS"));
  ASSERT_EQ(t.file.open(0), 0);
  struct Case { int number, index; const char* answer; };
  const Case cases[] = {
      {prop::kFields, 0, "13"},        {prop::kMemos, 0, "0"},          {prop::kBlobs, 0, "0"},
      {prop::kName, 1, "DTL:CUSTNUMBER"}, {prop::kLabel, 1, "CUSTNUMBER"}, {prop::kType, 1, "LONG"},
      {prop::kSize, 1, "4"},           {prop::kFields, 1, "1"},         {prop::kDim, 1, "0"},
      {prop::kOver, 1, "0"},           {prop::kPlaces, 1, "0"},         {prop::kType, 3, "SHORT"},
      {prop::kSize, 3, "2"},           {prop::kType, 6, "BYTE"},        {prop::kType, 5, "DECIMAL"},
      // A DECIMAL answers its size in digits: twice its bytes less one.
      {prop::kSize, 5, "7"},           {prop::kPlaces, 5, "2"},         {prop::kPlaces, 8, "4"},
      {prop::kSize, 13, "11"},         {prop::kPlaces, 13, "2"},
      // No such field, no such MEMO, no such property: no answer.
      {prop::kType, 14, ""},           {prop::kType, -1, ""},           {0x7399, 1, ""},
      {prop::kLabel, 0, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(t.file.property(c.number, c.index), c.answer)
        << std::hex << c.number << " index " << std::dec << c.index;
  EXPECT_EQ(t.file.record_size(), 49u);
}

TEST(ReaderValues, GroupAndItsMembers) {
  QM_NEEDS_SAMPLES();
  Table t(sample("vendor-examples/BizRules/RulesDemo.TPS\\!CUSTOMER"));
  ASSERT_EQ(t.file.open(0), 0);
  EXPECT_EQ(t.file.property(prop::kFields, 0), "17");
  EXPECT_EQ(t.file.property(prop::kType, 15), "GROUP");
  EXPECT_EQ(t.file.property(prop::kName, 15), "CUS:Account");
  EXPECT_EQ(t.file.property(prop::kFields, 15), "2");
  EXPECT_EQ(t.file.property(prop::kSize, 15), "2");
  for (int member : {16, 17}) {
    EXPECT_EQ(t.file.property(prop::kType, member), "BYTE");
    EXPECT_EQ(t.file.property(prop::kOver, member), "0");
  }
}

TEST(ReaderValues, MemoTextsWholeAndInParts) {
  QM_NEEDS_SAMPLES();
  Table t(sample("vendor-examples/DFD/Memos/Department.tps"));
  ASSERT_EQ(t.file.open(0), 0);
  EXPECT_EQ(t.file.property(prop::kMemos, 0), "1");
  EXPECT_EQ(t.file.property(prop::kBlobs, 0), "0");
  EXPECT_EQ(t.file.property(prop::kType, -1), "MEMO");
  EXPECT_EQ(t.file.property(prop::kLabel, -1), "DEP:COMMENTS");
  EXPECT_EQ(t.file.property(prop::kSize, -1), "1000");
  EXPECT_EQ(t.file.property(prop::kBinary, -1), "0");
  EXPECT_EQ(t.file.property(prop::kType, -2), "");
  const std::pair<std::int32_t, std::string> rows[] = {
      {26, "First department"},
      {27, "Greatest sales crew evah. \r\n they representn"},
      {28, "great guys to work with"},
      {29, "Job ONE!"},
      {31, "Do the right things at the right time."}};
  t.file.set();
  for (const auto& [pointer, memo] : rows) {
    ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.file.pointer(), pointer);
    EXPECT_EQ(t.file.blob_size(1), static_cast<std::int64_t>(memo.size()));
    EXPECT_EQ(t.file.blob_read(1, 0, 1000), memo);
    EXPECT_EQ(t.file.blob_read(1, 2, 4), memo.substr(2, 3));
    EXPECT_EQ(t.file.blob_read(1, 5, 4), "");
    EXPECT_EQ(t.file.blob_size(2), 0);
  }
  // NOMEMO leaves the next read's MEMOs unread, and only the next read's.
  t.file.set(27);
  t.file.nomemo();
  ASSERT_EQ(t.file.next(), 0);
  EXPECT_EQ(t.file.blob_size(1), 0);
  EXPECT_EQ(t.file.blob_read(1, 0, 100), "");
  ASSERT_EQ(t.file.next(), 0);
  EXPECT_EQ(t.file.blob_read(1, 0, 100), "great guys to work with");
}

TEST(ReaderValues, BlobsAcrossManyChunks) {
  QM_NEEDS_SAMPLES();
  Table t(sample("vendor-examples/HowToABC/Features/Pub_info.tps"));
  ASSERT_EQ(t.file.open(0), 0);
  EXPECT_EQ(t.file.property(prop::kBlobs, 0), "1");
  EXPECT_EQ(t.file.property(prop::kMemos, 0), "0");
  EXPECT_EQ(t.file.property(prop::kType, -1), "BLOB");
  EXPECT_EQ(t.file.property(prop::kBinary, -1), "1");
  EXPECT_EQ(t.file.property(prop::kSize, -1), "");
  EXPECT_EQ(t.file.property(prop::kLabel, -1), "PBI:LOGO");
  std::vector<std::int32_t> with_logo, without;
  t.file.set();
  while (t.file.next() == 0) {
    const std::int64_t size = t.file.blob_size(1);
    if (size == 0) {
      without.push_back(t.file.pointer());
      EXPECT_EQ(t.file.blob_read(1, 0, 100), "");
      continue;
    }
    with_logo.push_back(t.file.pointer());
    ASSERT_EQ(size, 65535);
    const std::string whole = t.file.blob_read(1, 0, size - 1);
    ASSERT_EQ(whole.size(), 65535u);
    EXPECT_EQ(whole.substr(0, 6), "GIF89a");
    // Slices across chunk boundaries (a 260-byte first chunk, then 256s).
    for (auto [first, last] : {std::pair<std::int64_t, std::int64_t>{250, 270}, {255, 256},
                               {1000, 5000}, {65530, 70000}})
      EXPECT_EQ(t.file.blob_read(1, first, last),
                whole.substr(static_cast<std::size_t>(first),
                             static_cast<std::size_t>(std::min<std::int64_t>(last, size - 1) - first + 1)));
  }
  EXPECT_EQ(with_logo, (std::vector<std::int32_t>{2, 3, 4, 5, 6, 7, 8, 9, 12, 15, 16}));
  EXPECT_EQ(without, (std::vector<std::int32_t>{10, 11, 13, 14}));
}

TEST(ReaderValues, TablesOfOneFileByName) {
  QM_NEEDS_SAMPLES();
  const std::string file = sample("vendor-examples/BizRules/RulesDemo.TPS");
  struct Case { const char* suffix; int records; std::vector<std::int32_t> pointers; };
  const Case cases[] = {
      {"", 0, {}},  // no name: the table with the lowest number (RULES, 1)
      {"\\!CUSTOMER", 3, {24, 25, 120}},
      {"\\!lines", 5, {88, 97, 100, 101, 102}},
      {"\\!Orders", 2, {34, 75}},
      {"\\!PRODUCTS", 4, {7, 8, 125, 126}},
      {"\\!RULES", 0, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.suffix);
    Table t(file + c.suffix);
    ASSERT_EQ(t.file.open(0), 0) << files::file_error();
    EXPECT_EQ(t.file.records(), c.records);
    EXPECT_EQ(t.pointers(), c.pointers);
  }
  Table missing(file + "\\!INVOICES");
  EXPECT_EQ(missing.file.open(0), files::kFileNotFound);
  EXPECT_FALSE(missing.file.is_open());
}

struct FieldWanted { const char* name; std::uint8_t type; std::uint16_t offset, length; std::uint8_t places; };

void expect_fields(const tps::TableDef& def, const std::vector<FieldWanted>& wanted) {
  ASSERT_EQ(def.fields.size(), wanted.size());
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    SCOPED_TRACE(wanted[i].name);
    EXPECT_EQ(def.fields[i].name, wanted[i].name);
    EXPECT_EQ(def.fields[i].type, wanted[i].type);
    EXPECT_EQ(def.fields[i].offset, wanted[i].offset);
    EXPECT_EQ(def.fields[i].length, wanted[i].length);
    EXPECT_EQ(def.fields[i].places, wanted[i].places);
  }
}

// Packed decimal digits as one whole number (the sign nibble left out).
std::int64_t bcd_digits(const std::vector<unsigned char>& bytes) {
  std::int64_t v = bytes[0] & 0x0F;
  for (std::size_t i = 1; i < bytes.size(); ++i) v = v * 100 + (bytes[i] >> 4) * 10 + (bytes[i] & 0x0F);
  return v;
}

TEST(ReaderValues, TablesOfOneFileKeepTheirOwnDefinitionsAndRows) {
  QM_NEEDS_SAMPLES();
  const std::string file = sample("vendor-examples/BizRules/RulesDemo.TPS");
  using B = std::vector<unsigned char>;

  Table orders(file + "\\!ORDERS");
  ASSERT_EQ(orders.file.open(0), 0);
  const tps::TableDef& od = orders.file.definition();
  expect_fields(od, {{"ORD:SysID", 0x06, 0, 4, 0}, {"ORD:CustomerSysID", 0x06, 4, 4, 0},
                     {"ORD:Ordered", 0x04, 8, 4, 0}, {"ORD:Fulfilled", 0x01, 12, 1, 0}});
  EXPECT_EQ(od.record_length, 13);
  ASSERT_EQ(od.memos.size(), 1u);
  EXPECT_EQ(od.memos[0].name, "ORD:Note");
  EXPECT_EQ(od.memos[0].max_length, 1000);
  ASSERT_EQ(od.keys.size(), 2u);
  EXPECT_EQ(od.keys[1].name, "CustomerKey");
  EXPECT_EQ(od.keys[1].flags, tps::format::kKeyDup | tps::format::kKeyOpt | tps::format::kKeyNocase);
  EXPECT_EQ(od.keys[1].components, (std::vector<tps::KeyComponent>{{1, 0}, {2, 0}}));
  ASSERT_EQ(orders.file.next(), 0);
  EXPECT_EQ(orders.file.pointer(), 34);
  EXPECT_EQ(orders.bytes(0, 13), (B{2, 0, 0, 0, 2, 0, 0, 0, 6, 2, 0xD2, 0x07, 0}));  // 6 Feb 2002
  EXPECT_EQ(orders.file.blob_read(1, 0, 999), "Really for the Adams'");
  ASSERT_EQ(orders.file.next(), 0);
  EXPECT_EQ(orders.file.pointer(), 75);
  EXPECT_EQ(orders.bytes(0, 13), (B{7, 0, 0, 0, 1, 0, 0, 0, 21, 4, 0xD3, 0x07, 0}));  // 21 Apr 2003
  EXPECT_EQ(orders.file.blob_size(1), 0);
  EXPECT_EQ(orders.file.next(), files::kRecordNotAvailable);

  // The order lines: DECIMALs of 2 and 4 places. Each line's figures agree
  // with one another, which only the right bytes of the right row can do.
  Table lines(file + "\\!LINES");
  ASSERT_EQ(lines.file.open(0), 0);
  const tps::TableDef& ld = lines.file.definition();
  expect_fields(ld, {{"LIN:SysID", 0x06, 0, 4, 0},           {"LIN:OrderSysID", 0x06, 4, 4, 0},
                     {"LIN:ItemSKU", 0x12, 8, 20, 0},        {"LIN:Quantity", 0x0A, 28, 4, 2},
                     {"LIN:UnitPrice", 0x0A, 32, 4, 2},      {"LIN:DiscountRate", 0x0A, 36, 4, 4},
                     {"LIN:DiscountAmount", 0x0A, 40, 4, 2}, {"LIN:LinePrice", 0x0A, 44, 6, 2}});
  EXPECT_EQ(ld.record_length, 50);
  EXPECT_TRUE(ld.memos.empty());
  EXPECT_EQ(ld.keys.size(), 3u);
  struct Line { std::int32_t pointer, id, order; const char* sku; std::int64_t quantity, price; };
  const Line expected[] = {{88, 2, 2, "2020202020", 9900, 1800},   {97, 10, 7, "2020202020", 2000, 2500},
                           {100, 12, 7, "1010101010", 300, 100},   {101, 13, 2, "1010101010", 2100, 500},
                           {102, 14, 7, "1010101010", 3400, 3300}};
  lines.file.set();
  for (const auto& want : expected) {
    SCOPED_TRACE(want.pointer);
    ASSERT_EQ(lines.file.next(), 0);
    EXPECT_EQ(lines.file.pointer(), want.pointer);
    EXPECT_EQ(lines.long_at(0), want.id);
    EXPECT_EQ(lines.long_at(4), want.order);
    EXPECT_EQ(lines.text(8, 20), want.sku);
    const std::int64_t quantity = bcd_digits(lines.bytes(28, 4)), price = bcd_digits(lines.bytes(32, 4));
    const std::int64_t rate = bcd_digits(lines.bytes(36, 4)), discount = bcd_digits(lines.bytes(40, 4));
    const std::int64_t total = bcd_digits(lines.bytes(44, 6));
    EXPECT_EQ(quantity, want.quantity);
    EXPECT_EQ(price, want.price);
    EXPECT_EQ(quantity * price, (total + discount) * 100);            // 4 places
    EXPECT_LE(std::abs(quantity * price * rate - discount * 1000000), 500000);  // 8 places
  }
  EXPECT_EQ(lines.file.next(), files::kRecordNotAvailable);
}

TEST(ReaderValues, EmptyTable) {
  QM_NEEDS_SAMPLES();
  Table t(sample("vendor-examples/MCRTree/EmailTree/EMAIL.TPS"));
  ASSERT_EQ(t.file.open(0), 0);
  const tps::TableDef& def = t.file.definition();
  expect_fields(def, {{"EMA:ID", 0x06, 0, 4, 0}, {"EMA:TEXT", 0x12, 4, 200, 0}, {"EMA:FOLDERID", 0x06, 204, 4, 0}});
  ASSERT_EQ(def.keys.size(), 2u);
  EXPECT_EQ(def.keys[1].name, "EMA:BYFOLDER");
  EXPECT_EQ(def.keys[1].components, (std::vector<tps::KeyComponent>{{2, 0}}));
  EXPECT_EQ(t.file.record_size(), 208u);
  EXPECT_EQ(t.file.records(), 0);
  t.file.set();
  EXPECT_EQ(t.file.next(), files::kRecordNotAvailable);
  t.file.set();
  EXPECT_EQ(t.file.previous(), files::kRecordNotAvailable);
  t.file.set(5);
  EXPECT_EQ(t.file.next(), files::kRecordNotAvailable);
}

TEST(ReaderValues, PackedDecimalsAsStored) {
  QM_NEEDS_SAMPLES();
  Table t(sample("vendor-examples/Invoice/DETAIL.TPS"));
  ASSERT_EQ(t.file.open(0), 0);
  ASSERT_EQ(t.file.next(), 0);
  EXPECT_EQ(t.file.pointer(), 2);
  using B = std::vector<unsigned char>;
  // QUANTITYORDERED 5.00, PRICE 7.50, TAXRATE 6.0000, SAVINGS -0.26 (sign nibble F),
  // TOTALCOST 37.76 in six bytes.
  EXPECT_EQ(t.bytes(14, 4), (B{0x00, 0x00, 0x05, 0x00}));
  EXPECT_EQ(t.bytes(19, 4), (B{0x00, 0x00, 0x07, 0x50}));
  EXPECT_EQ(t.bytes(23, 4), (B{0x00, 0x06, 0x00, 0x00}));
  EXPECT_EQ(t.bytes(39, 4), (B{0xF0, 0x00, 0x00, 0x26}));
  EXPECT_EQ(t.bytes(43, 6), (B{0x00, 0x00, 0x00, 0x00, 0x37, 0x76}));
  const tps::FieldDef& total = t.file.definition().fields[12];
  EXPECT_EQ(total.places, 2);
  EXPECT_EQ(total.element_bytes, 6);
}

TEST(ReaderValues, DatesTimesAndAMemoInARecentTable) {
  QM_NEEDS_SAMPLES();
  Table t(sample("small-app/Neurons.tps"));
  ASSERT_EQ(t.file.open(0), 0);
  EXPECT_EQ(t.file.property(prop::kType, 5), "DATE");
  EXPECT_EQ(t.file.property(prop::kType, 6), "TIME");
  EXPECT_EQ(t.file.property(prop::kType, 8), "CSTRING");
  EXPECT_EQ(t.file.property(prop::kSize, 8), "32");
  EXPECT_EQ(t.file.property(prop::kSize, -1), "63000");
  EXPECT_EQ(t.file.property(prop::kName, 1), "A_NEU:THOUGHT_ID");
  EXPECT_EQ(t.file.property(prop::kLabel, 1), "THOUGHT_ID");
  using B = std::vector<unsigned char>;
  t.file.set(6);
  ASSERT_EQ(t.file.next(), 0);
  EXPECT_EQ(t.file.pointer(), 6);
  EXPECT_EQ(t.text(12, 2048), "Easy to understand classes");
  EXPECT_EQ(t.bytes(2060, 4), (B{10, 11, 0xE9, 0x07}));   // 10 Nov 2025
  EXPECT_EQ(t.bytes(2064, 4), (B{75, 8, 57, 11}));        // 11:57:08.75
  t.file.set(3);
  ASSERT_EQ(t.file.next(), 0);
  EXPECT_EQ(t.bytes(2060, 8), (B(8, 0)));                 // no date, no time
}

}  // namespace
