// The field picker and the form's file buttons through the desktop backend's
// real widgets: a real table chosen in the open dialog, two fields picked (one
// marked as a date with a press in its column), the export, and "Open" handed
// to a stand-in for the desktop's opener. With QM_SHOT_DIR set, pictures of the
// screen (or of the window, offscreen) are kept of the dialog and the picker.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "shell/field_picker_def.h"
#include "tests/platform/window_qt/user.h"
#include "tests/samples.h"
#include "tests/shell/main_window_support.h"

namespace main_window_test {
namespace {

using window::Window;
namespace picker = shell::picker;

// A dialog that has just opened may not be on the screen yet: it is drawn
// from its widgets. A window is taken from the screen on a real display.
void shot(const char* name, QWidget& w, bool from_screen = true) {
  const char* dir = std::getenv("QM_SHOT_DIR");
  if (!dir || !*dir) return;
  w.window()->repaint();
  QPixmap p = from_screen && QGuiApplication::platformName() == "xcb"
                  ? QGuiApplication::primaryScreen()->grabWindow(0)
                  : w.window()->grab();
  p.save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

class DesktopCommands : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    qt_ = &window::drive::desktop();
    window::set_backend(qt_);
    user_ = std::make_unique<window::drive::DesktopUser>(*qt_);
  }
  void TearDown() override {
    user_.reset();
    qt_->set_opener(nullptr);
    window::set_backend(nullptr);
    MainWindowTest::TearDown();
  }

  // The next file dialog: what it showed, then the name chosen (none: cancelled).
  struct Seen {
    QString directory;
    QStringList filters;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
    QString title;
    bool shown = false;
  };
  void answer_file(Seen& seen, std::optional<std::string> chosen, const char* picture = nullptr) {
    qt_->on_modal([&seen, chosen, picture](QWidget& d) {
      auto* f = qobject_cast<QFileDialog*>(&d);
      ASSERT_NE(f, nullptr);
      seen.shown = true;
      seen.directory = f->directory().absolutePath();
      seen.filters = f->nameFilters();
      seen.mode = f->fileMode();
      seen.accept = f->acceptMode();
      seen.title = f->windowTitle();
      auto answer = [f, chosen, picture] {
        if (picture) shot(picture, *f, false);
        if (!chosen) {
          static_cast<QDialog*>(f)->reject();
          return;
        }
        const QFileInfo file(QString::fromLocal8Bit(chosen->c_str()));
        f->setDirectory(file.absolutePath());
        f->selectFile(file.fileName());
        static_cast<QDialog*>(f)->accept();  // the dialog's own check of the name runs
      };
      answer();
    });
  }
  QString os(const fs::path& p) const { return QString::fromLocal8Bit(p.string().c_str()); }

  window::QtBackend* qt_ = nullptr;
  std::unique_ptr<window::drive::DesktopUser> user_;
};

TEST_F(DesktopCommands, ARealTableChosenTwoFieldsPickedOneMarkedAsADateExportedAndOpened) {
  QM_NEEDS_SAMPLES();
  fs::create_directories(dir_ / "IN");
  // A table of a real application, named in lower case as real tables often are.
  fs::copy_file(samples::dir() / "vendor-examples" / "PEOPLE" / "PEOPLE.TPS", dir_ / "IN" / "people.tps");
  std::vector<QUrl> opened;
  qt_->set_opener([&](const QUrl& u) { opened.push_back(u); });
  globals::GLO_OUTPUTCSVLOCATION = "OUT\\";

  Seen input;
  answer_file(input, (dir_ / "IN" / "people.tps").string(), "input-dialog");
  std::vector<std::string> labels;
  std::vector<std::string> dates;  // the date marks of the first four fields after the export
  auto& u = *user_;
  u.press(FEQ_LOOKUPFILE)
      .press(FEQ_BUTTONFETCH)
      .pause(100)  // the export reads ten records a tick
      .then([&](Window&) {
        globals::FieldListRecord r;
        for (std::size_t i = 1; i <= globals::FieldListQueue.records(); ++i) {
          globals::FieldListQueue.peek(i, r);
          labels.push_back(r.ALF_DAFIELD.str());
        }
      })
      .press(FEQ_BUTTONFETCHFIELD)
      .click(picker::FEQ_LIST1, 3, 1)
      .press(picker::FEQ_CLOSE)
      .press(FEQ_BUTTONFETCHFIELD)
      .click(picker::FEQ_LIST1, 2, picker::kDateColumn)  // marks the LONG PEO:ID a date
      .key(picker::FEQ_LIST1, window::DownKey)          // the keyboard marks nothing
      .key(picker::FEQ_LIST1, window::UpKey)
      .then([&](Window& w) {
        EXPECT_EQ(w.label(), "P1$WINDOW");
        EXPECT_EQ(w.choice(picker::FEQ_LIST1), 2);
        shot("picker", *qt_->widget(w));
      })
      .key(picker::FEQ_LIST1, window::EnterKey)
      .then([&](Window& w) {
        EXPECT_EQ(w.label(), "P1$MENUWINDOW");
        EXPECT_EQ(w.focus(), FEQ_GLO_SELECT);
      })
      .press(FEQ_BUTTONFETCH)
      .pause(100)
      .press(FEQ_INTERNETLINK)
      .then([&](Window& w) {
        globals::FieldListRecord r;
        for (std::size_t i = 1; i <= 4 && globals::FieldListQueue.peek(i, r); ++i) {
          dates.push_back(std::string(text::clip(r.ALF_DATE.view())));
        }
        shot("main-window", *qt_->widget(w));
      })
      .close_request();
  start();
  EXPECT_EQ(user_->steps_left(), 0u);

  EXPECT_TRUE(input.shown);
  EXPECT_EQ(input.title, "Select .TPS File");
  EXPECT_EQ(input.mode, QFileDialog::ExistingFile);
  EXPECT_EQ(fs::path(input.directory.toStdString()), dir_ / "IN");
  ASSERT_GE(labels.size(), 4u);
  EXPECT_EQ(globals::GLO_SELECT.str(), labels[2] + "," + labels[1]);
  EXPECT_EQ(dates, (std::vector<std::string>{"", "D", "", ""}));
  const std::vector<std::string> lines = csv_lines("OUT/people.CSV");
  ASSERT_FALSE(lines.empty());
  // The header in table order; the numbers of the field marked as a date come out as dates.
  EXPECT_EQ(lines[0], "\"" + labels[1] + "\",\"" + labels[2] + "\"");
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[5].substr(0, 12).find('/'), 3u) << lines[5];
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(opened[0].isLocalFile());
  EXPECT_EQ(opened[0].scheme(), "file");
  EXPECT_TRUE(fs::equivalent(fs::path(opened[0].toLocalFile().toStdString()), dir_ / "OUT" / "people.CSV"));
}

TEST_F(DesktopCommands, AMissingDefaultDirectoryOpensTheWorkingDirectory) {
  Seen input;
  answer_file(input, std::nullopt);
  globals::GLO_INPUTTPSLOCATION = "kept.tps";
  user_->press(FEQ_LOOKUPFILE).close_request();
  start();
  EXPECT_TRUE(input.shown);
  EXPECT_EQ(fs::path(input.directory.toStdString()), dir_);  // there is no IN folder
  EXPECT_EQ(globals::GLO_INPUTTPSLOCATION.view(), "kept.tps");
  ASSERT_FALSE(input.filters.isEmpty());
  EXPECT_TRUE(input.filters[0].startsWith("TPS Files"));
}

TEST_F(DesktopCommands, TheFolderBrowserAndTheSaveDialogWithItsOverwriteQuestion) {
  fs::create_directories(dir_ / "OUT" / "SUB");
  write(dir_ / "OUT" / "old.csv", "x");
  Seen folder, save, again;
  answer_file(folder, (dir_ / "OUT" / "SUB").string());
  answer_file(save, (dir_ / "OUT" / "old.csv").string());
  QString question;
  qt_->on_modal([&](QWidget& d) {
    auto* box = qobject_cast<QMessageBox*>(&d);
    ASSERT_NE(box, nullptr);
    question = box->text();
    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
  });
  answer_file(again, std::nullopt);  // asked again after "No", then cancelled
  std::string after_folder;
  user_->press(FEQ_LOOKUPFILE_2)
      .then([&](Window&) { after_folder = globals::GLO_OUTPUTCSVLOCATION.str(); })
      .press(FEQ_LOOKUPFILE_4)
      .close_request();
  start();
  EXPECT_EQ(folder.mode, QFileDialog::Directory);
  EXPECT_EQ(folder.title, "Select Output Directory");
  EXPECT_EQ(fs::path(folder.directory.toStdString()), dir_ / "OUT");
  EXPECT_EQ(after_folder, (dir_ / "OUT" / "SUB").string() + "\\");
  EXPECT_EQ(save.accept, QFileDialog::AcceptSave);
  EXPECT_EQ(save.title, "Output .CSV File");
  EXPECT_TRUE(question.contains("already exists"));
  EXPECT_TRUE(again.shown);
  // Cancelled: the location is what the folder browser gave.
  EXPECT_EQ(globals::GLO_OUTPUTCSVLOCATION.str(), after_folder);
}

}  // namespace
}  // namespace main_window_test
