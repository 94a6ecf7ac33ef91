// In-memory stand-ins of the data side's pinned interfaces (see README).
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "globals/globals.h"
#include "globals/services.h"
#include "platform/runtime/runtime.h"
#include "platform/text/text.h"
#include "platform/window/window.h"
#include "shell/saved_queries.h"
#include "shell/startup.h"

namespace abc {

struct ErrorStatus {};

namespace {
std::vector<std::string> procedures;
std::map<std::string, std::map<std::string, std::string>> ini;
}  // namespace

void ErrorManager::Init(ErrorStatus&) {}
void ErrorManager::SetProcedureName(std::string_view name) { procedures.emplace_back(name); }
void ErrorManager::SetProcedureName() {
  if (!procedures.empty()) procedures.pop_back();
}
std::string ErrorManager::ProcedureName() const { return procedures.empty() ? std::string() : procedures.back(); }
void ErrorManager::SetFile(std::string_view) {}
void ErrorManager::SetMessage(std::string_view) {}
BYTE ErrorManager::Throw(int id) {
  window::message("message " + std::to_string(id), "Error");
  return Level_Notify;
}
BYTE ErrorManager::ThrowFile(int id, std::string_view) { return Throw(id); }
BYTE ErrorManager::ThrowMessage(int id, std::string_view) { return Throw(id); }
int ErrorManager::Message(int, int, int default_button) { return default_button; }
void ErrorManager::set_halt(std::function<void()>) {}

void IniManager::Init(std::string_view, int, int) {}
void IniManager::Kill() {}
std::string IniManager::Fetch(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto s = ini.find(std::string(section));
  if (s == ini.end()) return std::string(fallback);
  auto k = s->second.find(std::string(key));
  return k == s->second.end() ? std::string(fallback) : k->second;
}
void IniManager::Update(std::string_view section, std::string_view key, std::string_view value) {
  ini[std::string(section)][std::string(key)] = value;
}
void IniManager::RestoreWindow(std::string_view section, window::Window& w) {
  if (!ini.count(std::string(section))) return;
  for (const char* k : {"XPos", "YPos", "Width", "Height"}) {
    const int prop = std::string(k) == "XPos"    ? window::PROP_Xpos
                     : std::string(k) == "YPos"  ? window::PROP_Ypos
                     : std::string(k) == "Width" ? window::PROP_Width
                                                 : window::PROP_Height;
    std::string v = Fetch(section, k);
    if (!v.empty()) w.set_property(prop, v);
  }
  if (Fetch(section, "Maximize") == "Yes") w.set_property(window::PROP_Maximize, 1);
  if (Fetch(section, "Minimize") == "Yes") w.set_property(window::PROP_Iconize, 1);
}
void IniManager::SaveWindow(std::string_view section, window::Window& w) {
  const bool max = !w.property(window::PROP_Maximize).empty(), min = !w.property(window::PROP_Iconize).empty();
  Update(section, "Maximize", max ? "Yes" : "No");
  Update(section, "Minimize", min ? "Yes" : "No");
  if (max || min) return;
  Update(section, "XPos", w.property(window::PROP_Xpos));
  Update(section, "YPos", w.property(window::PROP_Ypos));
  Update(section, "Width", w.property(window::PROP_Width));
  Update(section, "Height", w.property(window::PROP_Height));
}

}  // namespace abc

namespace globals {
abc::ErrorManager GlobalErrorManager;
abc::IniManager GlobalIniManager;
abc::FuzzyMatcher GlobalFuzzyMatcher;
thread_local std::uint8_t CallRequest = 0;
thread_local std::uint8_t CallResponse = 0;
thread_local std::int32_t VcrRequest = 0;
}  // namespace globals

namespace shell {

namespace {

struct Stored {
  std::int32_t sysid = 0;
  int tag = 0;
  std::string name, password, input, output, date, separator, time, select, where, fields;
  int datestamp = 0, nullempty = 0, byname = 0, nopreview = 0;
  std::int32_t records = 0;
};
std::vector<Stored> store;
std::int32_t next_sysid = 1;

void load(MainLocals& m, const Stored& s) {
  using namespace globals;
  GLO_QUERYNAME = s.name;
  GLO_TPSPASSWORD = s.password;
  GLO_INPUTTPSLOCATION = s.input;
  GLO_OUTPUTCSVLOCATION = s.output;
  GLO_DATEFORMAT = s.date;
  GLO_DATETIMESEPARATOR = s.separator;
  GLO_TIMEFORMAT = s.time;
  GLO_DATESTAMPINEXPORT = static_cast<BYTE>(s.datestamp);
  GLO_NULLEMPTYSTR = static_cast<BYTE>(s.nullempty);
  GLO_FIELDSBYNAME = static_cast<BYTE>(s.byname);
  GLO_NOPREVIEW = static_cast<BYTE>(s.nopreview);
  LastRecordCount = s.records;
  GLO_SELECT = s.select.substr(0, 49999);
  GLO_WHERE = s.where.substr(0, 49999);
  if (!s.fields.empty()) {
    m.FieldsText = s.fields;
    ParseFieldsText(m);
  }
}

}  // namespace

void SaveQuery(MainLocals& m) {
  using namespace globals;
  if (!m.FieldListPresent) return;
  auto it = std::find_if(store.begin(), store.end(),
                         [](const Stored& s) { return text::upper(text::clip(s.name)) == text::upper(text::clip(GLO_QUERYNAME.view())); });
  if (it == store.end()) {
    store.push_back({});
    it = store.end() - 1;
    it->sysid = next_sysid++;
  }
  Stored& s = *it;
  s.tag = 1;
  s.name = GLO_QUERYNAME.str();
  s.password = GLO_TPSPASSWORD.str();
  s.input = GLO_INPUTTPSLOCATION.str();
  s.output = GLO_OUTPUTCSVLOCATION.str();
  s.date = GLO_DATEFORMAT.str();
  s.separator = GLO_DATETIMESEPARATOR.str();
  s.time = GLO_TIMEFORMAT.str();
  s.datestamp = GLO_DATESTAMPINEXPORT;
  s.nullempty = GLO_NULLEMPTYSTR;
  s.byname = GLO_FIELDSBYNAME;
  s.nopreview = GLO_NOPREVIEW;
  s.records = LastRecordCount;
  s.select = GLO_SELECT.str();
  s.where = GLO_WHERE.str();
  s.fields = FieldListText();
  m.SavedSysId = s.sysid;
  for (Stored& o : store)
    if (o.sysid != s.sysid) o.tag = 0;
}

void LoadQueryByName(MainLocals& m) {
  m.LoadedByName = 0;
  if (text::blank(globals::CmdQueryName.view())) return;
  for (const Stored& s : store) {
    if (text::upper(text::clip(s.name)) == text::upper(text::clip(globals::CmdQueryName.view()))) {
      m.LoadedByName = 1;
      load(m, s);
      return;
    }
  }
}

void LoadQueryBySysId(MainLocals& m) {
  for (const Stored& s : store)
    if (s.sysid == m.PickedSysId) load(m, s);
}

void LoadTaggedQuery(MainLocals& m) {
  for (const Stored& s : store) {
    if (s.tag == 1) {
      load(m, s);
      return;
    }
  }
}

std::string FieldListText() {
  std::string out;
  globals::FieldListRecord r;
  for (std::size_t i = 1; i <= globals::FieldListQueue.records(); ++i) {
    globals::FieldListQueue.peek(i, r);
    for (std::string_view v : {r.ALF_DAFIELD.view(), r.ALF_DATYPE.view(), r.ALF_DATE.view(), r.ALF_TIME.view(),
                               r.ALF_POSSIBLEDATE.view(), r.ALF_POSSIBLETIME.view()}) {
      out += text::clip(v);
      out += '|';
    }
    out += text::int_text(r.ALF_DACOUNT) + "|*";
  }
  return out;
}

void ParseFieldsText(MainLocals& m) {
  globals::FieldListQueue.free();
  std::size_t from = 0;
  while (from < m.FieldsText.size()) {
    const std::size_t star = m.FieldsText.find('*', from);
    if (star == std::string::npos) break;
    std::vector<std::string> v;
    std::size_t a = from;
    for (int i = 0; i < 7; ++i) {
      std::size_t bar = m.FieldsText.find('|', a);
      if (bar == std::string::npos || bar > star) bar = star;
      v.push_back(m.FieldsText.substr(a, bar - a));
      a = std::min(bar + 1, star);
    }
    globals::FieldListRecord& r = globals::FieldListQueue.buffer();
    r = {};
    r.ALF_DAFIELD = v[0];
    r.ALF_DATYPE = v[1];
    r.ALF_DATE = v[2];
    r.ALF_TIME = v[3];
    r.ALF_POSSIBLEDATE = v[4];
    r.ALF_POSSIBLETIME = v[5];
    r.ALF_DACOUNT = text::to_long(v[6]);
    globals::FieldListQueue.add();
    from = star + 1;
  }
}

// Forgets every stored query and INI key (between tests).
void ForgetStandInStore() {
  store.clear();
  next_sysid = 1;
  abc::ini.clear();
}

void GlobalDataInit() {}
void GlobalDataKill() {}
void ThreadFilesInit() {}
void ThreadDataInit() {}
void ThreadDataKill() {}
namespace {
std::function<void()> main_procedure;
}
void ProgramMain() {
  if (main_procedure) main_procedure();
}
runtime::Program Program(std::function<void()> p) {
  main_procedure = std::move(p);
  runtime::Program prog;
  prog.main = ProgramMain;
  return prog;
}

}  // namespace shell
