// Exports of the real tables under the samples folder: every plain table
// exports with default settings and shows no message, and the tutorial's
// customers come out as the people of the tutorial's import file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "export_support.h"
#include "tests/platform/tps/reader_support.h"

namespace {

namespace fs = std::filesystem;

std::string runtime_form(const fs::path& p) {
  std::string s = p.string();
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

// The records of a CSV text of double-quoted values (a value may hold line
// breaks), each record's values unquoted.
std::vector<std::vector<std::string>> records(const std::string& csv) {
  std::vector<std::vector<std::string>> out;
  std::vector<std::string> record;
  std::size_t i = 0;
  while (i < csv.size()) {
    if (csv[i] != '"') {
      ADD_FAILURE() << "a value that does not start with a quote at byte " << i;
      return out;
    }
    std::string value;
    for (++i; i < csv.size(); ++i) {
      if (csv[i] != '"') {
        value += csv[i];
      } else if (i + 1 < csv.size() && csv[i + 1] == '"') {
        value += '"';
        ++i;
      } else {
        break;
      }
    }
    record.push_back(value);
    ++i;  // the closing quote
    if (csv.compare(i, 2, "\r\n") == 0) {
      out.push_back(record);
      record.clear();
      i += 2;
    } else if (i < csv.size() && csv[i] == ',') {
      ++i;
    } else {
      ADD_FAILURE() << "no comma or line end after a value at byte " << i;
      return out;
    }
  }
  EXPECT_TRUE(record.empty()) << "the last line has no line end";
  return out;
}

using Samples = export_test::Export;

TEST_F(Samples, EveryPlainTableExportsWithoutAMessage) {
  QM_NEEDS_SAMPLES();
  const auto tables = reader_test::plain_sample_tables();
  ASSERT_GT(tables.size(), 100u);
  for (const fs::path& table : tables) {
    SCOPED_TRACE(table.string());
    // The tables are read in place; the CSV goes to the scratch directory.
    globals::GLO_OUTPUTCSVLOCATION = runtime_dir() + "\\";
    globals::GLO_INPUTTPSLOCATION = runtime_form(table);
    ASSERT_EQ(engine::ExportTable("1", runtime_form(table)), engine::kExportDone);
    ASSERT_EQ(engine::ExportTable("", runtime_form(table)), engine::kExportDone);
    EXPECT_TRUE(messages().empty()) << messages().front().request.caption << ": " << messages().front().request.text;
    window::headless().reset();
    // The header line (when the first record is not blank), then one line per
    // record; all lines have the header's number of values.
    EXPECT_EQ(globals::GLO_FETCHEDNO, engine::TotalRecords);
    const auto written = records(csv());
    for (const auto& record : written) EXPECT_EQ(record.size(), written.front().size());
    if (!written.empty()) {
      EXPECT_EQ(written.front().front().substr(written.front().front().size() - 3), "PTR");
    }
    fs::remove(files::os_path(engine::OutputFileName.view()));
  }
}

TEST_F(Samples, TheTutorialCustomersAreThePeopleOfTheImportFile) {
  QM_NEEDS_SAMPLES();
  const fs::path tutor = fs::path(QM_SAMPLES_DIR) / "vendor-examples" / "Tutor";
  globals::GLO_INPUTTPSLOCATION = runtime_form(tutor / "CUSTOMER.TPS");
  ASSERT_EQ(engine::ExportTable("1", runtime_form(tutor / "CUSTOMER.TPS")), engine::kExportDone);
  ASSERT_EQ(engine::ExportTable("", runtime_form(tutor / "CUSTOMER.TPS")), engine::kExportDone);
  EXPECT_EQ(engine::OutputFileName.view(), runtime_dir() + "\\CUSTOMER.CSV");
  const auto written = records(csv());
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written.front(), (std::vector<std::string>{"CUS:PTR", "CUS:CUSTNUMBER", "CUS:COMPANY", "CUS:FIRSTNAME",
                                                       "CUS:LASTNAME", "CUS:ADDRESS", "CUS:CITY", "CUS:STATE",
                                                       "CUS:ZIPCODE"}));

  // The import file: its header, then number, company, names, address, city,
  // state and zip code, separated by commas without quotes.
  std::ifstream in(tutor / "IMPORT1.CSV");
  std::string line;
  std::getline(in, line);
  std::vector<std::vector<std::string>> people;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> row;
    std::stringstream s(line);
    std::string cell;
    while (std::getline(s, cell, ',')) row.push_back(cell);
    people.push_back(row);
  }
  ASSERT_EQ(people.size(), 8u);
  // The tutorial changed customer 2's address and removed customer 8 after
  // the import; everything else is as imported.
  people[1][4] = "123 E Main";
  people.pop_back();
  ASSERT_EQ(written.size(), people.size() + 1);
  for (std::size_t i = 0; i < people.size(); ++i) {
    std::vector<std::string> exported = written[i + 1];
    ASSERT_EQ(exported.size(), 9u);
    exported.erase(exported.begin());  // the record pointer
    EXPECT_EQ(exported, people[i]);
  }
  EXPECT_EQ(globals::GLO_FETCHEDNO, 7);
}

}  // namespace
