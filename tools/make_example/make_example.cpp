// make_example <folder>: writes the bundled example into the folder: a table
// of made-up customers, CUSTOMER.TPS, written with our TopSpeed writer, an
// empty OUT folder, and QMXSETUP.TPS holding the stored query "Example",
// written by the program's own saved-query store after the engine learned
// the table's fields, so the example is what the program itself would keep.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/engine_state.h"
#include "engine/export_run.h"
#include "globals/globals.h"
#include "globals/services.h"
#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "platform/tps/fixture.h"
#include "platform/runtime/runtime.h"
#include "shell/main_locals.h"
#include "shell/saved_queries.h"
#include "shell/startup.h"

namespace {

namespace fs = std::filesystem;
using tps::fixture::Type;

constexpr const char* kFirst[] = {"Ada", "Bruno", "Carla", "Dmitri", "Elif", "Femi", "Greta", "Hiro", "Ines"};
constexpr const char* kLast[] = {"Marlowe", "Quist", "Tannery", "Ovenden"};
constexpr const char* kCities[] = {"Port Ellis", "Varnholm", "Sedgebury", "Cato Falls", "Lindqvist"};

void write_customers(const fs::path& file) {
  tps::fixture::File f;
  auto& t = f.table("CUS", "CUSTOMER");
  t.field("CODE", Type::Long)
      .field("NAME", Type::String, 30)
      .field("CITY", Type::String, 20)
      .field("JOINED", Type::Date)
      .field("CALLAT", Type::Time)
      .field("BALANCE", Type::Decimal, 9, 2)
      .field("LASTORDER", Type::Long)  // a standard date kept in a LONG: the query marks it "D"
      .memo("NOTES", 200)
      .key("BYCODE", "CODE", tps::fixture::PRIMARY);
  for (int i = 1; i <= 36; ++i) {
    char name[40];
    std::snprintf(name, sizeof name, "%s %s", kFirst[i % 9], kLast[i % 4]);
    const long cents = ((i * 7919) % 50000) - 5000;  // some owe, some are owed
    char balance[32];
    std::snprintf(balance, sizeof balance, "%s%ld.%02ld", cents < 0 ? "-" : "", std::labs(cents) / 100,
                  std::labs(cents) % 100);
    t.row()
        .set("CODE", i)
        .set("NAME", name)
        .set("CITY", kCities[i % 5])
        .set_date("JOINED", 1 + (i * 5) % 28, 1 + i % 12, 2015 + i % 9)
        .set_time("CALLAT", 8 + i % 10, (i * 13) % 60)
        .set("BALANCE", balance)
        .set("LASTORDER", 80000 + i * 37);  // days since 28 Dec 1800: the 2020s
    if (i % 4 == 0) {
      char note[80];
      std::snprintf(note, sizeof note, "Prefers calls after %d o'clock, \"urgent\" only.", 8 + i % 10);
      t.set("NOTES", note);
    }
  }
  f.write(file);
}

// The stored query "Example", saved as the main window saves at its close.
void write_query() {
  // Inside the program's own frame, in place of its main window.
  runtime::run(shell::Program([&] {
    globals::GLO_WorkingDir = files::longpath();
    globals::GLO_INPUTTPSLOCATION = "CUSTOMER.TPS";
    globals::GLO_OUTPUTCSVLOCATION = "OUT\\";
    engine::ExportTable("1", globals::GLO_INPUTTPSLOCATION.view());
    auto& q = globals::FieldListQueue;
    for (std::size_t i = 1; i <= q.records(); ++i) {
      q.get(i);
      const std::string_view label = text::clip(q.buffer().ALF_DAFIELD.view());
      if (label == "CUS:LASTORDER") q.buffer().ALF_DATE = "D";
      if (label == "CUS:CALLAT") q.buffer().ALF_TIME = "T";
      q.put();
    }
    globals::GLO_QUERYNAME = "Example";
    globals::GLO_SELECT = "CUS:CODE,CUS:NAME,CUS:CITY,CUS:JOINED,CUS:CALLAT,CUS:BALANCE,CUS:LASTORDER";
    globals::GLO_WHERE = "CUS:BALANCE > 100";
    globals::GLO_DATEFORMAT = "@D10";
    globals::GLO_TIMEFORMAT = "@T01";
    shell::MainLocals m;
    m.FieldListPresent = 1;
    shell::SaveQuery(m);
  }));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_example <folder>\n", stderr);
    return 2;
  }
  const fs::path dir = fs::absolute(argv[1]);
  fs::create_directories(dir / "OUT");
  fs::remove(dir / "QMXSETUP.TPS");
  write_customers(dir / "CUSTOMER.TPS");
  fs::current_path(dir);
  write_query();
  std::printf("wrote %s and %s\n", (dir / "CUSTOMER.TPS").c_str(), (dir / "QMXSETUP.TPS").c_str());
  return 0;
}
