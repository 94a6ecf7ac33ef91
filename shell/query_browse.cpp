#include "shell/query_browse.h"

#include <memory>

#include "globals/services.h"
#include "platform/abc/resizer.h"
#include "platform/abc/toolbar.h"
#include "platform/abc/window_manager.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "shell/data_dictionary.h"
#include "shell/query_form.h"
#include "shell/query_windows_def.h"

namespace shell {

thread_local abc::ViewManager LookupQueryView;
thread_local std::uint8_t LookupQueryViewUsed = 0;

namespace {

using QueryListQueue = queue::Queue<QueryListRecord>;

class LookupQueryWindowManager;

// The browse with its own initialiser.
class LookupQueryBrowse : public abc::BrowseManager {
 public:
  void LookupQueryBrowseInit(int list, abc::FieldAccess position, abc::ViewManager& view, abc::BrowseQueue& q,
                             abc::RelationManager& relation, abc::WindowManager& manager) {
    SelectControl = FEQ_SELECT_2;
    HideSelect = true;
    Init(list, std::move(position), view, q, relation, manager);
    if (manager.Request != abc::ViewRecord) DeleteControl = FEQ_DELETE_4;
  }
};

// What one run of LookupQuery owns.
struct LookupQueryRun {
  std::int32_t ChosenSysId = 0;
  std::unique_ptr<QueryListQueue> queue;
  std::unique_ptr<abc::QueueOf<QueryListRecord>> list;
  std::unique_ptr<window::Window> window;
  abc::ToolbarDispatcher toolbar;
  LookupQueryBrowse browse;
  abc::Locator locator;
  abc::StringThumb thumb;
  abc::Resizer resizer;
};

class LookupQueryWindowManager final : public abc::WindowManager {
 public:
  explicit LookupQueryWindowManager(LookupQueryRun& run) : run_(run) {}

  abc::BYTE Init() override {
    globals::GlobalErrorManager.SetProcedureName("LookupQuery");
    Request = globals::CallRequest;
    if (abc::BYTE r = abc::WindowManager::Init()) return r;
    FirstField = FEQ_BROWSE_1;
    VCRRequest = globals::VcrRequest;
    Errors = &globals::GlobalErrorManager;
    SetToolbar(run_.toolbar);
    globals::CallRequest = 0;
    globals::CallResponse = 0;
    AddButton(FEQ_CLOSE, Request == abc::SelectRecord ? abc::RequestCancelled : abc::RequestCompleted);
    Relate_QMXSETUPAlias->Open();
    FilesOpened = true;

    QueryListRecord& row = run_.queue->buffer();
    abc::FieldAccess position{[&row] { return row.VIEWPOSITION.str(); },
                              [&row](std::string_view v) { row.VIEWPOSITION = v; }};
    run_.browse.LookupQueryBrowseInit(FEQ_BROWSE_1, std::move(position), LookupQueryView, *run_.list,
                                      *Relate_QMXSETUPAlias, *this);
    window::Window& w = *run_.window;
    Open(w);
    run_.browse.Q = run_.list.get();
    run_.thumb.Init(3, abc::ScrollSort_AllowAlpha);
    abc::FieldAccess name{[] { return std::string(QMX2().QUERYNAME.view()); },
                          [](std::string_view v) { QMX2().QUERYNAME = v; }};
    run_.browse.AddSortOrder(&run_.thumb, QMX_ByQueryName);
    run_.locator.Init(0, name, true);
    run_.browse.AddLocator(run_.locator);
    run_.browse.AddField(name, {[&row] { return row.QMX2_QUERYNAME.str(); },
                                [&row](std::string_view v) { row.QMX2_QUERYNAME = v; }});
    run_.browse.AddFieldLong({[] { return text::int_text(QMX2().SYSID); },
                              [](std::string_view v) { QMX2().SYSID = text::to_long(v); }},
                             {[&row] { return text::int_text(row.QMX2_SYSID); },
                              [&row](std::string_view v) { row.QMX2_SYSID = text::to_long(v); }});
    run_.resizer.Init(w, abc::AppStrategy_Surface, true, false);
    SetResizer(run_.resizer);
    run_.resizer.AssignParents();
    globals::GlobalIniManager.RestoreWindow("LookupQuery", w);
    run_.resizer.ResizeAll();
    run_.browse.AskProcedure = 1;
    RegisterAlerts();
    return abc::Level_Benign;
  }

  abc::BYTE Kill() override {
    if (abc::BYTE r = abc::WindowManager::Kill()) return r;
    if (FilesOpened) Relate_QMXSETUPAlias->Close();
    if (Opened()) globals::GlobalIniManager.SaveWindow("LookupQuery", *run_.window);
    globals::GlobalErrorManager.SetProcedureName();
    return abc::Level_Benign;
  }

  abc::BYTE RunUpdate(int number, abc::BYTE request) override {
    abc::WindowManager::RunUpdate(number, request);
    if (Request == abc::ViewRecord) return abc::RequestCancelled;
    globals::CallRequest = request;
    UpdateQMXSETUPAlias();
    return globals::CallResponse;
  }

  abc::BYTE OnAccepted() override {
    if (Field() == FEQ_SELECT_2) run_.ChosenSysId = QMX2().SYSID;
    return abc::WindowManager::OnAccepted();
  }

 private:
  LookupQueryRun& run_;
};

}  // namespace

std::int32_t LookupQuery() {
  if (!LookupQueryViewUsed) LookupQueryViewUsed = 1;
  auto run = std::make_unique<LookupQueryRun>();
  run->queue = std::make_unique<QueryListQueue>();
  run->queue->clear();
  run->list = std::make_unique<abc::QueueOf<QueryListRecord>>(*run->queue);
  run->window = std::make_unique<window::Window>(LookupQueryWindowDef(), std::vector<window::Binding>{*run->queue});
  LookupQueryWindowManager manager(*run);
  globals::CallResponse = manager.Run();
  const std::int32_t chosen = run->ChosenSysId;
  run->window->close();
  return chosen;
}

void LookupQueryThreadKill() {
  if (LookupQueryViewUsed) LookupQueryView.Close();
}

}  // namespace shell
