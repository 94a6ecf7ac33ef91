// The INI manager: values found without regard to case and written in place,
// the window geometry restored and saved by its rules, and the section list
// written back only when it changed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/abc/ini_manager.h"
#include "platform/window/window.h"
#include "tests/platform/files/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using window::PROP_Height;
using window::PROP_Iconize;
using window::PROP_Maximize;
using window::PROP_Width;
using window::PROP_Xpos;
using window::PROP_Ypos;

class IniManagerTest : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    fs::current_path(dir_);
  }
  std::string ini() const { return read(dir_ / "quillomar.INI"); }

  static window::WindowDef def(bool resizable) {
    return window::WindowDef{.label = "W", .at = {10, 20, 300, 200}, .resizable = resizable};
  }
  static std::string geometry(const window::Window& w) {
    return w.property(PROP_Xpos) + "," + w.property(PROP_Ypos) + "," + w.property(PROP_Width) + "," +
           w.property(PROP_Height) + (w.property(PROP_Maximize) == "1" ? " max" : "") +
           (w.property(PROP_Iconize) == "1" ? " min" : "");
  }
};

TEST_F(IniManagerTest, ValuesAreFoundWithoutCaseAndWrittenInPlace) {
  write(dir_ / "quillomar.INI", "; kept\r\n[Main]\r\nXPos = 5\r\n\r\n[Other]\r\nx=1\r\n");
  abc::IniManager m;
  m.Init(".\\quillomar.INI");
  EXPECT_EQ(m.Fetch("MAIN", "xpos"), "5");
  EXPECT_EQ(m.Fetch("Main", "YPos", "none"), "none");
  m.Update("main", "XPOS", "7");
  m.Update("Main", "YPos", "8");
  m.Update("New", "A", "b");
  EXPECT_EQ(ini(), "; kept\r\n[Main]\r\nXPOS=7\r\nYPos=8\r\n\r\n[Other]\r\nx=1\r\n[New]\r\nA=b\r\n");
}

TEST_F(IniManagerTest, WindowGeometryIsRestoredByItsRules) {
  struct Case {
    std::string section;  // the file's [Main] lines
    bool resizable;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"", true, "10,20,300,200"},                                    // no section: nothing
      {"XPos=1\r\nYPos=2\r\n", true, "10,20,300,200"},                // no Maximize: nothing
      {"Maximize=No\r\nXPos=1\r\nYPos=2\r\nWidth=33\r\nHeight=44\r\n", true, "1,2,33,44"},
      {"Maximize=No\r\nXPos=1\r\nYPos=2\r\nWidth=33\r\nHeight=44\r\n", false, "1,2,300,200"},
      {"Maximize=Yes\r\nXPos=1\r\nYPos=2\r\n", true, "1,2,300,200 max"},
      {"Maximize=No\r\nMinimize=Yes\r\n", true, "10,20,300,200 min"},
      {"Maximize=no\r\nWidth=33\r\n", true, "10,20,300,200"},         // no XPos: position and size stay
  };
  for (const Case& c : cases) {
    write(dir_ / "quillomar.INI", c.section.empty() ? "" : "[Main]\r\n" + c.section);
    abc::IniManager m;
    m.Init(".\\quillomar.INI");
    window::Window w(def(c.resizable));
    m.RestoreWindow("Main", w);
    EXPECT_EQ(geometry(w), c.expected) << c.section;
  }
}

TEST_F(IniManagerTest, WindowGeometryIsSavedByItsRules) {
  struct Case {
    bool resizable, maximized, minimized;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {true, false, false, "[Main]\r\nMaximize=No\r\nMinimize=No\r\nXPos=10\r\nYPos=20\r\nWidth=300\r\nHeight=200\r\n"},
      {false, false, false, "[Main]\r\nMaximize=No\r\nMinimize=No\r\nXPos=10\r\nYPos=20\r\n"},
      {true, true, false, "[Main]\r\nMaximize=Yes\r\nMinimize=No\r\n"},
      {true, false, true, "[Main]\r\nMaximize=No\r\nMinimize=Yes\r\n"},
  };
  for (const Case& c : cases) {
    fs::remove(dir_ / "quillomar.INI");
    abc::IniManager m;
    m.Init(".\\quillomar.INI");
    window::Window w(def(c.resizable));
    if (c.maximized) w.set_property(PROP_Maximize, std::int64_t{1});
    if (c.minimized) w.set_property(PROP_Iconize, std::int64_t{1});
    m.SaveWindow("Main", w);
    EXPECT_EQ(ini(), c.expected);
    // What was saved comes back.
    window::Window back(def(c.resizable));
    back.set_property(PROP_Xpos, std::int64_t{0});
    m.RestoreWindow("Main", back);
    if (!c.maximized && !c.minimized) {
      EXPECT_EQ(geometry(back), geometry(w));
    }
  }
}

TEST_F(IniManagerTest, SectionListIsReadAtInitAndWrittenAtKillOnlyWhenChanged) {
  abc::IniManager m;
  m.Init(".\\quillomar.INI");
  m.Kill();
  EXPECT_FALSE(fs::exists(dir_ / "quillomar.INI"));  // nothing saved: the file is not made

  m.Init(".\\quillomar.INI");
  window::Window w(def(true));
  m.SaveWindow("Main", w);
  m.SaveWindow("LookupQuery", w);
  m.SaveWindow("Main", w);
  m.Kill();
  const std::string after = ini();
  EXPECT_NE(after.find("[__Dont_Touch_Me__]\r\nSectors=2\r\nSectors_1=Main,Window,0\r\nSectors_2=LookupQuery,Window,0\r\n"),
            std::string::npos)
      << after;

  m.Init(".\\quillomar.INI");
  EXPECT_EQ(m.sections(), (std::vector<std::string>{"Main,Window,0", "LookupQuery,Window,0"}));
  const auto before = fs::last_write_time(dir_ / "quillomar.INI");
  m.Kill();
  EXPECT_EQ(ini(), after);
  EXPECT_EQ(fs::last_write_time(dir_ / "quillomar.INI"), before);
}

}  // namespace
