#include "bench/support/large_table.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "platform/tps/file_builder.h"
#include "platform/tps/fixture.h"

namespace bench {

namespace {

namespace fs = std::filesystem;
using tps::fixture::Type;

class Scratch {
 public:
  Scratch() {
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("qm_bench_" + std::to_string(::getpid()) + "_" + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

tps::TableDef layout(const LargeTable& table) {
  tps::fixture::File file;
  auto& t = file.table(table.prefix);
  t.field("NUMBER", Type::Long)
      .field("NAME", Type::String, 20)
      .field(table.date_label, Type::Date)
      .field("AT", Type::Time)
      .field("BALANCE", Type::Decimal, 9, 2)
      .field("CITY", Type::CString, 30)
      .field("VISITS", Type::Short)
      .field("RATE", Type::Real)
      .field("STATUS", Type::Byte)
      .field("NOTE", Type::String, 22);
  tps::TableDef def = t.definition();
  const tps::FieldDef& last = def.fields.back();
  def.record_length = static_cast<std::uint16_t>(last.offset + last.length);
  return def;
}

void put(std::string& record, std::size_t at, const void* value, std::size_t n) {
  std::memcpy(record.data() + at, value, n);
}

void fill(std::string& record, const LargeTable& table, std::uint32_t i) {
  static const char* cities[] = {"Paris", "Amsterdam", "Lisboa", "Zagreb", "Oslo"};
  record.assign(100, '\0');
  const std::int32_t number = static_cast<std::int32_t>(i);
  put(record, 0, &number, 4);
  const std::string name = "Customer " + std::to_string(i * 2654435761u % 1000000);
  std::memset(record.data() + 4, ' ', 20);
  put(record, 4, name.data(), name.size());
  const std::uint32_t year = static_cast<std::uint32_t>(table.first_year) + i % static_cast<std::uint32_t>(table.years);
  const unsigned char date[4] = {static_cast<unsigned char>(1 + i % 28), static_cast<unsigned char>(1 + i % 12),
                                 static_cast<unsigned char>(year & 0xFF), static_cast<unsigned char>(year >> 8)};
  put(record, 24, date, 4);
  const unsigned char at[4] = {static_cast<unsigned char>(i % 100), static_cast<unsigned char>(i % 60),
                               static_cast<unsigned char>(i / 60 % 60), static_cast<unsigned char>(i / 3600 % 24)};
  put(record, 28, at, 4);
  const std::string balance = tps::fixture::decimal_bytes(std::to_string(i % 100000) + ".25", 9, 2);
  put(record, 32, balance.data(), balance.size());
  const char* city = cities[i % 5];
  put(record, 37, city, std::strlen(city));
  const std::int16_t visits = static_cast<std::int16_t>(i % 1000);
  put(record, 67, &visits, 2);
  const double rate = 0.125 * (i % 64);
  put(record, 69, &rate, 8);
  record[77] = static_cast<char>(i % 3);
  std::memset(record.data() + 78, ' ', 22);
  if (i % 7 == 0) put(record, 78, "call before noon", 16);
}

}  // namespace

const fs::path& scratch_dir() {
  static Scratch scratch;
  return scratch.path();
}

const fs::path& large_table(const LargeTable& table, std::uint32_t rows) {
  static std::map<std::string, fs::path> built;
  const std::string name = table.prefix + std::to_string(rows) + ".TPS";
  if (auto found = built.find(name); found != built.end()) return found->second;
  const fs::path file = scratch_dir() / name;  // the folder is made here, in the parent
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    tps::FileBuilder builder;
    const std::size_t index = builder.add_table(layout(table));
    std::string record;
    for (std::uint32_t i = 0; i < rows; ++i) {
      fill(record, table, i);
      if (builder.add_row(index, record) == 0) break;
    }
    const bool ok = builder.write(file);
    if (!ok) std::fprintf(stderr, "writing %s: %s\n", file.c_str(), builder.error().c_str());
    ::_exit(ok ? 0 : 1);  // no exit handlers: the scratch folder belongs to the parent
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the %u record table could not be written\n", rows);
    std::exit(1);
  }
  return built.emplace(name, file).first->second;
}

}  // namespace bench
