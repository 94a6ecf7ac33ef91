// ExportTable as a whole: its results, the open failures and their messages,
// field mode, the naming of the output file, the refusal to overwrite the
// input table, and the flattening of the WHERE text.
#include "engine/export_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_support.h"
#include "platform/tps/tps_file.h"
#include "tests/platform/tps/reader_craft.h"

namespace {

using export_test::Type;
namespace fs = std::filesystem;

class ExportRun : public export_test::Export {
 protected:
  // Three records of one LONG field, numbered 1, 2, 3.
  std::string numbers(const std::string& name = "T.TPS") {
    tps::fixture::File file;
    auto& t = file.table("PRE");
    t.field("NUMBER", Type::Long);
    for (int n = 1; n <= 3; ++n) t.row().set("NUMBER", n);
    return write_table(file, name);
  }
};

TEST_F(ExportRun, ExportModeWritesTheTableAndPublishesTheCounts) {
  EXPECT_EQ(run(numbers()), engine::kExportDone);
  EXPECT_EQ(engine::OutputFileName.view(), at("T.CSV"));
  // The writer numbers records file-wide from 2 on: the pointer column shows it.
  EXPECT_EQ(csv(), "\"PRE:PTR\",\"PRE:NUMBER\"\r\n\"2\",\"1\"\r\n\"3\",\"2\"\r\n\"4\",\"3\"\r\n");
  EXPECT_EQ(globals::GLO_FETCHEDNO, 3);
  EXPECT_EQ(globals::LastRecordCount, 3);
  EXPECT_EQ(engine::TotalRecords, 3);
  EXPECT_EQ(globals::PreviewQueue.records(), 3u);
  EXPECT_EQ(main_.caption(), "Top Speed Quillomar Ver.1.01 Record: 3 of 3");
  EXPECT_TRUE(messages().empty());
  EXPECT_FALSE(engine::TESTANY.is_open());
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_));
}

TEST_F(ExportRun, FieldModeReadsNoRecordAndCreatesNoFile) {
  globals::GLO_DATESTAMPINEXPORT = 1;
  picture::fix_clock(picture::date(3, 5, 2024), ((14 * 60 + 7) * 60 + 9) * 100 + 1);
  engine::TotalRecords = 7;  // the count of an earlier export
  EXPECT_EQ(run(numbers(), "1"), engine::kExportDone);
  EXPECT_FALSE(fs::exists(dir_ / "T.CSV"));
  EXPECT_TRUE(engine::OutputFileName.empty());
  EXPECT_EQ(globals::GLO_FETCHEDNO, 0);
  EXPECT_EQ(globals::LastRecordCount, 7);  // the last export's count stands until the next export
  EXPECT_EQ(globals::PreviewQueue.records(), 0u);
  EXPECT_EQ(globals::FieldListQueue.records(), 2u);
  EXPECT_EQ(main_.caption(), "Top Speed Quillomar Ver.1.01");
  EXPECT_EQ(engine::DateStamp.view(), "_05-03-2024_02-07-09pm");  // taken in field mode too
  EXPECT_TRUE(messages().empty());
}

TEST_F(ExportRun, OpenFailuresShowOneMessageAndReturnOne) {
  QM_NEEDS_SAMPLES();
  const std::string plain = numbers();
  // A record longer than the record storage, refused at open rather than
  // read past the storage.
  {
    using namespace reader_craft;
    write(dir_ / "HUGE.TPS", file({page(0x200, table_records({}, 65521))}));
  }
  fs::copy_file(fs::path(QM_SAMPLES_DIR) / "encrypted" / "Defaults.tps", dir_ / "SECRET.TPS");
  struct Case {
    std::string path;
    std::string caption;  // for 90 and 47 the driver's code, then the runtime's
    std::string text;
  };
  const Case cases[] = {
      {at("MISSING.TPS"), "2 OPEN()", "File Not Found"},
      {"", "45 OPEN()", "Invalid Filename"},
      {at("HUGE.TPS"), std::string(tps::fault::kRecordSize) + " 47 OPEN()", "65520"},
      {at("SECRET.TPS"), std::string(tps::fault::kEncrypted) + " 90 OPEN()", "encrypted"},
      // The directory is missing, not the table: the working directory's
      // table of that name is not the one asked for.
      {at("nowhere\\T.TPS"), "3 OPEN()", "Path Not Found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    window::headless().reset();
    globals::GLO_WHERE = "  PRE:NUMBER > 1\r\n";
    globals::GLO_FETCHEDNO = 9;
    EXPECT_EQ(run(c.path), engine::kExportOpenFailed);
    ASSERT_EQ(messages().size(), 1u);  // after the fifth attempt, not per attempt
    const auto& m = messages()[0].request;
    EXPECT_EQ(m.icon, window::Icon::Question);
    EXPECT_NE(m.text.find(c.text), std::string::npos) << m.text;
    EXPECT_EQ(m.caption, c.caption);
    EXPECT_EQ(globals::GLO_WHERE.view(), "  PRE:NUMBER > 1\r\n");  // untouched
    EXPECT_EQ(globals::GLO_FETCHEDNO, 0);
    EXPECT_FALSE(engine::TESTANY.is_open());
    EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_));
  }
  EXPECT_FALSE(fs::exists(dir_ / "HUGE.CSV"));
}

TEST_F(ExportRun, InputPathsAreSplitIntoDirectoryAndName) {
  fs::create_directories(dir_ / "data");
  numbers("data/ORDERS.TPS");
  struct Case {
    std::string path;
    std::string input_name;
    bool the_setting = false;  // passed as GLO_INPUTTPSLOCATION itself, which the call rewrites
  };
  const Case cases[] = {
      {at("data\\ORDERS.TPS"), "ORDERS.TPS"},
      {at("data\\ORDERS.TPS\\"), "ORDERS.TPS"},  // a closing "\" is dropped
      {at("data/ORDERS.TPS/"), "data/ORDERS.TPS"},  // "/" is not split: the name opens as it stands
      {at("data/ORDERS.TPS/"), "data/ORDERS.TPS", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    globals::GLO_INPUTTPSLOCATION = c.path;
    const std::string_view path = c.the_setting ? globals::GLO_INPUTTPSLOCATION.view() : std::string_view(c.path);
    EXPECT_EQ(engine::ExportTable("1", path), engine::kExportDone);
    EXPECT_EQ(engine::InputFileName.view(), c.input_name);
  }
  // The setting is rewritten with "\"; a bare name is looked for in the
  // working directory.
  globals::GLO_INPUTTPSLOCATION = at("data/ORDERS.TPS");
  EXPECT_EQ(engine::ExportTable("1", "ORDERS.TPS"), engine::kExportOpenFailed);
  EXPECT_EQ(globals::GLO_INPUTTPSLOCATION.view(), at("data\\ORDERS.TPS"));
}

TEST_F(ExportRun, OutputFileNames) {
  fs::create_directories(dir_ / "out");
  fs::create_directories(dir_ / "OUT");
  const std::string table = numbers("orders.tps");
  picture::fix_clock(picture::date(3, 5, 2024), ((14 * 60 + 7) * 60 + 9) * 100 + 1);
  const std::string stamp = "_05-03-2024_02-07-09pm";
  const std::string long_name(47, 'n');
  struct Case {
    std::string location;
    bool stamp;
    std::string file;      // below the scratch directory
    std::string setting;   // GLO_OUTPUTCSVLOCATION afterwards; empty: as given
  };
  const std::vector<Case> cases = {
      {at(""), false, "orders.CSV", ""},
      {at(""), true, "orders" + stamp + ".CSV", ""},
      {at("out\\report.csv"), true, "out\\report" + stamp + ".CSV", ""},
      {at("result.Csv"), false, "result.CSV", ""},
      {at("a.csv.bak"), false, "a.CSV", ""},
      {at("out/"), false, "out\\orders.CSV", at("out\\")},
      {"", false, "OUT\\orders.CSV", at("OUT\\")},
      {"   ", false, "OUT\\orders.CSV", at("OUT\\")},
      // A directory named like a table: the name is cut at its first ".TPS".
      {at("x.tps\\out\\"), true, "x" + stamp + ".CSV", ""},
      // Cut to 49 characters before ".CSV" is looked for: what is left of
      // the extension stays in the name.
      {at(long_name + ".csv"), false, long_name + ".c.CSV", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.location);
    globals::GLO_OUTPUTCSVLOCATION = c.location;
    globals::GLO_DATESTAMPINEXPORT = c.stamp;
    ASSERT_EQ(run(table), engine::kExportDone);
    EXPECT_EQ(engine::OutputFileName.view(), at(c.file));
    EXPECT_EQ(lines().size(), 4u);
    EXPECT_EQ(globals::GLO_OUTPUTCSVLOCATION.view(), c.setting.empty() ? c.location : c.setting);
    EXPECT_TRUE(messages().empty());
  }
}

TEST_F(ExportRun, ALocationWithoutBackslashKeepsTheLastDirectoryAndName) {
  fs::create_directories(dir_ / "sub");
  const std::string table = numbers();
  // The first call of the process has no names yet: the CSV lands in the root.
  globals::GLO_OUTPUTCSVLOCATION = "sub\\first.csv";
  ASSERT_EQ(run(table), engine::kExportDone);
  EXPECT_EQ(engine::OutputDir.view(), "sub");
  EXPECT_EQ(engine::OutputBaseName.view(), "first");
  EXPECT_TRUE(fs::exists(dir_ / "sub" / "first.CSV"));  // relative to the working directory
  fs::remove(dir_ / "sub" / "first.CSV");

  globals::GLO_OUTPUTCSVLOCATION = "bare.csv";
  ASSERT_EQ(run(table), engine::kExportDone);
  EXPECT_EQ(engine::OutputDir.view(), "sub");
  EXPECT_EQ(engine::OutputBaseName.view(), "first");
  EXPECT_TRUE(fs::exists(dir_ / "sub" / "first.CSV"));
  EXPECT_FALSE(fs::exists(dir_ / "bare.csv"));
}

TEST_F(ExportRun, AnOutputThatWouldBeTheInputTableIsRefused) {
  // A table whose name holds no ".TPS", exported into its own directory:
  // the output would be named like the table itself.
  tps::fixture::File file;
  file.table("PRE").field("NUMBER", Type::Long).row().set("NUMBER", 1);
  const std::string table = write_table(file, "PLAIN");
  fs::create_directories(dir_ / "elsewhere");
  fs::create_directory_symlink(dir_, dir_ / "here");
  const std::string before = read(dir_ / "PLAIN");

  struct Case {
    std::string input;
    std::string location;
  };
  const Case cases[] = {
      {table, at("")},
      {table, at("here\\")},  // another way to the same directory
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.location);
    window::headless().reset();
    globals::GLO_OUTPUTCSVLOCATION = c.location;
    EXPECT_EQ(run(c.input), engine::kExportDone);
    ASSERT_EQ(messages().size(), 1u);
    const auto& m = messages()[0].request;
    EXPECT_EQ(m.text, "The output file would overwrite the input table " + std::string(engine::OutputFileName.view()));
    EXPECT_EQ(m.caption, "5 OPEN()");
    EXPECT_EQ(m.icon, window::Icon::Asterisk);
    EXPECT_EQ(read(dir_ / "PLAIN"), before);
    EXPECT_EQ(globals::GLO_FETCHEDNO, 0);  // the loop ended at the first write
    EXPECT_EQ(globals::PreviewQueue.records(), 0u);
  }

  // Into another directory the same table exports as usual, under its own name.
  window::headless().reset();
  globals::GLO_OUTPUTCSVLOCATION = at("elsewhere\\");
  EXPECT_EQ(run(table), engine::kExportDone);
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(read(dir_ / "elsewhere" / "PLAIN"), "\"PRE:PTR\",\"PRE:NUMBER\"\r\n\"2\",\"1\"\r\n");
}

TEST(PrepareWhere, LineBreaksBecomeBlanksAndTheTextStartsAtItsFirstCharacter) {
  struct Case {
    const char* where;
    const char* prepared;
    int present;
  };
  const Case cases[] = {
      {"", "", 0},
      {"   ", "", 0},
      {"\r\n\r\n", "", 0},
      {"  PRE:A > 1\r\nAND PRE:B < 2  ", "PRE:A > 1  AND PRE:B < 2", 1},
      {"\r\n  PRE:A = 1", "PRE:A = 1", 1},
  };
  for (const Case& c : cases) {
    engine::reset();
    globals::GLO_WHERE = c.where;
    engine::RunState run;
    engine::PrepareWhere(run);
    EXPECT_EQ(text::clip(globals::GLO_WHERE.view()), c.prepared) << c.where;
    EXPECT_EQ(globals::GLO_WHERE.view().substr(0, 1), std::string_view(c.prepared).substr(0, 1));
    EXPECT_EQ(run.WherePresent, c.present) << c.where;
  }
  engine::reset();
}

}  // namespace
