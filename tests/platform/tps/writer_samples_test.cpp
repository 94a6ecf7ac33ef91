// The writer against the real tables: every definition comes back byte for
// byte, a table declared with the fixture like a real one stores the same
// definition, the letter tables equal the driver's common ones, and key
// entries rebuilt from a table's rows equal the table's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/tps/bytes.h"
#include "platform/tps/definition.h"
#include "platform/tps/file_builder.h"
#include "platform/tps/fixture.h"
#include "platform/tps/format.h"
#include "platform/tps/keys.h"
#include "writer_support.h"

namespace {

namespace fs = std::filesystem;
using tps::fixture::DUP;
using tps::fixture::NOCASE;
using tps::fixture::OPT;
using tps::fixture::Type;
using writer_test::hex;
using writer_test::read_records;
using writer_test::Record;

const fs::path kSamples = QM_SAMPLES_DIR;

std::vector<fs::path> plain_samples() {
  std::vector<fs::path> found;
  for (const auto& e : fs::recursive_directory_iterator(kSamples)) {
    std::string ext = e.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    if (e.is_regular_file() && ext == ".TPS" && e.path().parent_path().filename() != "encrypted") {
      found.push_back(e.path());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::uint32_t table_of(const std::string& header) { return tps::bytes::u32be(header.data()); }

std::uint8_t kind_of(const std::string& header) { return static_cast<unsigned char>(header[4]); }

// One table of a sample file: its definition bytes and its records by kind.
struct SampleTable {
  std::string definition;
  std::vector<Record> rows;
  std::map<std::size_t, std::vector<Record>> key_entries;
  std::string collation;
};

std::map<std::uint32_t, SampleTable> split_tables(const std::vector<Record>& records) {
  std::map<std::uint32_t, SampleTable> tables;
  for (const auto& [h, d] : records) {
    if (h.size() < 5 || static_cast<unsigned char>(h[0]) >= 0xFE) continue;
    SampleTable& t = tables[table_of(h)];
    const std::uint8_t kind = kind_of(h);
    if (kind == tps::format::kKindDefinition) t.definition += d;  // in fragment order
    if (kind == tps::format::kKindRow) t.rows.emplace_back(h, d);
    if (kind == tps::format::kKindCollation) t.collation = d;
    if (kind < tps::format::kKindRow) t.key_entries[kind].emplace_back(h, d);
  }
  return tables;
}

TEST(WriterSamples, EveryDefinitionIsWrittenBackByteForByte) {
  QM_NEEDS_SAMPLES();
  int tables = 0;
  for (const fs::path& path : plain_samples()) {
    for (const auto& [number, t] : split_tables(read_records(path))) {
      SCOPED_TRACE(path.string() + " table " + std::to_string(number));
      tps::TableDef def;
      std::string why;
      ASSERT_TRUE(tps::parse_definition(t.definition, def, &why)) << why;
      EXPECT_EQ(hex(tps::serialize_definition(def)), hex(t.definition));
      ++tables;
    }
  }
  EXPECT_GT(tables, 150);
}

TEST(WriterSamples, FixtureDeclaredLikeTheTutorialCustomersStoresTheSameDefinition) {
  QM_NEEDS_SAMPLES();
  tps::fixture::File file;
  auto& cus = file.table("CUS");
  cus.field("CUSTNUMBER", Type::Long)
      .field("COMPANY", Type::String, 20)
      .field("FIRSTNAME", Type::String, 20)
      .field("LASTNAME", Type::String, 20)
      .field("ADDRESS", Type::String, 20)
      .field("CITY", Type::String, 20)
      .field("STATE", Type::String, 2)
      .field("ZIPCODE", Type::Long)
      .key("KEYCUSTNUMBER", "CUSTNUMBER", NOCASE | OPT)
      .key("KEYCOMPANY", "COMPANY", DUP | NOCASE)
      .key("KEYZIPCODE", "ZIPCODE", DUP | NOCASE);
  cus.row();
  const auto sample =
      split_tables(read_records(kSamples / "vendor-examples/Tutor/CUSTOMER.TPS")).begin()->second;
  EXPECT_EQ(hex(tps::serialize_definition(cus.definition())), hex(sample.definition));
}

TEST(WriterSamples, LetterTablesEqualTheDriversCommonOnes) {
  QM_NEEDS_SAMPLES();
  const auto sample =
      split_tables(read_records(kSamples / "vendor-examples/Tutor/CUSTOMER.TPS")).begin()->second;
  EXPECT_EQ(hex(tps::collation_tables()), hex(sample.collation));
}

// Rebuilds every key of every sample table from its rows. Of all the samples'
// keys, two unique keys of one file hold fewer entries than rows (the driver
// left some out); every other key must come out byte for byte.
TEST(WriterSamples, KeyEntriesRebuiltFromRowsEqualTheTablesOwn) {
  QM_NEEDS_SAMPLES();
  int keys_checked = 0;
  int keys_short = 0;
  for (const fs::path& path : plain_samples()) {
    for (const auto& [number, t] : split_tables(read_records(path))) {
      tps::TableDef def;
      ASSERT_TRUE(tps::parse_definition(t.definition, def));
      for (std::size_t k = 0; k < def.keys.size(); ++k) {
        SCOPED_TRACE(path.string() + " key " + def.keys[k].name);
        std::vector<Record> rebuilt;
        for (const auto& [h, d] : t.rows) {
          const std::uint32_t rn = tps::bytes::u32be(h.data() + 5);
          Record e;
          if (tps::key_entry(def, k, number, d, rn, e.first, e.second)) rebuilt.push_back(e);
        }
        std::sort(rebuilt.begin(), rebuilt.end());
        const auto found = t.key_entries.find(k);
        const std::vector<Record> own = found == t.key_entries.end() ? std::vector<Record>{} : found->second;
        if (own.size() < rebuilt.size()) {
          ++keys_short;
          EXPECT_TRUE(std::includes(rebuilt.begin(), rebuilt.end(), own.begin(), own.end()));
          continue;
        }
        ASSERT_EQ(own.size(), rebuilt.size());
        for (std::size_t i = 0; i < own.size(); ++i) {
          ASSERT_EQ(hex(rebuilt[i].first), hex(own[i].first)) << "entry " << i;
          ASSERT_EQ(hex(rebuilt[i].second), hex(own[i].second)) << "entry " << i;
        }
        ++keys_checked;
      }
    }
  }
  EXPECT_LE(keys_short, 2);
  EXPECT_GT(keys_checked, 300);
}

}  // namespace
