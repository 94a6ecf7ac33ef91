// Tables enciphered with an owner password: they fail plainly while the
// password-to-key step is unknown, open with their key words through the test
// entry point, and a wrong key reads as an invalid data file.
#include <gtest/gtest.h>

#include "reader_support.h"

namespace {

using reader_test::sample;
using reader_test::Table;

// The key words of the sample's owner password "*137*".
const tps::Key kDefaultsKey = {0x62a152d0, 0x0ba42f81, 0x249c74ca, 0xabecd5f4,
                               0x9a331a58, 0xa9ce9d6c, 0x6e4d6938, 0x634f34d0,
                               0x3a461570, 0x75bab2aa, 0x999b1194, 0x25556d7a,
                               0x283aa2d8, 0x66c45ec4, 0x5a7946d0, 0x5b554d60};

TEST(ReaderEncrypted, WithoutAKeyTheTableSaysItIsEncrypted) {
  QM_NEEDS_SAMPLES();
  for (const char* owner : {"", "*137*", "wrong"}) {
    SCOPED_TRACE(owner);
    Table t(sample("encrypted/Defaults.tps"));
    t.owner = owner;
    EXPECT_EQ(t.file.open(0), files::kFileSystemError);
    EXPECT_EQ(files::error_code(), files::kFileSystemError);
    EXPECT_EQ(files::file_error_code(), "TPS-ENCRYPTED");
    EXPECT_NE(files::file_error().find("encrypted"), std::string::npos);
    EXPECT_NE(files::file_error().find("password"), std::string::npos);
    EXPECT_FALSE(t.file.is_open());
  }
}

TEST(ReaderEncrypted, WithItsKeyTheTableOpensAndShowsItsDefinition) {
  QM_NEEDS_SAMPLES();
  Table t(sample("encrypted/Defaults.tps"));
  ASSERT_EQ(t.file.open_with_key(0, kDefaultsKey), 0) << files::file_error();
  const tps::TableDef& def = t.file.definition();
  EXPECT_EQ(def.record_length, 669);
  const char* names[] = {"MAC", "HD_SN", "REGISTEREDTO", "EXPIRATIONDATE", "INSTALLDATE",
                         "DEALER", "PERSONALCODE", "UNLOCKCODE", "STATUS", "CUSTOMERCODE"};
  const char* types[] = {"STRING", "STRING", "CSTRING", "DATE", "DATE",
                         "CSTRING", "CSTRING", "CSTRING", "CSTRING", "DECIMAL"};
  ASSERT_EQ(def.fields.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    std::string label = t.file.property(tps::prop::kLabel, i + 1);
    for (auto& c : label) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(label, names[i]);
    EXPECT_EQ(t.file.property(tps::prop::kType, i + 1), types[i]);
    EXPECT_EQ(t.file.property(tps::prop::kName, i + 1).substr(0, 4), "LIC:");
  }
  EXPECT_EQ(t.file.property(tps::prop::kSize, 3), "255");
  EXPECT_EQ(t.file.property(tps::prop::kSize, 10), "11");  // DECIMAL(10): 6 bytes
  ASSERT_EQ(def.keys.size(), 1u);
  EXPECT_EQ(def.keys[0].flags, tps::format::kKeyNocase | tps::format::kKeyPrimary);
  EXPECT_EQ(def.keys[0].components, (std::vector<tps::KeyComponent>{{2, 0}}));
  EXPECT_EQ(t.file.records(), 0);
  EXPECT_EQ(t.file.next(), files::kRecordNotAvailable);
}

TEST(ReaderEncrypted, AWrongKeyIsAnInvalidDataFile) {
  QM_NEEDS_SAMPLES();
  tps::Key wrong = kDefaultsKey;
  wrong[5] ^= 0x100;
  Table t(sample("encrypted/Defaults.tps"));
  EXPECT_EQ(t.file.open_with_key(0, wrong), files::kInvalidDataFile);
  EXPECT_FALSE(t.file.is_open());
}

TEST(ReaderEncrypted, APlainTableOpensWithAPasswordGiven) {
  QM_NEEDS_SAMPLES();
  Table t(sample("vendor-examples/Tutor/CUSTOMER.TPS"));
  t.owner = "*137*";
  ASSERT_EQ(t.file.open(0), 0);
  EXPECT_EQ(t.file.records(), 7);
}

}  // namespace
