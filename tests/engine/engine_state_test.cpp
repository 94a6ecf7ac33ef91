#include "engine/engine_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "globals/globals.h"

namespace {

const std::string kTutor = std::string(QM_SAMPLES_DIR) + "/vendor-examples/Tutor/";

class EngineState : public ::testing::Test {
 protected:
  void SetUp() override { engine::reset(); }
  void TearDown() override { engine::reset(); }
};

TEST_F(EngineState, TestanyReadsItsNameAtEveryOpenAndFillsTheOutputRecord) {
  using engine::TESTANY;
  std::fill_n(engine::TESTANY_RECORD, engine::TESTANY_RECORD_SIZE, '\x7F');

  engine::InputFileName = kTutor + "CUSTOMER.TPS";
  ASSERT_EQ(TESTANY.open(0), 0);
  const std::size_t customer_size = TESTANY.record_size();
  TESTANY.set();
  ASSERT_EQ(TESTANY.next(), 0);
  EXPECT_NE(engine::TESTANY_RECORD[0], '\x7F');  // the record landed in the storage
  ASSERT_EQ(TESTANY.close(), 0);

  engine::InputFileName = kTutor + "States.tps";
  ASSERT_EQ(TESTANY.open(0), 0);
  EXPECT_NE(TESTANY.record_size(), customer_size);
  ASSERT_EQ(TESTANY.close(), 0);

  engine::InputFileName = kTutor + "NO_SUCH.TPS";
  EXPECT_NE(TESTANY.open(0), 0);
}

TEST_F(EngineState, ResetRestoresTheEngineTextsAndTheGlobals) {
  engine::CurrentValueText = "v";
  engine::CurrentRawValue = "r";
  engine::NotDateFlag = 1;
  engine::NotTimeFlag = -1;
  engine::WhereWork = "w";
  engine::DateStamp = "_stamp";
  engine::OutputDir = "C:\\out";
  engine::OutputBaseName = "base";
  engine::InputFileName = kTutor + "CUSTOMER.TPS";
  engine::OutputFileName = "C:\\out\\base.CSV";
  engine::TotalRecords = 3;
  globals::GLO_WHERE = "x";
  ASSERT_EQ(engine::TESTANY.open(0), 0);

  engine::reset();

  EXPECT_FALSE(engine::TESTANY.is_open());
  EXPECT_TRUE(engine::CurrentValueText.empty());
  EXPECT_TRUE(engine::CurrentRawValue.empty());
  EXPECT_EQ(engine::NotDateFlag, 0);
  EXPECT_EQ(engine::NotTimeFlag, 0);
  EXPECT_TRUE(engine::WhereWork.empty());
  EXPECT_TRUE(engine::DateStamp.empty());
  EXPECT_TRUE(engine::OutputDir.empty());
  EXPECT_TRUE(engine::OutputBaseName.empty());
  EXPECT_TRUE(engine::InputFileName.empty());
  EXPECT_TRUE(engine::OutputFileName.empty());
  EXPECT_EQ(engine::TotalRecords, 0);
  EXPECT_TRUE(globals::GLO_WHERE.empty());
}

}  // namespace
