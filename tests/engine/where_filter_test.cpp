// The record's WHERE copy built in one go from the values of its columns is
// the text that replacing label after label, column by column, gives: also
// where values or removed MEMO labels make or break the labels of later
// columns, and over several records of one run.
#include "engine/where_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "globals/globals.h"

namespace {

engine::Column column(const std::string& name, const std::string& type) {
  engine::Column c;
  c.name = name;
  c.type = type;
  c.text_type = type == "STRING";
  return c;
}

struct Case {
  const char* what;
  std::vector<engine::Column> columns;
  std::string where;
  std::vector<std::vector<std::string>> records;  // the columns' values, record by record
};

// Column by column, as each column's turn comes in the record line.
std::string one_by_one(const Case& c, const std::vector<std::string>& values) {
  engine::RunState run;
  engine::WhereWork = c.where;
  for (std::size_t k = 0; k < c.columns.size(); ++k) {
    engine::CurrentRawValue = values[k];
    engine::SubstituteFieldInWhere(run, c.columns[k]);
  }
  return engine::WhereWork;
}

TEST(WhereCopy, BuiltInOneGoAsColumnByColumn) {
  const Case cases[] = {
      {"plain values", {column("A:N", "LONG"), column("A:S", "STRING")}, "A:N > 1 AND A:S = 'x' OR A:N < A:N",
       {{"5", "it's"}, {"-12", ""}, {"0", "A:S"}}},
      {"a label that begins another", {column("A:X", "LONG"), column("A:XY", "LONG")}, "A:XY = 1 AND A:X = 2",
       {{"5", "6"}}},
      {"the longer label first", {column("A:XY", "LONG"), column("A:X", "LONG")}, "A:XY = 1 AND A:X = 2",
       {{"5", "6"}}},
      {"a value holding a later label", {column("A:X", "STRING"), column("A:Y", "LONG")}, "A:X = 'q' AND A:Y > 1",
       {{"A:Y", "7"}, {"no label", "8"}, {"A:Y A:Y", "9"}}},
      {"a value completing a later label", {column("A:P", "LONG"), column("B:12", "LONG")}, "B:A:P = 3",
       {{"12", "4"}, {"77", "4"}}},
      {"a value beginning a later label", {column("A:P", "LONG"), column("7B:C", "LONG")}, "A:PB:C = 3",
       {{"7", "4"}, {"8", "4"}}},
      {"a removed MEMO label joins a later one", {column("A:M", "MEMO"), column("A:XY", "LONG")}, "A:XA:MY > 0",
       {{"notes", "5"}}},
      {"an empty value joins a later label", {column("A:V", "LONG"), column("A:B", "LONG")}, "A:A:VB = 1",
       {{"", "2"}, {"3", "2"}}},
      {"labels that are not there", {column("A:N", "LONG"), column("A:Q", "STRING")}, "1 = 1", {{"1", "q"}}},
      {"a MEMO only", {column("A:M", "MEMO")}, "A:M", {{"x"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    globals::GLO_WHERE = c.where;
    engine::RunState run;
    run.Columns = c.columns;
    for (const auto& values : c.records) {
      for (std::size_t k = 0; k < c.columns.size(); ++k) {
        engine::CurrentRawValue = values[k];
        engine::KeepWhereValue(run, k, c.columns[k]);
      }
      engine::BuildWhereCopy(run);
      const std::string built = engine::WhereWork;
      EXPECT_EQ(built, one_by_one(c, values)) << values[0];
    }
  }
  globals::GLO_WHERE = "";
}

}  // namespace
