#include "globals/globals.h"

#include <gtest/gtest.h>

#include <string>

#include "globals/preview_record.h"

namespace {

using namespace globals;

TEST(Globals, StartValuesAreTheFormDefaults) {
  reset();
  EXPECT_EQ(GLO_DATEFORMAT.view(), "@D06");
  EXPECT_EQ(GLO_DATETIMESEPARATOR.view(), "b");
  EXPECT_EQ(GLO_TIMEFORMAT.view(), "@T04");
  EXPECT_TRUE(GLO_WHERE.empty());
  EXPECT_EQ(TopCount, 0);
}

TEST(Globals, CapacitiesCountTheTerminatingNul) {
  struct Case {
    std::size_t capacity;
    std::size_t usable;
  };
  const Case cases[] = {
      {decltype(GLO_QUERYNAME)::kCapacity, 99},
      {decltype(GLO_TPSPASSWORD)::kCapacity, 99},
      {decltype(GLO_INPUTTPSLOCATION)::kCapacity, 255},
      {decltype(GLO_OUTPUTCSVLOCATION)::kCapacity, 255},
      {decltype(GLO_DATEFORMAT)::kCapacity, 13},
      {decltype(GLO_DATETIMESEPARATOR)::kCapacity, 9},
      {decltype(GLO_TIMEFORMAT)::kCapacity, 13},
      {decltype(GLO_SELECT)::kCapacity, 49999},
      {decltype(GLO_WHERE)::kCapacity, 49999},
      {decltype(GLO_WorkingDir)::kCapacity, 255},
      {decltype(CmdQueryName)::kCapacity, 99},
      {decltype(MainCaption)::kCapacity, 99},
  };
  for (const Case& c : cases) EXPECT_EQ(c.capacity - 1, c.usable);
  GLO_WHERE = std::string(60000, 'x');
  EXPECT_EQ(GLO_WHERE.size(), 49999u);
  reset();
}

TEST(Globals, ResetRestoresEveryStartValue) {
  GLO_QUERYNAME = "q";
  GLO_TPSPASSWORD = "pw";
  GLO_INPUTTPSLOCATION = "C:\\in.tps";
  GLO_OUTPUTCSVLOCATION = "C:\\out\\";
  GLO_DATESTAMPINEXPORT = 1;
  GLO_DATEFORMAT = "@D1";
  GLO_DATETIMESEPARATOR = "-";
  GLO_TIMEFORMAT = "";
  GLO_NULLEMPTYSTR = 1;
  GLO_SELECT = "TOP 5";
  GLO_WHERE = "PRE:A > 1";
  GLO_FIELDSBYNAME = 1;
  GLO_FETCHEDNO = 7;
  GLO_NOPREVIEW = 1;
  GLO_WorkingDir = "C:\\work";
  AutoMode = 1;
  CmdQueryName = "q";
  CmdSelect = std::string(1, 's');  // not from a literal: GCC 12 warns of overlapping copies there
  CmdWhere = std::string(1, 'w');
  MainCaption = "caption";
  LastRecordCount = 9;
  TopCount = -2;
  StartAtPointer = 5;
  ReverseOrder = 1;

  reset();

  EXPECT_TRUE(GLO_QUERYNAME.empty());
  EXPECT_TRUE(GLO_TPSPASSWORD.empty());
  EXPECT_TRUE(GLO_INPUTTPSLOCATION.empty());
  EXPECT_TRUE(GLO_OUTPUTCSVLOCATION.empty());
  EXPECT_EQ(GLO_DATESTAMPINEXPORT, 0);
  EXPECT_EQ(GLO_DATEFORMAT.view(), "@D06");
  EXPECT_EQ(GLO_DATETIMESEPARATOR.view(), "b");
  EXPECT_EQ(GLO_TIMEFORMAT.view(), "@T04");
  EXPECT_EQ(GLO_NULLEMPTYSTR, 0);
  EXPECT_TRUE(GLO_SELECT.empty());
  EXPECT_TRUE(GLO_WHERE.empty());
  EXPECT_EQ(GLO_FIELDSBYNAME, 0);
  EXPECT_EQ(GLO_FETCHEDNO, 0);
  EXPECT_EQ(GLO_NOPREVIEW, 0);
  EXPECT_TRUE(GLO_WorkingDir.empty());
  EXPECT_EQ(AutoMode, 0);
  EXPECT_TRUE(CmdQueryName.empty());
  EXPECT_TRUE(CmdSelect.empty());
  EXPECT_TRUE(CmdWhere.empty());
  EXPECT_TRUE(MainCaption.empty());
  EXPECT_EQ(LastRecordCount, 0);
  EXPECT_EQ(TopCount, 0);
  EXPECT_EQ(StartAtPointer, 0);
  EXPECT_EQ(ReverseOrder, 0);
}

TEST(PreviewRecord, CellsKeepTheirOwnCapacities) {
  PreviewRecord r;
  const std::string long_text(150, 'a');
  r.set_cell(1, long_text);
  r.set_cell(2, long_text);
  r.set_cell(2000, "last");
  EXPECT_EQ(r.cell(1), std::string(100, 'a'));
  EXPECT_EQ(r.cell(2), std::string(99, 'a'));
  EXPECT_EQ(r.cell(2000), "last");
  r.set_cell(1, "x");
  EXPECT_EQ(r.cell(1), "x" + std::string(99, ' '));  // blank-padded
}

TEST(PreviewRecord, ColumnsOutsideTheRecordAreIgnored) {
  PreviewRecord r;
  for (std::size_t k : {std::size_t{0}, std::size_t{2001}, std::size_t{100000}}) {
    r.set_cell(k, "x");
    EXPECT_EQ(r.cell(k), "");
  }
  EXPECT_EQ(r.high_column(), 1u);
}

TEST(PreviewRecord, ClearEmptiesEveryCellEverSet) {
  PreviewRecord r;
  r.set_cell(1, "a");
  r.set_cell(7, "b");
  r.set_cell(3, "c");
  EXPECT_EQ(r.high_column(), 7u);
  r.clear();
  EXPECT_EQ(r.high_column(), 1u);
  EXPECT_EQ(r.cell(1), std::string(100, ' '));
  for (std::size_t k = 2; k <= 7; ++k) EXPECT_EQ(r.cell(k), "") << k;
}

}  // namespace
