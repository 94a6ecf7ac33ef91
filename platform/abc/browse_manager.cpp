#include "platform/abc/browse_manager.h"

#include <algorithm>

#include "platform/text/text.h"
#include "platform/window/window.h"

namespace abc {

using namespace window;

// ---- ViewManager ---------------------------------------------------------------------

void ViewManager::Init(FileManager& file, std::size_t key) {
  Primary = &file;
  key_ = key;
  open_ = false;
}

void ViewManager::Kill() {
  Close();
  Primary = nullptr;
}

BYTE ViewManager::Open() {
  if (!Primary) return Level_Notify;
  if (const BYTE rc = Primary->UseFile(); rc != Level_Benign) return rc;
  open_ = true;
  SetStart();
  return Level_Benign;
}

void ViewManager::Close() { open_ = false; }

void ViewManager::SetStart() {
  if (Primary && Primary->File) Primary->File->set(key_);
}

void ViewManager::ResetFromBuffer() {
  if (!Primary || !Primary->File) return;
  Primary->File->table.set_key_from(key_);
}

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

// The driver's position in hexadecimal: it may hold any byte, and a row's
// text field keeps it without its trailing blanks mattering.
std::string ViewManager::Position() const {
  if (!Primary || !Primary->File) return {};
  const std::string bytes = Primary->File->position();
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

bool ViewManager::Reset(std::string_view position) {
  if (!Primary || !Primary->File) return false;
  position = text::clip(position);
  if (position.empty() || position.size() % 2 != 0) return false;
  std::string bytes;
  bytes.reserve(position.size() / 2);
  for (std::size_t i = 0; i < position.size(); i += 2) {
    const int hi = hex_value(position[i]), lo = hex_value(position[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes += static_cast<char>(hi * 16 + lo);
  }
  Primary->File->reset(bytes);
  return true;
}

BYTE ViewManager::Next() { return Primary && open_ ? Primary->Next() : Level_Notify; }
BYTE ViewManager::Previous() { return Primary && open_ ? Primary->Previous() : Level_Notify; }

// ---- StringThumb -----------------------------------------------------------------------

void StringThumb::Init(int /*mode*/, int char_class) {
  // Only the table built from the class is needed; it serves every mode here.
  chars_.clear();
  case_sensitive_ = (char_class & ScrollSort_CaseSensitive) != 0;
  if (char_class & ScrollSort_AllowNumeric) chars_ += "0123456789";
  if (char_class & ScrollSort_AllowAlpha) {
    chars_ += "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (case_sensitive_) chars_ += "abcdefghijklmnopqrstuvwxyz";
  }
  if (chars_.empty()) chars_ = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
}

// A character's place in the class: below the first counts as the first,
// above the last as the last.
std::size_t StringThumb::index_of(char c) const {
  if (!case_sensitive_ && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const auto u = static_cast<unsigned char>(c);
  std::size_t i = 0;
  while (i + 1 < chars_.size() && static_cast<unsigned char>(chars_[i + 1]) <= u) ++i;
  return i;
}

int StringThumb::GetPercentile(std::string_view value) const {
  if (chars_.empty()) return 1;
  const std::size_t n = chars_.size();
  // A first character above the class lies after every two-character value.
  auto above = [&](char c) {
    if (!case_sensitive_ && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return static_cast<unsigned char>(c) > static_cast<unsigned char>(chars_.back());
  };
  if (!value.empty() && above(value[0])) return 100;
  const std::size_t first = value.empty() ? 0 : index_of(value[0]);
  const std::size_t second = value.size() < 2 ? 0 : index_of(value[1]);
  const std::size_t at = first * n + second;
  return static_cast<int>(std::min<std::size_t>(100, 1 + at * 100 / (n * n)));
}

std::string StringThumb::GetValue(int percentile) const {
  if (chars_.empty()) return {};
  const std::size_t n = chars_.size();
  const std::size_t p = static_cast<std::size_t>(std::clamp(percentile, 1, 100) - 1);
  const std::size_t at = (p * n * n + 99) / 100;
  return {chars_[std::min(n - 1, at / n)], chars_[at % n]};
}

// ---- Locator ----------------------------------------------------------------------------

void Locator::Init(int control, FieldAccess field, bool no_case) {
  Control = control;
  Field = std::move(field);
  NoCase = no_case;
  shadow_.clear();
}

bool Locator::TakeKey(int keycode, char keychar) {
  if (keycode == BSKey) {
    if (shadow_.empty()) return false;
    shadow_.pop_back();
    return true;
  }
  if (static_cast<unsigned char>(keychar) < 0x20 || keychar == 0x7F) return false;
  if (shadow_.size() >= MaxLength) return false;
  shadow_ += NoCase ? text::upper(std::string(1, keychar)) : std::string(1, keychar);
  return true;
}

void Locator::Set() {
  if (Field.set) Field.set(shadow_);
}

// ---- BrowseManager ----------------------------------------------------------------------

void BrowseManager::Init(int list, FieldAccess position, ViewManager& view, BrowseQueue& queue,
                         RelationManager& primary, WindowManager& window) {
  ListControl = list;
  position_ = std::move(position);
  View = &view;
  Q = &queue;
  Primary = &primary;
  Window = &window;
  Selecting = window.Request == SelectRecord;
  sorts_.clear();
  fields_.clear();
  current_ = 0;
  filled_ = false;
  // The view is over the primary file; its order comes with the sort order.
  if (primary.Me) View->Init(*primary.Me, View->Order());
  if (View->Open() != Level_Benign) View->Close();
  window.AddComponent(*this);
}

std::size_t BrowseManager::AddSortOrder(StringThumb* thumb, std::size_t key) {
  sorts_.push_back({thumb, key, nullptr});
  if (View) View->SetOrder(key);
  return sorts_.size();
}

void BrowseManager::AddLocator(Locator& locator) {
  if (!sorts_.empty()) sorts_.back().locator = &locator;
}

void BrowseManager::AddField(FieldAccess file_field, FieldAccess queue_field) {
  fields_.push_back({std::move(file_field), std::move(queue_field)});
}

void BrowseManager::Kill() {
  if (View) View->Kill();
  if (Q) Q->Free();
  current_ = 0;
  filled_ = false;
}

void BrowseManager::SetAlerts() {
  window::Window* w = Window ? Window->Window() : nullptr;
  if (!w || !ListControl) return;
  for (int key : {MouseLeft2, MouseRightUp, DeleteKey, UpKey, DownKey, PgUpKey, PgDnKey, HomeKey, EndKey, BSKey})
    w->alert(ListControl, key);
  // The locator takes every character typed on the list.
  if (CurrentLocator()) {
    for (char c = ' '; c < 0x7F; ++c) w->alert(ListControl, window::char_keycode(c));
  }
}

std::string BrowseManager::RowPosition(std::size_t row) {
  if (!Q || row < 1 || row > Q->Records()) return {};
  Q->Get(row);
  // A STRING field keeps the position blank-padded; the position has no blanks.
  return position_.get ? std::string(text::clip(position_.get())) : std::string();
}

// Reads the page forwards from `start` (a view position; empty: the first
// row), then, if the page is not full, goes back before `start` for the
// rows still missing. The row at `start` (or the first after it) is
// highlighted, the last one when nothing lies at or after it.
void BrowseManager::Fill(std::string_view start_at, bool from_buffer) {
  if (!View || !View->IsOpen() || !Q) {
    if (Q) Q->Free();
    current_ = 0;
    return;
  }
  // Reading moves the buffer: a start from the buffer's key value keeps a copy.
  const std::string start(start_at);
  const std::string searched = from_buffer && Primary && Primary->Me && Primary->Me->File
                                   ? Primary->Me->File->buffer() : std::string();
  const bool at_first = !from_buffer && start.empty();
  auto position_at = [&] {
    if (from_buffer) {
      if (!searched.empty()) Primary->Me->File->buffer() = searched;
      View->ResetFromBuffer();
    } else if (at_first || !View->Reset(start)) {
      View->SetStart();
    }
  };
  // How many rows lie at or after the start, up to a page.
  position_at();
  std::size_t ahead = 0;
  std::string first_ahead;
  while (ahead < PageSize && View->Next() == Level_Benign) {
    if (ahead++ == 0) first_ahead = View->Position();
  }
  // The rows before it that complete the page (none before the first row);
  // the start row itself, which reading backwards may give first, is not one.
  position_at();
  std::size_t behind = 0;
  std::string first = first_ahead;
  while (!at_first && ahead + behind < PageSize && View->Previous() == Level_Benign) {
    const std::string p = View->Position();
    if (p == first_ahead) continue;
    ++behind;
    first = p;
  }
  FillForwardFrom(at_first ? std::string() : first);
  filled_ = true;
  Highlight(ahead == 0 ? Q->Records() : behind + 1);
}

void BrowseManager::FillForwardFrom(const std::string& start) {
  Q->Free();
  if (start.empty() || !View->Reset(start)) View->SetStart();
  while (Q->Records() < PageSize && View->Next() == Level_Benign) {
    for (Pair& p : fields_) p.queue.set(p.file.get());
    if (position_.set) position_.set(View->Position());
    Q->Add();
  }
}

void BrowseManager::FillFromEnd() {
  if (!View || !View->IsOpen() || !Q) return;
  View->SetStart();
  std::string first;
  std::size_t n = 0;
  while (n < PageSize && View->Previous() == Level_Benign) {
    ++n;
    first = View->Position();
  }
  if (n == 0) {
    Q->Free();
  } else {
    FillForwardFrom(first);
  }
  filled_ = true;
  Highlight(Q->Records());
}

// The row becomes the highlighted one: its fields into the record buffer,
// the buttons and the thumb follow.
void BrowseManager::Highlight(std::size_t row) {
  const std::size_t rows = Rows();
  current_ = rows == 0 ? 0 : std::clamp<std::size_t>(row, 1, rows);
  if (current_) {
    Q->Get(current_);
    for (Pair& p : fields_) p.file.set(p.queue.get());
  }
  UpdateWindow();
}

void BrowseManager::UpdateWindow() {
  window::Window* w = Window ? Window->Window() : nullptr;
  if (!w) return;
  const bool rows = Rows() > 0;
  w->set_property(ListControl, PROP_Selected, static_cast<std::int64_t>(current_));
  if (SelectControl) {
    w->set_property(SelectControl, PROP_Disable, rows ? 0 : 1);
    if (HideSelect && !Selecting) w->set_property(SelectControl, PROP_Hide, 1);
  }
  if (DeleteControl) w->set_property(DeleteControl, PROP_Disable, rows ? 0 : 1);
  if (Selecting && SelectControl) {
    w->set_default_button(rows ? SelectControl : 0);
  }
  if (!sorts_.empty() && sorts_.front().thumb && sorts_.front().locator && current_) {
    w->set_property(ListControl, PROP_VScrollPos,
                    sorts_.front().thumb->GetPercentile(sorts_.front().locator->Field.get()));
  }
}

void BrowseManager::Reset(bool force) {
  if (!filled_) {
    if (!sorts_.empty()) Fill({}, false);
  } else if (force) {
    Fill(RowPosition(1), false);
  }
}

void BrowseManager::Locate() {
  Locator* l = CurrentLocator();
  if (!l) return;
  if (l->Shadow().empty()) {
    Fill({}, false);
    return;
  }
  l->Set();
  Fill({}, true);
}

// Reads the row before the one at `position` (reading back from a row gives
// the row itself first); false when there is none.
bool BrowseManager::StepBefore(const std::string& position) {
  if (!View->Reset(position)) return false;
  if (View->Previous() != Level_Benign) return false;
  if (View->Position() != position) return true;
  return View->Previous() == Level_Benign;
}

void BrowseManager::Scroll(int key) {
  const std::size_t rows = Rows();
  if (rows == 0) return;
  switch (key) {
    case DownKey:
      if (current_ < rows) {
        Highlight(current_ + 1);
      } else if (rows >= 2) {
        // One row further when there is one: the page from its second row.
        View->Reset(RowPosition(rows));
        View->Next();
        if (View->Next() == Level_Benign) FillForwardFrom(RowPosition(2));
        Highlight(Rows());
      }
      break;
    case UpKey:
      if (current_ > 1) {
        Highlight(current_ - 1);
      } else {
        if (StepBefore(RowPosition(1))) FillForwardFrom(View->Position());
        Highlight(1);
      }
      break;
    case PgDnKey:
      if (current_ < rows) {
        Highlight(rows);
      } else {
        Fill(RowPosition(rows), false);
        Highlight(Rows());
      }
      break;
    case PgUpKey: {
      if (current_ > 1) {
        Highlight(1);
      } else {
        std::string first;
        if (StepBefore(RowPosition(1))) {
          first = View->Position();
          for (std::size_t i = 2; i < PageSize && View->Previous() == Level_Benign; ++i) first = View->Position();
        }
        if (!first.empty()) FillForwardFrom(first);
        Highlight(1);
      }
      break;
    }
    case HomeKey:
      Fill({}, false);
      Highlight(1);
      break;
    case EndKey:
      FillFromEnd();
      break;
    default:
      break;
  }
}

void BrowseManager::Ask(BYTE request) {
  if (!Window || current_ == 0) return;
  Window->UpdateComponents();
  // The whole record of the highlighted row into the buffer.
  const std::size_t row = current_;
  const std::string top = RowPosition(1);
  const std::string at = RowPosition(row);
  // A row that another program removed meanwhile must not bring in the row
  // after it: the buffer then keeps the list's fields, and the update finds
  // no record by them.
  if (!View->Reset(at) || View->Next() != Level_Benign || View->Position() != at) Highlight(row);
  Window->RunUpdate(AskProcedure, request);
  // The page again from where it stood; a deleted top row gives way to the next.
  Fill(top, false);
  Highlight(row);
}

void BrowseManager::TakePopup() {
  window::Window* w = Window->Window();
  const int row = static_cast<int>(text::to_long(w->property(ListControl, PROPLIST_MouseDownRow)));
  if (row >= 1 && static_cast<std::size_t>(row) <= Rows()) Highlight(static_cast<std::size_t>(row));
  const bool rows = Rows() > 0;
  std::string items;
  std::vector<int> controls;
  auto item = [&](const char* text, int control) {
    if (!control) return;
    if (!items.empty()) items += '|';
    if (!rows) items += '~';
    items += text;
    controls.push_back(control);
  };
  item("&Delete", DeleteControl);
  if (Selecting) item("&Select", SelectControl);
  const int chosen = window::popup(items);
  if (chosen >= 1 && static_cast<std::size_t>(chosen) <= controls.size()) {
    w->post(EVENT_Accepted, controls[static_cast<std::size_t>(chosen - 1)]);
  }
}

BYTE BrowseManager::TakeEvent() {
  if (!Window || !Window->Window()) return Level_Benign;
  window::Window& w = *Window->Window();
  const Event& e = w.current_event();
  if (e.field == ListControl && ListControl) {
    switch (e.event) {
      case EVENT_NewSelection:
        Highlight(static_cast<std::size_t>(w.choice(ListControl)));
        break;
      case EVENT_Accepted:
        if (e.keycode == MouseLeft2 && Selecting && SelectControl && Rows() > 0) w.post(EVENT_Accepted, SelectControl);
        break;
      case EVENT_ScrollDrag: {
        Locator* l = CurrentLocator();
        if (l && !sorts_.empty() && sorts_.front().thumb) {
          const int pos = static_cast<int>(text::to_long(w.property(ListControl, PROP_VScrollPos)));
          l->Field.set(sorts_.front().thumb->GetValue(pos));
          Fill({}, true);
        }
        break;
      }
      case EVENT_AlertKey:
        switch (e.keycode) {
          case MouseLeft2:
            if (Selecting && SelectControl && Rows() > 0) w.post(EVENT_Accepted, SelectControl);
            break;
          case MouseRightUp:
            if (PopupMenu) TakePopup();
            break;
          case DeleteKey:
            if (DeleteControl && Rows() > 0) w.post(EVENT_Accepted, DeleteControl);
            break;
          case UpKey:
          case DownKey:
          case PgUpKey:
          case PgDnKey:
          case HomeKey:
          case EndKey:
            Scroll(e.keycode);
            break;
          default:
            if (Locator* l = CurrentLocator(); l && l->TakeKey(e.keycode, e.keychar)) Locate();
            break;
        }
        break;
      default:
        break;
    }
    return Level_Benign;
  }
  if (e.event == EVENT_Accepted && e.field != 0) {
    if (e.field == SelectControl && Rows() > 0) {
      Window->SetResponse(RequestCompleted);
      w.post(EVENT_CloseWindow);
    } else if (e.field == DeleteControl && Rows() > 0) {
      Ask(DeleteRecord);
    }
  }
  return Level_Benign;
}

}  // namespace abc
