// The field list's date and time marks over a run of many records: each
// record's values judge the marks anew, the stored entries end as the last
// record left them, and the queue's buffer ends on the last column's entry.
#include <gtest/gtest.h>

#include <string>

#include "export_support.h"

namespace {

using export_test::Type;
using globals::FieldListQueue;

class FieldMarks : public export_test::Export {
 protected:
  // The marks of the named entry, date / time / possible date / possible time:
  // "D/T/d/t" when all are set, "///" when none is.
  static std::string marks(std::string_view name) {
    globals::FieldListRecord r;
    for (std::size_t k = 1; FieldListQueue.peek(k, r); ++k)
      if (r.ALF_DAFIELD.view() == name)
        return std::string(r.ALF_DATE.clipped()) + "/" + std::string(r.ALF_TIME.clipped()) + "/" +
               std::string(r.ALF_POSSIBLEDATE.clipped()) + "/" + std::string(r.ALF_POSSIBLETIME.clipped());
    ADD_FAILURE() << "no field-list entry " << name;
    return {};
  }
};

TEST_F(FieldMarks, TheLastRecordLeavesTheMarks) {
  const globals::LONG today = picture::date(6, 15, 2024);
  picture::fix_clock(today, 1);
  constexpr globals::LONG kNeither = -5;         // no date, no time
  constexpr globals::LONG kTimeOnly = 4500001;   // a time, too far from today for a date
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("EARLY", Type::Long).field("LATE", Type::Long).field("SWING", Type::Long).field("AT", Type::Time)
      .field("NAME", Type::String, 4);
  // EARLY could be a date only in the first record, LATE only in the last,
  // SWING changes what it could be at every record.
  const globals::LONG rows[][3] = {
      {today, kNeither, today}, {kNeither, kNeither, kTimeOnly}, {kNeither, kNeither, kNeither},
      {kNeither, today, today},
  };
  for (const auto& r : rows)
    t.row().set("EARLY", r[0]).set("LATE", r[1]).set("SWING", r[2]).set_time("AT", 1, 2).set("NAME", "n");
  const std::string table = write_table(file);
  ASSERT_EQ(run(table, "1"), engine::kExportDone);
  ASSERT_EQ(run(table), engine::kExportDone);
  ASSERT_EQ(lines().size(), 5u);

  EXPECT_EQ(marks("PRE:EARLY"), "///");
  EXPECT_EQ(marks("PRE:LATE"), "//d/t");
  EXPECT_EQ(marks("PRE:SWING"), "//d/t");
  EXPECT_EQ(marks("PRE:AT"), "/T//");
  EXPECT_EQ(marks("PRE:NAME"), "///");
  // The buffer holds the last column's entry, with that column's number.
  EXPECT_EQ(FieldListQueue.buffer().ALF_DAFIELD.view(), "PRE:NAME");
  EXPECT_EQ(FieldListQueue.buffer().ALF_DAORDER, 6);
  EXPECT_EQ(FieldListQueue.pointer(), 6u);  // after the record-pointer column's entry
}

}  // namespace
