#include "platform/files/dos_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/files/ascii_file.h"
#include "platform/files/errors.h"
#include "scratch_dir.h"

namespace {

namespace fs = std::filesystem;

class DosOutput : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    name = runtime_dir() + "\\out.csv";
  }
  std::string name;
  files::DosFile dos{[this] { return name; }};

  // The export's way of writing a text: pieces of at most a record's size.
  void write_text(const std::string& text) {
    ASSERT_EQ(dos.open(files::DosFile::kWriteDenyAll), 0);
    std::size_t start = 0, remaining = text.size();
    while (remaining > files::DosFile::kRecordSize) {
      std::memcpy(dos.record(), text.data() + start, files::DosFile::kRecordSize);
      ASSERT_EQ(dos.add(files::DosFile::kRecordSize), 0);
      remaining -= files::DosFile::kRecordSize;
      start += files::DosFile::kRecordSize;
    }
    if (remaining > 0) {
      std::memcpy(dos.record(), text.data() + start, remaining);
      ASSERT_EQ(dos.add(remaining), 0);
    }
    ASSERT_EQ(dos.close(), 0);
  }
};

TEST_F(DosOutput, RecordSizedPiecesAtTheEdgeOfTheRecord) {
  for (std::size_t size : {std::size_t{64000}, std::size_t{64001}, std::size_t{128000}, std::size_t{1}}) {
    ASSERT_EQ(dos.remove() == 0 || files::error_code() == 2, true);
    ASSERT_EQ(dos.create(), 0);
    std::string text(size, 'x');
    for (std::size_t i = 0; i < size; i += 997) text[i] = static_cast<char>('a' + i % 26);
    text.back() = 'Z';
    write_text(text);
    EXPECT_EQ(read(dir_ / "out.csv"), text) << size;
  }
}

TEST_F(DosOutput, AddOfMoreThanTheRecordIsRefusedWithoutWriting) {
  ASSERT_EQ(dos.create(), 0);
  ASSERT_EQ(dos.open(files::DosFile::kWriteDenyAll), 0);
  std::memset(dos.record(), 'r', files::DosFile::kRecordSize);
  EXPECT_EQ(dos.add(64001), 78);
  EXPECT_EQ(files::error_code(), 78);
  EXPECT_EQ(dos.add(64000), 0);
  EXPECT_EQ(dos.add(0), 0);
  EXPECT_EQ(dos.close(), 0);
  EXPECT_EQ(read(dir_ / "out.csv"), std::string(64000, 'r'));
}

TEST_F(DosOutput, EachOpenAppendsAndCreateEmptiesTheFile) {
  write(dir_ / "out.csv", "old content");
  ASSERT_EQ(dos.open(0x11), 0);
  std::memcpy(dos.record(), "abc", 3);
  ASSERT_EQ(dos.add(3), 0);
  ASSERT_EQ(dos.close(), 0);
  EXPECT_EQ(read(dir_ / "out.csv"), "old contentabc");
  ASSERT_EQ(dos.create(), 0);
  EXPECT_EQ(read(dir_ / "out.csv"), "");
  EXPECT_FALSE(dos.is_open());  // CREATE leaves the file closed
  EXPECT_EQ(dos.add(1), 37);
}

TEST_F(DosOutput, TheNameIsTakenAtEachCall) {
  ASSERT_EQ(dos.create(), 0);
  name = runtime_dir() + "/second.csv";
  ASSERT_EQ(dos.create(), 0);
  ASSERT_EQ(dos.open(0x11), 0);
  name = runtime_dir() + "\\third.csv";  // an open file stays the one it was
  std::memcpy(dos.record(), "2", 1);
  ASSERT_EQ(dos.add(1), 0);
  ASSERT_EQ(dos.close(), 0);
  EXPECT_EQ(read(dir_ / "out.csv"), "");
  EXPECT_EQ(read(dir_ / "second.csv"), "2");
  EXPECT_FALSE(fs::exists(dir_ / "third.csv"));
  ASSERT_EQ(dos.open(0x11), 2);
  name = runtime_dir() + "\\second.csv";
  ASSERT_EQ(dos.remove(), 0);
  EXPECT_FALSE(fs::exists(dir_ / "second.csv"));
}

TEST_F(DosOutput, ErrorsOfEachOperation) {
  struct Case {
    const char* what;
    int code;
  };
  std::vector<Case> seen;
  auto note = [&](const char* what, int rc) {
    EXPECT_EQ(rc, files::error_code()) << what;
    seen.push_back({what, rc});
  };
  note("remove missing", dos.remove());
  note("open missing", dos.open(0x11));
  note("close unopened", dos.close());
  note("add unopened", dos.add(1));
  name = runtime_dir() + "\\no such dir\\out.csv";
  note("create in missing dir", dos.create());
  note("open in missing dir", dos.open(0x11));
  name = "";
  note("create unnamed", dos.create());
  name = runtime_dir();
  note("open a directory", dos.open(0x11));
  note("open a directory for reading", dos.open(0x40));
  name = runtime_dir() + "\\out.csv";
  ASSERT_EQ(dos.create(), 0);
  ASSERT_EQ(dos.open(0x40), 0);
  note("open twice", dos.open(0x11));
  note("create while open", dos.create());
  note("remove while open", dos.remove());
  ASSERT_EQ(dos.close(), 0);
  ASSERT_EQ(dos.open(0x40), 0);  // read only
  note("add to a file opened for reading", dos.add(1));
  ASSERT_EQ(dos.close(), 0);

  const Case expected[] = {
      {"remove missing", 2},   {"open missing", 2},        {"close unopened", 37},
      {"add unopened", 37},    {"create in missing dir", 3}, {"open in missing dir", 3},
      {"create unnamed", 2},   {"open a directory", 5},    {"open a directory for reading", 5},
      {"open twice", 52},
      {"create while open", 52}, {"remove while open", 52}, {"add to a file opened for reading", 5},
  };
  ASSERT_EQ(seen.size(), std::size(expected));
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].code, expected[i].code) << expected[i].what;
}

#ifndef _WIN32
TEST_F(DosOutput, AFullDiskSaysSo) {
  // The null device that is always full, under the output's name.
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "this system has no /dev/full";
  fs::create_symlink("/dev/full", dir_ / "out.csv");
  ASSERT_EQ(dos.open(files::DosFile::kWriteDenyAll), 0);
  std::memcpy(dos.record(), "abc", 3);
  EXPECT_EQ(dos.add(3), files::kFileSystemError);
  EXPECT_EQ(files::error_code(), files::kFileSystemError);
  EXPECT_EQ(files::file_error_code(), std::to_string(ENOSPC));
  EXPECT_TRUE(files::file_error().starts_with("Disk full")) << files::file_error();
  EXPECT_EQ(dos.close(), 0);
}
#endif

TEST_F(DosOutput, DenyAllKeepsOtherOpensOut) {
  ASSERT_EQ(dos.create(), 0);
  ASSERT_EQ(dos.open(files::DosFile::kWriteDenyAll), 0);
  files::DosFile other([this] { return name; });
  EXPECT_EQ(other.open(files::DosFile::kWriteDenyAll), 5);
  EXPECT_EQ(other.open(0x40), 5);
  EXPECT_EQ(other.create(), 5);
  EXPECT_EQ(other.remove(), 5);
  ASSERT_EQ(dos.close(), 0);
  EXPECT_EQ(other.open(files::DosFile::kWriteDenyAll), 0);
  EXPECT_EQ(other.close(), 0);
}

TEST_F(DosOutput, RecordsStartBlankAndTheAsciiDeclarationTouchesNothing) {
  EXPECT_EQ(std::string(dos.record(), files::DosFile::kRecordSize), std::string(64000, ' '));
  write(dir_ / "out.csv", "kept");
  {
    files::AsciiFile output([this] { return name; });
    EXPECT_EQ(std::string(output.record(), files::AsciiFile::kRecordSize), std::string(65520, ' '));
    EXPECT_EQ(output.name(), name);
  }
  EXPECT_EQ(read(dir_ / "out.csv"), "kept");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
