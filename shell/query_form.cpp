#include "shell/query_form.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "globals/services.h"
#include "platform/abc/resizer.h"
#include "platform/abc/toolbar.h"
#include "platform/abc/window_manager.h"
#include "platform/window/window.h"
#include "shell/data_dictionary.h"
#include "shell/query_windows_def.h"

namespace shell {

namespace {

// The form's history copy of the QMX2: record, cleared once per thread.
thread_local std::string FormHistory;
thread_local bool FormHistoryCleared = false;

// A field of the alias's record buffer as a bound variable.
class RecordValue final : public window::ValueSource {
 public:
  RecordValue(std::function<std::string()> get, std::function<void(std::string_view)> set)
      : get_(std::move(get)), set_(std::move(set)) {}
  std::string get() const override { return get_(); }
  void set(std::string_view v) override { set_(v); }

 private:
  std::function<std::string()> get_;
  std::function<void(std::string_view)> set_;
};

template <class Field>
window::Binding text_field(Field QmxRecord::*field) {
  return window::Binding(std::make_shared<RecordValue>(
      [field] {
        QmxRecord r = QMX2();
        return std::string((r.*field).view());
      },
      [field](std::string_view v) {
        QmxRecord r = QMX2();
        r.*field = v;
      }));
}

template <class Field>
window::Binding number_field(Field QmxRecord::*field) {
  return window::Binding(std::make_shared<RecordValue>(
                             [field] {
                               QmxRecord r = QMX2();
                               return text::int_text(static_cast<std::int64_t>(r.*field));
                             },
                             [field](std::string_view v) {
                               QmxRecord r = QMX2();
                               const std::size_t lead = std::min(v.find_first_not_of(' '), v.size());
                               r.*field = static_cast<std::int32_t>(text::deformat_to_long(v.substr(lead)));
                             }),
                         true);
}

// The eleven bound variables in the order of their controls.
std::vector<window::Binding> form_bindings() {
  return {number_field(&QmxRecord::SYSID),
          number_field(&QmxRecord::TAG),
          text_field(&QmxRecord::QUERYNAME),
          text_field(&QmxRecord::TPSPASSWORD),
          text_field(&QmxRecord::INPUTTPSLOCATION),
          text_field(&QmxRecord::OUTPUTCSVLOCATION),
          number_field(&QmxRecord::DATESTAMPINEXPORT),
          number_field(&QmxRecord::NULLEMPTYSTR),
          text_field(&QmxRecord::DATEFORMAT),
          text_field(&QmxRecord::DATETIMESEPARATOR),
          text_field(&QmxRecord::TIMEFORMAT)};
}

struct FormRun {
  window::Window& window;
  abc::ToolbarDispatcher toolbar;
  abc::Resizer resizer;
  text::CString<40> FormCaption;
};

class UpdateQMXSETUPAliasWindowManager final : public abc::WindowManager {
 public:
  explicit UpdateQMXSETUPAliasWindowManager(FormRun& run) : run_(run) {}

  abc::BYTE EventLoop() override {
    if (Request == abc::ViewRecord) {
      run_.FormCaption = "View Record";
    } else if (Request == abc::InsertRecord) {
      globals::GlobalErrorManager.Throw(abc::Msg_InsertIllegal);
      return abc::Level_Benign;
    } else if (Request == abc::ChangeRecord) {
      globals::GlobalErrorManager.Throw(abc::Msg_UpdateIllegal);
      return abc::Level_Benign;
    }
    run_.window.set_property(window::PROP_Text, run_.FormCaption.view());
    return abc::WindowManager::EventLoop();
  }

  abc::BYTE Init() override {
    globals::GlobalErrorManager.SetProcedureName("UpdateQMXSETUPAlias");
    Request = globals::CallRequest;
    if (abc::BYTE r = abc::WindowManager::Init()) return r;
    FirstField = FEQ_QMX_SYSID_PROMPT;
    VCRRequest = globals::VcrRequest;
    Errors = &globals::GlobalErrorManager;
    SetToolbar(run_.toolbar);
    globals::CallRequest = 0;
    globals::CallResponse = 0;
    HistoryKey = window::CtrlH;
    SetHistoryBuffers(QMXSETUPAlias->buffer(), FormHistory);
    // Offsets and sizes of the eleven fields in the record (data_dictionary.h).
    constexpr struct {
      int control;
      std::size_t offset, size;
    } kHistory[] = {{FEQ_QMX2_SYSID, 0, 4},
                    {FEQ_QMX2_TAG, 4, 1},
                    {FEQ_QMX2_QUERYNAME, 5, 100},
                    {FEQ_QMX2_TPSPASSWORD, 105, 100},
                    {FEQ_QMX2_INPUTTPSLOCATION, 205, 256},
                    {FEQ_QMX2_OUTPUTCSVLOCATION, 461, 256},
                    {FEQ_QMX2_DATESTAMPINEXPORT, 717, 1},
                    {FEQ_QMX2_NULLEMPTYSTR, 718, 1},
                    {FEQ_QMX2_DATEFORMAT, 720, 14},
                    {FEQ_QMX2_DATETIMESEPARATOR, 734, 10},
                    {FEQ_QMX2_TIMEFORMAT, 744, 14}};
    for (const auto& h : kHistory) AddHistoryField(h.control, h.offset, h.size);
    AddFile(*Access_QMXSETUPAlias);
    AddButton(FEQ_CANCEL, abc::RequestCancelled);
    Relate_QMXSETUPAlias->Open();
    FilesOpened = true;
    Primary = Relate_QMXSETUPAlias;
    InsertAction = abc::Insert_None;
    ChangeAction = abc::Change_None;
    if (Request == abc::ViewRecord) {
      DeleteAction = abc::Delete_None;
      OkControl = 0;
    } else {
      OkControl = FEQ_OK;
      DeleteAction = abc::Delete_Warn;
    }
    if (PrepareUpdate() != abc::Level_Benign) return abc::Level_Notify;
    window::Window& w = run_.window;
    Open(w);
    if (Request == abc::ViewRecord) {
      for (int feq : {FEQ_QMX2_SYSID, FEQ_QMX2_TAG, FEQ_QMX2_QUERYNAME, FEQ_QMX2_TPSPASSWORD,
                      FEQ_QMX2_INPUTTPSLOCATION, FEQ_QMX2_OUTPUTCSVLOCATION, FEQ_QMX2_TIMEFORMAT})
        w.set_property(feq, window::PROP_ReadOnly, 1);
      w.set_property(FEQ_QMX2_NULLEMPTYSTR, window::PROP_Disable, 1);
      w.set_property(FEQ_QMX2_DATETIMESEPARATOR, window::PROP_Disable, 1);
    }
    run_.resizer.Init(w, abc::AppStrategy_Surface, true, false);
    SetResizer(run_.resizer);
    run_.resizer.AssignParents();
    globals::GlobalIniManager.RestoreWindow("UpdateQMXSETUPAlias", w);
    run_.resizer.ResizeAll();
    RegisterAlerts();
    return abc::Level_Benign;
  }

  abc::BYTE Kill() override {
    if (abc::BYTE r = abc::WindowManager::Kill()) return r;
    if (FilesOpened) Relate_QMXSETUPAlias->Close();
    if (Opened()) globals::GlobalIniManager.SaveWindow("UpdateQMXSETUPAlias", run_.window);
    globals::GlobalErrorManager.SetProcedureName();
    return abc::Level_Benign;
  }

  abc::BYTE Run() override {
    const abc::BYTE r = abc::WindowManager::Run();
    return Request == abc::ViewRecord ? abc::RequestCancelled : r;
  }

  abc::BYTE OnAccepted() override {
    const abc::BYTE r = abc::WindowManager::OnAccepted();
    if (Field() == FEQ_OK) {
      UpdateComponents();
      if (Request == abc::ViewRecord) run_.window.post(window::EVENT_CloseWindow);
    }
    return r;
  }

 private:
  FormRun& run_;
};

}  // namespace

void UpdateQMXSETUPAlias() {
  if (!FormHistoryCleared) {
    FormHistory.assign(QMXSETUP_RECORD_SIZE, '\0');
    FormHistoryCleared = true;
  }
  auto w = std::make_unique<window::Window>(QueryFormWindowDef(), form_bindings());
  auto run = std::make_unique<FormRun>(FormRun{*w, {}, {}, {}});
  UpdateQMXSETUPAliasWindowManager manager(*run);
  globals::CallResponse = manager.Run();
  w->close();
}

}  // namespace shell
