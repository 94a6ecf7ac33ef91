#include "engine/engine_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
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
  QM_NEEDS_SAMPLES();
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

std::string contents(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(EngineState, DosoutWritesTheFileOutputFileNameNamesAtEachCall) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("qm-engine-state-" + std::to_string(std::random_device{}()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path location = dir / "location.csv";  // OUTPUT's name: never touched

  globals::GLO_OUTPUTCSVLOCATION = location.string();
  EXPECT_EQ(engine::OUTPUT.name(), location.string());
  for (const char* name : {"first.csv", "second.csv"}) {
    engine::OutputFileName = (dir / name).string();
    ASSERT_EQ(engine::DOSOUT.create(), 0);
    ASSERT_EQ(engine::DOSOUT.open(files::DosFile::kWriteDenyAll), 0);
    std::copy_n(name, 5, engine::DOSOUT.record());
    ASSERT_EQ(engine::DOSOUT.add(5), 0);
    ASSERT_EQ(engine::DOSOUT.close(), 0);
  }
  EXPECT_EQ(contents(dir / "first.csv"), "first");
  EXPECT_EQ(contents(dir / "second.csv"), "secon");
  EXPECT_FALSE(fs::exists(location));
  fs::remove_all(dir);
}

TEST_F(EngineState, ResetRestoresTheEngineTextsAndTheGlobals) {
  QM_NEEDS_SAMPLES();
  engine::CurrentValueText.assign(1, 'v');
  engine::CurrentRawValue.assign(1, 'r');
  engine::NotDateFlag = 1;
  engine::NotTimeFlag = -1;
  engine::WhereWork.assign(1, 'w');
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
