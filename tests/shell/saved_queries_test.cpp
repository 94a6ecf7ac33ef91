// The saved-query store on QMXSETUP.TPS in the working directory: save and
// the three loads, the tag, the SELECT/WHERE texts and the field list's text
// form, the table created on first use, open and create failures, a failed
// insert, one rewrite per save, the alias, and the file as a real table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store_support.h"

namespace {

using namespace store_test;
using globals::FieldListQueue;

struct Entry {
  std::string label, type, date, time, pdate, ptime;
  long count;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> field_list() {
  std::vector<Entry> out;
  globals::FieldListRecord r;
  for (std::size_t i = 1; i <= FieldListQueue.records(); ++i) {
    FieldListQueue.peek(i, r);
    out.push_back({r.ALF_DAFIELD.str(), r.ALF_DATYPE.str(), std::string(r.ALF_DATE.clipped()),
                   std::string(r.ALF_TIME.clipped()), std::string(r.ALF_POSSIBLEDATE.clipped()),
                   std::string(r.ALF_POSSIBLETIME.clipped()), r.ALF_DACOUNT});
  }
  return out;
}

class SavedQueries : public Store {};

TEST_F(SavedQueries, SavedQueryComesBackByNameInAnyLetterCase) {
  globals::GLO_TPSPASSWORD = "secret";
  globals::GLO_INPUTTPSLOCATION = "C:\\DATA\\CUSTOMER.TPS";
  globals::GLO_OUTPUTCSVLOCATION = "C:\\OUT\\";
  globals::GLO_DATESTAMPINEXPORT = 1;
  globals::GLO_NULLEMPTYSTR = 1;
  globals::GLO_FIELDSBYNAME = 1;
  globals::GLO_DATEFORMAT = "@D17";
  globals::GLO_DATETIMESEPARATOR = "-";
  globals::GLO_TIMEFORMAT = "@T08";
  globals::GLO_NOPREVIEW = 1;
  globals::LastRecordCount = 1234;
  add_field("CUS:NAME", "STRING", 1);
  add_field("CUS:BORN", "LONG", 2, "D", "", "d");
  add_field(" CUS:LEAD", "TIME", -3, "", "T", "", "t");
  const auto list = field_list();
  save("Customers", "CUS:NAME,CUS:BORN", "CUS:BORN > 4");
  ASSERT_EQ(rows().size(), 1u);
  EXPECT_EQ(m_.SavedSysId, 1);

  globals::reset();
  globals::GLO_WorkingDir = runtime_dir();
  globals::CmdQueryName = "cUSTOMERS";
  shell::LoadQueryByName(m_);
  EXPECT_EQ(m_.LoadedByName, 1);
  EXPECT_EQ(globals::GLO_QUERYNAME.view(), "Customers");
  EXPECT_EQ(globals::GLO_TPSPASSWORD.view(), "secret");
  EXPECT_EQ(globals::GLO_INPUTTPSLOCATION.view(), "C:\\DATA\\CUSTOMER.TPS");
  EXPECT_EQ(globals::GLO_OUTPUTCSVLOCATION.view(), "C:\\OUT\\");
  EXPECT_EQ(globals::GLO_DATESTAMPINEXPORT, 1);
  EXPECT_EQ(globals::GLO_NULLEMPTYSTR, 1);
  EXPECT_EQ(globals::GLO_FIELDSBYNAME, 1);
  EXPECT_EQ(globals::GLO_DATEFORMAT.view(), "@D17");
  EXPECT_EQ(globals::GLO_DATETIMESEPARATOR.view(), "-");
  EXPECT_EQ(globals::GLO_TIMEFORMAT.view(), "@T08");
  EXPECT_EQ(globals::GLO_NOPREVIEW, 1);
  EXPECT_EQ(globals::LastRecordCount, 1234);
  EXPECT_EQ(globals::GLO_SELECT.view(), "CUS:NAME,CUS:BORN");
  EXPECT_EQ(globals::GLO_WHERE.view(), "CUS:BORN > 4");
  EXPECT_EQ(field_list(), list);

  // Saved again under the name in capitals: the same record, the name as typed now.
  globals::GLO_QUERYNAME = "CUSTOMERS";
  m_.FieldListPresent = 1;
  shell::SaveQuery(m_);
  EXPECT_EQ(rows(), (std::vector<Row>{{1, 1, "CUSTOMERS"}}));

  // A name that is not stored loads nothing and leaves the form alone.
  globals::CmdQueryName = "Orders";
  globals::GLO_QUERYNAME = "kept";
  shell::LoadQueryByName(m_);
  EXPECT_EQ(m_.LoadedByName, 0);
  EXPECT_EQ(globals::GLO_QUERYNAME.view(), "kept");
}

TEST_F(SavedQueries, TagMovesToTheQuerySavedLastAndLoadsFindItByTagAndNumber) {
  save("A", "a");
  save("B", "b");
  save("C", "c");
  EXPECT_EQ(rows(), (std::vector<Row>{{1, 0, "A"}, {2, 0, "B"}, {3, 1, "C"}}));
  save("a", "a again");  // an update of A takes the tag
  EXPECT_EQ(rows(), (std::vector<Row>{{1, 1, "a"}, {2, 0, "B"}, {3, 0, "C"}}));
  EXPECT_EQ(m_.SavedSysId, 1);

  globals::GLO_SELECT = "";
  shell::LoadTaggedQuery(m_);
  EXPECT_EQ(globals::GLO_QUERYNAME.view(), "a");
  EXPECT_EQ(globals::GLO_SELECT.view(), "a again");

  m_.PickedSysId = 2;
  shell::LoadQueryBySysId(m_);
  EXPECT_EQ(globals::GLO_QUERYNAME.view(), "B");
  EXPECT_EQ(globals::GLO_SELECT.view(), "b");
  m_.PickedSysId = 99;  // no such record: the form stays
  shell::LoadQueryBySysId(m_);
  EXPECT_EQ(globals::GLO_QUERYNAME.view(), "B");
}

TEST_F(SavedQueries, EmptyFieldListSavesNothingAndABlankNameIsAName) {
  globals::GLO_QUERYNAME = "Nothing";
  m_.FieldListPresent = 0;
  shell::SaveQuery(m_);
  EXPECT_FALSE(fs::exists(dir_ / "QMXSETUP.TPS"));
  save("");
  save("");
  EXPECT_EQ(rows(), (std::vector<Row>{{1, 1, ""}}));
}

TEST_F(SavedQueries, SelectAndWhereTextsComeBackExactly) {
  struct Case {
    std::string select, where;
  };
  const std::string long_text = std::string(49990, 'x') + "end      ";  // 49,999 with trailing blanks
  ASSERT_EQ(long_text.size(), 49999u);
  const std::vector<Case> cases = {
      {long_text, long_text},
      {"CUS:NAME   ", "  CUS:ID = 1  "},
      {"", ""},
  };
  for (const Case& c : cases) {
    save("Q", c.select, c.where);
    globals::GLO_SELECT = "stale";
    globals::GLO_WHERE = "stale";
    globals::CmdQueryName = "Q";
    shell::LoadQueryByName(m_);
    EXPECT_EQ(globals::GLO_SELECT.str(), c.select);
    EXPECT_EQ(globals::GLO_WHERE.str(), c.where);
  }
}

TEST_F(SavedQueries, FieldListTextFormBothWays) {
  add_field("CUS:NAME", "STRING", 1);
  add_field("CUS:BORN", "LONG", 2, "D", "", "d");
  const std::string text = "CUS:NAME|STRING|||||1|*CUS:BORN|LONG|D||d||2|*";
  EXPECT_EQ(text.size(), 46u);
  EXPECT_EQ(shell::FieldListText(), text);
  const auto list = field_list();
  FieldListQueue.free();
  m_.FieldsText = text;
  shell::ParseFieldsText(m_);
  EXPECT_EQ(field_list(), list);
}

TEST_F(SavedQueries, FieldListTextThisProgramDidNotWriteIsReadSafely) {
  struct Case {
    std::string text;
    std::vector<Entry> expected;
  };
  const std::vector<Case> cases = {
      {"A|B|||||1|", {}},                                          // no "*": the list empties
      {"A|B|||||1|*C|D|||||2|", {{"A", "B", "", "", "", "", 1}}},  // a last entry without "*" is dropped
      {"A|B|*", {{"A", "B", "*", "", "", "", 0}}},                // too few "|": the rest is empty
      {"*", {{"*", "", "", "", "", "", 0}}},
      {"A|B|DDDD|TTTT|x|y| -12.9|*", {{"A", "B", "DDD", "TTT", "x", "y", -12}}},
      {"A|B|||||x|*", {{"A", "B", "", "", "", "", 0}}},
      {std::string("A\0B|T|||||1|*", 13), {{"A", "T", "", "", "", "", 1}}},
      {"**", {{"**", "", "", "", "", "", 0}, {"", "", "", "", "", "", 0}}},
      {"A|B|||||99999999999|*", {{"A", "B", "", "", "", "", 2147483647}}},
  };
  for (const Case& c : cases) {
    add_field("OLD", "LONG", 9);
    m_.FieldsText = c.text;
    shell::ParseFieldsText(m_);
    EXPECT_EQ(field_list(), c.expected) << c.text;
  }
  // An empty text leaves the list as it is.
  FieldListQueue.free();
  add_field("KEPT", "LONG", 1);
  m_.FieldsText.clear();
  shell::ParseFieldsText(m_);
  EXPECT_EQ(FieldListQueue.records(), 1u);
}

TEST_F(SavedQueries, TableIsCreatedOnFirstUseAndAnEmptyOneLoadsNothing) {
  EXPECT_FALSE(fs::exists(dir_ / "QMXSETUP.TPS"));
  globals::GLO_QUERYNAME = "start";
  shell::LoadTaggedQuery(m_);
  EXPECT_TRUE(fs::is_regular_file(dir_ / "QMXSETUP.TPS"));
  EXPECT_TRUE(rows().empty());
  EXPECT_EQ(globals::GLO_QUERYNAME.view(), "start");
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(shell::Access_QMXSETUP->OpenCount(), 0);
  EXPECT_FALSE(shell::Access_QMXSETUP->PhysicallyOpen());
}

TEST_F(SavedQueries, TableThatCannotBeOpenedOrCreatedEndsTheProgramAfterItsMessage) {
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
    std::string caption, text;
  };
  const std::vector<Case> cases = {
      {"directory", [](const fs::path& d) { fs::create_directory(d / "QMXSETUP.TPS"); }, "File Access Error",
       "File QMXSETUP.TPS could not be opened.  Error: Access Denied (5).  Press OK to end this application"},
      {"damaged", [](const fs::path& d) { write(d / "QMXSETUP.TPS", std::string(3000, '\x5A')); },
       "File Access Error", ""},
      {"working directory gone", [](const fs::path& d) { fs::remove_all(d); }, "File Creation Error", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path d = dir_ / c.what;
    fs::create_directories(d);
    fs::current_path(d);
    globals::GLO_WorkingDir = "";  // stays in the directory made current here
    c.make(d);
    window::headless().reset();
    halted_ = 0;
    shell::LoadTaggedQuery(m_);
    ASSERT_FALSE(messages().empty());
    const auto& first = messages().front().request;
    EXPECT_EQ(first.caption, c.caption);
    if (!c.text.empty()) {
      EXPECT_EQ(first.text, c.text);
    }
    EXPECT_NE(first.text.find("  Press OK to end this application"), std::string::npos) << first.text;
    EXPECT_EQ(first.buttons, window::BUTTON_OK);
    EXPECT_GE(halted_, 1);
    fs::current_path(dir_);
  }
}

TEST_F(SavedQueries, FailedInsertLeavesEveryTagAsItWas) {
  save("Tagged");
  // A table whose record numbers are used up refuses the new query (94).
  std::string bytes = read(dir_ / "QMXSETUP.TPS");
  tps::bytes::store_u32le(bytes.data() + 0x14, 0xFFFFFFFFu);  // the same in either byte order
  write(dir_ / "QMXSETUP.TPS", bytes);
  window::headless().reset();
  save("New");
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].request.caption, "Record Insert Error");
  EXPECT_EQ(m_.SavedSysId, 0);
  EXPECT_EQ(rows(), (std::vector<Row>{{1, 1, "Tagged"}}));
}

TEST_F(SavedQueries, OneSaveRewritesTheFileOnce) {
  for (int i = 0; i < 20; ++i) save(std::string(1, 'Q').append(std::to_string(i)));
  const std::uint32_t before = changes();
  save("Q3");
  EXPECT_EQ(changes(), before + 1);
  save("Q20");
  EXPECT_EQ(changes(), before + 2);
  const auto all = rows();
  ASSERT_EQ(all.size(), 21u);
  for (const Row& r : all) EXPECT_EQ(r.tag, r.name == "Q20" ? 1 : 0) << r.name;
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir_)) files += e.path().filename().string().rfind("QMXSETUP", 0) == 0;
  EXPECT_EQ(files, 1);
}

TEST_F(SavedQueries, AliasSeesTheStoreAndDeletesForIt) {
  save("One");
  save("Two");
  abc::FileManager& alias = *shell::Access_QMXSETUPAlias;
  abc::RelationManager& relate = *shell::Relate_QMXSETUPAlias;
  ASSERT_EQ(relate.Open(), 0);
  shell::QMXSETUPAlias->clear();
  shell::QMX2().QUERYNAME = "two";
  ASSERT_EQ(alias.Fetch(shell::QMX_ByQueryName), 0);
  EXPECT_EQ(shell::QMX2().SYSID, 2);

  // While the alias holds the file open, a save through QMXSETUP is seen by it.
  save("Three");
  shell::QMXSETUPAlias->clear();
  shell::QMX2().QUERYNAME = "Three";
  ASSERT_EQ(alias.Fetch(shell::QMX_ByQueryName), 0);

  window::headless().answer(window::BUTTON_NO);
  EXPECT_NE(relate.Delete(1), 0);
  EXPECT_EQ(rows().size(), 3u);
  window::headless().answer(window::BUTTON_YES);
  EXPECT_EQ(relate.Delete(1), 0);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(messages()[1].request.caption, "Confirm Delete");
  EXPECT_EQ(messages()[1].request.text, "Are you sure you want to delete the highlighted record?");
  // Gone for QMXSETUP at once, while the alias is still open.
  globals::CmdQueryName = "Three";
  shell::LoadQueryByName(m_);
  EXPECT_EQ(m_.LoadedByName, 0);
  EXPECT_EQ(rows(), (std::vector<Row>{{1, 0, "One"}, {2, 0, "Two"}}));
  relate.Close();
  EXPECT_FALSE(alias.PhysicallyOpen());
}

TEST_F(SavedQueries, StoreIsATableTheExportEngineReads) {
  save("Alpha", "QMX:QUERYNAME", "");
  save("Beta");
  ASSERT_EQ(run(at("QMXSETUP.TPS")), 0);
  const auto out = lines();
  ASSERT_EQ(out.size(), 3u) << csv();
  EXPECT_EQ(out[0],
            "\"QMX:PTR\",\"QMX:SYSID\",\"QMX:TAG\",\"QMX:QUERYNAME\",\"QMX:TPSPASSWORD\",\"QMX:INPUTTPSLOCATION\","
            "\"QMX:OUTPUTCSVLOCATION\",\"QMX:DATESTAMPINEXPORT\",\"QMX:NULLEMPTYSTR\",\"QMX:FIELDSBYNAME\","
            "\"QMX:DATEFORMAT\",\"QMX:DATETIMESEPARATOR\",\"QMX:TIMEFORMAT\",\"QMX:NOPREVIEW\",\"QMX:RECORDS\","
            "\"QMX:SELECT\",\"QMX:WHERE\",\"QMX:FIELDS\"");
  const std::string out_dir = runtime_dir() + "\\";
  EXPECT_EQ(out[1], "\"2\",\"1\",\"0\",\"Alpha\",\"\",\"\",\"" + out_dir +
                        "\",\"0\",\"0\",\"0\",\"@D06\",\"b\",\"@T04\",\"0\",\"0\",\"QMX:QUERYNAME\",\"\","
                        "\"CUS:NAME|STRING|||||1|*\"");
  EXPECT_EQ(out[2], "\"3\",\"2\",\"1\",\"Beta\",\"\",\"\",\"" + out_dir +
                        "\",\"0\",\"0\",\"0\",\"@D06\",\"b\",\"@T04\",\"0\",\"0\",\"\",\"\",\"CUS:NAME|STRING|||||1|*\"");
}

}  // namespace
