// The file and relation managers over a keyed table: lazy opening, creation
// of a missing file and the failures that end the program, one write per
// Close seen at once through a second declaration of the same file, the
// quiet and the reported results of the record operations, auto-numbering,
// and the relation manager's confirmed delete with its retry.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/abc/file_manager.h"
#include "platform/files/errors.h"
#include "platform/tps/bytes.h"
#include "platform/tps/fixture.h"
#include "platform/window/headless.h"
#include "tests/platform/files/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using tps::fixture::NOCASE;
using tps::fixture::OPT;
using tps::fixture::PRIMARY;
using tps::fixture::Type;

constexpr std::size_t kById = 0, kByName = 1;

tps::TableDef layout() {
  tps::fixture::File file;
  auto& t = file.table("ITM");
  t.field("ID", Type::Long).field("NAME", Type::CString, 20).blob("NOTE").binary();
  t.key("BYID", "ID", PRIMARY | OPT).key("BYNAME", "NAME", NOCASE);
  t.row();
  return t.definition();
}

class FileManagerTest : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    fs::current_path(dir_);
    window::headless().reset();
    abc::ErrorManager::set_halt([this] { ++halted_; });
    errors_.Init(status_);
  }
  void TearDown() override {
    managers_.clear();
    files_.clear();
    abc::ErrorManager::set_halt(nullptr);
    window::headless().reset();
    ScratchDir::TearDown();
  }

  // A declaration of ITEMS.TPS and its manager, set up as the dictionary does.
  abc::FileManager& declare(const std::string& label = "ITEMS") {
    files_.push_back(std::make_unique<abc::KeyedFile>(label, "ITEMS.TPS", layout()));
    managers_.push_back(std::make_unique<abc::FileManager>());
    abc::FileManager& m = *managers_.back();
    m.Init();
    m.InitFile(*files_.back(), errors_);
    m.AddKey(kById, label + ":ById", true);
    m.AddKey(kByName, label + ":ByName");
    return m;
  }
  static void set(abc::FileManager& m, std::int32_t id, const std::string& name) {
    std::string& b = m.File->buffer();
    tps::bytes::store_u32le(b.data(), static_cast<std::uint32_t>(id));
    std::memset(b.data() + 4, 0, 20);
    std::memcpy(b.data() + 4, name.data(), name.size());
  }
  static std::int32_t id(abc::FileManager& m) {
    return static_cast<std::int32_t>(tps::bytes::u32le(m.File->buffer().data()));
  }
  static std::string name(abc::FileManager& m) { return m.File->buffer().c_str() + 4; }
  std::uint32_t changes() const {
    const std::string bytes = read(dir_ / "ITEMS.TPS");
    return bytes.size() < 0x1C ? 0 : tps::bytes::u32le(bytes.data() + 0x18);
  }
  std::vector<std::string> captions() const {
    std::vector<std::string> out;
    for (const auto& m : window::headless().messages()) out.push_back(m.request.caption);
    return out;
  }

  abc::ErrorStatus status_;
  abc::ErrorManager errors_;
  std::vector<std::unique_ptr<abc::KeyedFile>> files_;
  std::vector<std::unique_ptr<abc::FileManager>> managers_;
  int halted_ = 0;
};

TEST_F(FileManagerTest, OpenIsLazyAndTheFirstUseCreatesTheFile) {
  abc::FileManager& m = declare();
  ASSERT_EQ(m.Open(), 0);
  EXPECT_EQ(m.OpenCount(), 1);
  EXPECT_FALSE(fs::exists(dir_ / "ITEMS.TPS"));
  EXPECT_EQ(m.UseFile(abc::UseType_Returns), 0);
  EXPECT_TRUE(fs::is_regular_file(dir_ / "ITEMS.TPS"));
  EXPECT_EQ(m.File->table.records(), 0);
  EXPECT_EQ(m.Close(), 0);
  EXPECT_FALSE(m.PhysicallyOpen());
  EXPECT_TRUE(window::headless().messages().empty());
}

TEST_F(FileManagerTest, UsesThatCannotWorkAreReportedAndEndTheProgram) {
  struct Case {
    const char* what;
    std::function<void(abc::FileManager&)> prepare;
    bool open;
    std::string caption, text;
  };
  const std::vector<Case> cases = {
      {"used before Open", [](abc::FileManager&) {}, false, "File Usage Error",
       "Attempt to use file (ITEMS.TPS) before it was opened  Press OK to end this application"},
      {"missing without CREATE", [](abc::FileManager& m) { m.Create = 0; }, true, "File Access Error",
       "File ITEMS.TPS could not be opened.  Error: File Not Found (2).  Press OK to end this application"},
      {"another layout",
       [this](abc::FileManager&) {
         tps::fixture::File other;
         other.table("OTH").field("X", Type::Long).row().set("X", 1);
         other.write(dir_ / "ITEMS.TPS");
       },
       true, "File Access Error",
       "File ITEMS.TPS could not be opened.  Error: Invalid Record Declaration (47).  Press OK to end this application"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(dir_ / "ITEMS.TPS");
    window::headless().reset();
    halted_ = 0;
    abc::FileManager& m = declare();
    c.prepare(m);
    if (c.open) m.Open();
    EXPECT_EQ(m.UseFile(), abc::Level_Fatal);
    ASSERT_EQ(window::headless().messages().size(), 1u);
    EXPECT_EQ(window::headless().messages()[0].request.caption, c.caption);
    EXPECT_EQ(window::headless().messages()[0].request.text, c.text);
    EXPECT_EQ(halted_, 1);
  }
}

TEST_F(FileManagerTest, ChangesAreWrittenOnceAtTheLastCloseAndSeenThroughTheOtherDeclaration) {
  abc::FileManager& a = declare("ITEMS");
  abc::FileManager& b = declare("ALIAS");
  a.Open();
  a.UseFile();
  const std::uint32_t created = changes();
  a.Open();  // a nested use
  for (const char* n : {"one", "two", "three"}) {
    a.PrimeRecord();
    set(a, id(a), n);
    ASSERT_EQ(a.Insert(), 0);
  }
  a.BlobWrite(1, 0, "note");
  ASSERT_EQ(a.Update(), 0);
  EXPECT_EQ(changes(), created);  // nothing written yet

  // The other declaration reads what the first holds: the pending changes
  // are written first.
  b.Open();
  b.File->clear();
  set(b, 0, "THREE");
  ASSERT_EQ(b.Fetch(kByName), 0);
  EXPECT_EQ(id(b), 3);
  EXPECT_EQ(b.BlobRead(1, 0, 99), "note");
  EXPECT_EQ(changes(), created + 1);
  b.Close();

  set(a, 2, "");
  ASSERT_EQ(a.Fetch(kById), 0);
  set(a, 2, "TWO");
  ASSERT_EQ(a.Update(), 0);
  EXPECT_EQ(a.Close(), 0);
  EXPECT_EQ(changes(), created + 1);  // still held by the outer use
  EXPECT_EQ(a.Close(), 0);
  EXPECT_EQ(changes(), created + 2);
  EXPECT_TRUE(window::headless().messages().empty());

  tps::KeyedTable plain;
  ASSERT_EQ(plain.open(dir_ / "ITEMS.TPS"), 0);
  EXPECT_EQ(plain.records(), 3);
}

TEST_F(FileManagerTest, RecordOperationsAnswerQuietlyOrReportTheirFailure) {
  abc::FileManager& m = declare();
  m.Open();
  m.PrimeRecord();
  set(m, id(m), "Apple");
  ASSERT_EQ(m.Insert(), 0);
  EXPECT_EQ(id(m), 1);

  // A miss and the end of the file: level 5, the buffer cleared, nothing shown.
  set(m, 0, "pear");
  EXPECT_EQ(m.Fetch(kByName), abc::Level_Notify);
  EXPECT_EQ(name(m), "");
  m.File->set();
  EXPECT_EQ(m.Next(), 0);
  EXPECT_EQ(m.Next(), abc::Level_Notify);
  EXPECT_TRUE(window::headless().messages().empty());

  // PrimeRecord keeping the buffer numbers it and keeps the rest.
  set(m, 0, "APPLE");
  ASSERT_EQ(m.PrimeRecord(true), 0);
  EXPECT_EQ(id(m), 2);
  EXPECT_EQ(name(m), "APPLE");
  EXPECT_EQ(m.Insert(), abc::Level_Notify);  // the name is taken, whatever its case
  ASSERT_EQ(window::headless().messages().size(), 1u);
  EXPECT_EQ(window::headless().messages()[0].request.caption, "Duplicate Key Error");
  EXPECT_EQ(window::headless().messages()[0].request.text,
            "Adding this record creates a duplicate entry for the key: ITEMS:ByName");
  m.Close();
  EXPECT_EQ(halted_, 0);
}

TEST_F(FileManagerTest, RelationManagerDeletesAfterConfirmationAndOffersARetry) {
  abc::FileManager& m = declare();
  abc::RelationManager r;
  r.Init(m, 1);
  ASSERT_EQ(r.Open(), 0);
  for (const char* n : {"one", "two"}) {
    m.PrimeRecord();
    set(m, id(m), n);
    m.Insert();
  }
  m.Flush();
  const std::uint32_t before = changes();
  set(m, 1, "");
  ASSERT_EQ(m.Fetch(kById), 0);

  window::headless().answer(window::BUTTON_NO);
  EXPECT_EQ(r.Delete(1), abc::Level_Notify);
  EXPECT_EQ(m.File->table.records(), 2);

  window::headless().answer(window::BUTTON_YES);
  EXPECT_EQ(r.Delete(1), 0);
  EXPECT_EQ(m.File->table.records(), 1);
  EXPECT_EQ(changes(), before + 1);  // a delete is written at once

  // The row is gone by the time it is deleted again: the failure is shown and
  // a retry offered; Yes tries again, No gives up.
  window::headless().reset();
  window::headless()
      .answer(window::BUTTON_YES)
      .answer(window::BUTTON_OK)
      .answer(window::BUTTON_YES)
      .answer(window::BUTTON_OK)
      .answer(window::BUTTON_NO);
  EXPECT_EQ(r.Delete(1), abc::Level_Notify);
  EXPECT_EQ(captions(), (std::vector<std::string>{"Confirm Delete", "Record was not deleted", "Record Delete Error",
                                                  "Record was not deleted", "Record Delete Error"}));
  EXPECT_EQ(window::headless().messages()[1].request.text,
            "An error (Record Not Found (35)) was experienced when deleting a record from the ITEMS.TPS file.");
  r.Close();
  r.Kill();
}

}  // namespace
