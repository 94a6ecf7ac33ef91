// The saved-query browse on the desktop, as a user meets it: a store of 200
// queries is written in a scratch folder, the program starts with its main
// window, and real widget events open the browse from the "..." button, type
// three letters of a name on its list and press Select. The screen is taken
// with the browse open (browse.png) and with the main window's form filled
// with the picked query (form.png), into the folder given.
//   browse_shot <folder for the pictures> [letters]
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "platform/files/command.h"
#include "platform/files/paths.h"
#include "platform/runtime/runtime.h"
#include "platform/window/qt/desktop.h"
#include "platform/window/qt/qt_backend.h"
#include "platform/window/window.h"
#include "shell/main_locals.h"
#include "shell/main_window.h"
#include "shell/main_window_def.h"
#include "shell/query_windows_def.h"
#include "shell/saved_queries.h"
#include "shell/startup.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSubjects[] = {"Customers", "Invoices", "Orders",   "Payments", "Products",
                                     "Suppliers", "Stock",    "Staff",    "Returns",  "Ledger"};

// 200 queries, "Customers 2005" to "Ledger 2024", saved in an order unlike
// the names' as the main window saves them.
void write_store() {
  runtime::run(shell::Program([] {
    globals::GLO_WorkingDir = files::longpath();
    std::vector<std::pair<std::string, int>> names;
    for (const char* s : kSubjects) {
      for (int year = 2005; year <= 2024; ++year) names.emplace_back(s, year);
    }
    std::shuffle(names.begin(), names.end(), std::mt19937(11));
    for (const auto& [subject, year] : names) {
      std::string table = subject;
      for (char& c : table) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      const std::string prefix = table.substr(0, 3);
      globals::GLO_QUERYNAME = subject + " " + std::to_string(year);
      globals::GLO_INPUTTPSLOCATION = "C:\\DATA\\" + table + ".TPS";
      globals::GLO_OUTPUTCSVLOCATION = "C:\\EXPORT\\" + table + "_" + std::to_string(year) + ".CSV";
      globals::GLO_SELECT = prefix + ":CODE," + prefix + ":NAME," + prefix + ":DATE";
      globals::GLO_WHERE = prefix + ":DATE >= DATE(1,1," + std::to_string(year) + ")";
      globals::GLO_DATEFORMAT = "@D06";
      auto& fields = globals::FieldListQueue;
      fields.free();
      int column = 0;
      for (const char* f : {"CODE", "NAME", "DATE"}) {
        fields.buffer() = {};
        fields.buffer().ALF_DAFIELD = prefix + ":" + f;
        fields.buffer().ALF_DATYPE = std::string(f) == "DATE" ? "LONG" : "STRING";
        if (std::string(f) == "DATE") fields.buffer().ALF_DATE = "D";
        fields.buffer().ALF_DACOUNT = ++column;
        fields.add();
      }
      shell::MainLocals m;
      m.FieldListPresent = 1;
      shell::SaveQuery(m);
    }
  }));
  engine::reset();
}

// Steps taken one after another while a window's loop waits for the user.
class Driver {
 public:
  Driver(window::QtBackend& qt, fs::path out, std::string letters)
      : qt_(qt), out_(std::move(out)), letters_(std::move(letters)) {
    steps_ = {
        [this] { return on("P1$MENUWINDOW") && click(shell::FEQ_BUTTONQUERY); },
        [this] {
          if (!on("P3$QUICKWINDOW")) return false;
          auto* list = qobject_cast<QTableView*>(qt_.widget(*window::current(), shell::FEQ_BROWSE_1));
          list->setFocus();
          for (char c : letters_) QTest::keyClick(list, c, Qt::NoModifier, 80);
          return true;
        },
        [this] { return on("P3$QUICKWINDOW") && shoot("browse.png"); },
        [this] { return on("P3$QUICKWINDOW") && click(shell::FEQ_SELECT_2); },
        [this] { return on("P1$MENUWINDOW") && shoot("form.png"); },
        [this] {
          if (!on("P1$MENUWINDOW")) return false;
          qt_.widget(*window::current())->close();
          return true;
        },
    };
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { next(); });
    timer_.start(kPauseMs);
  }
  bool finished() const { return step_ == steps_.size(); }

 private:
  static constexpr int kPauseMs = 600;  // lets each window draw before the next step

  bool on(const char* label) const {
    window::Window* w = window::current();
    return qt_.waiting() && w && w->label() == label;
  }
  bool click(int control) {
    auto* b = qobject_cast<QPushButton*>(qt_.widget(*window::current(), control));
    if (!b) return false;
    QTest::mouseClick(b, Qt::LeftButton);
    return true;
  }
  bool shoot(const char* name) {
    const fs::path file = out_ / name;
    if (!QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(file.string()))) {
      std::fprintf(stderr, "browse_shot: cannot write %s\n", file.c_str());
      return false;
    }
    std::printf("%s\n", file.c_str());
    return true;
  }
  void next() {
    if (finished()) return;
    if (steps_[step_]()) ++step_;
    timer_.start(kPauseMs);
  }

  window::QtBackend& qt_;
  fs::path out_;
  std::string letters_;
  std::vector<std::function<bool()>> steps_;
  std::size_t step_ = 0;
  QTimer timer_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: browse_shot <folder for the pictures> [letters]\n", stderr);
    return 2;
  }
  const fs::path out = fs::absolute(argv[1]);
  const std::string letters = argc > 2 ? argv[2] : "pay";
  fs::create_directories(out);
  std::random_device device;
  const fs::path dir = fs::temp_directory_path() / ("qm-browse-shot-" + std::to_string(device()));
  fs::create_directories(dir / "OUT");
  fs::current_path(dir);
  files::set_command_line({"quillomar"});
  write_store();

  auto desktop = window::install_desktop(argc, argv);
  auto& qt = static_cast<window::QtBackend&>(*desktop);
  Driver driver(qt, out, letters);
  files::set_command_line({"quillomar"});
  const int status = runtime::run(shell::Program(shell::Main));
  desktop.reset();
  fs::current_path(out);
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (!driver.finished()) {
    std::fputs("browse_shot: the program ended before every step was taken\n", stderr);
    return 1;
  }
  return status;
}
