#include "platform/abc/resizer.h"

#include <algorithm>

#include "platform/text/text.h"

namespace abc {

using window::ControlType;
using window::Rect;

namespace {

bool is_container(ControlType t) { return t == ControlType::Group || t == ControlType::Sheet; }

bool is_surface(ControlType t) {
  return t == ControlType::List || t == ControlType::Group || t == ControlType::Sheet || t == ControlType::Text;
}

bool keeps_size(int strategy, ControlType t) {
  if (strategy == AppStrategy_Surface) return !is_surface(t);
  if (strategy == AppStrategy_Spread) return t == ControlType::Button;
  return false;
}

bool keeps_height(int strategy, ControlType t) {
  return strategy == AppStrategy_Spread &&
         (t == ControlType::Entry || t == ControlType::DropList || t == ControlType::Combo || t == ControlType::Check);
}

bool holds(const Rect& outer, const Rect& inner) {
  if (outer.width < 0 || outer.height < 0) return false;
  // A control of default size is judged by its corner alone.
  const int right = inner.x + std::max(inner.width, 0), bottom = inner.y + std::max(inner.height, 0);
  return inner.x >= outer.x && inner.y >= outer.y && inner.x < outer.x + outer.width &&
         inner.y < outer.y + outer.height && right <= outer.x + outer.width && bottom <= outer.y + outer.height;
}

int scaled(int offset, int from, int to) {
  if (from <= 0) return offset;
  return static_cast<int>((static_cast<long long>(offset) * to) / from);
}

}  // namespace

void Resizer::Init(window::Window& w, int strategy, bool set_min_size, bool /*set_max_size*/) {
  window_ = &w;
  strategy_ = strategy;
  design_width_ = static_cast<int>(text::to_long(w.property(window::PROP_Width)));
  design_height_ = static_cast<int>(text::to_long(w.property(window::PROP_Height)));
  items_.clear();
  for (int feq = 1; feq <= static_cast<int>(w.controls()); ++feq) {
    const window::ControlDef* c = w.control(feq);
    items_.push_back({feq, c->type, c->at});
  }
  if (set_min_size) {
    w.set_property(window::PROP_MinWidth, design_width_);
    w.set_property(window::PROP_MinHeight, design_height_);
  }
}

void Resizer::AssignParents() {
  for (Item& it : items_) {
    it.parent = 0;
    long long best = -1;
    for (const Item& p : items_) {
      if (p.control == it.control || !is_container(p.type) || !holds(p.design, it.design)) continue;
      const long long area = static_cast<long long>(p.design.width) * p.design.height;
      if (best < 0 || area < best) {
        best = area;
        it.parent = p.control;
      }
    }
  }
}

void Resizer::RemoveControl(int control) {
  for (Item& it : items_) {
    if (it.control == control) it.removed = true;
  }
}

std::vector<int> Resizer::Controls() const {
  std::vector<int> out;
  for (const Item& it : items_)
    if (!it.removed) out.push_back(it.control);
  return out;
}

int Resizer::Parent(int control) const {
  const Item* it = find(control);
  return it ? it->parent : 0;
}

const Resizer::Item* Resizer::find(int control) const {
  for (const Item& it : items_)
    if (it.control == control) return &it;
  return nullptr;
}

Rect Resizer::design_of_parent(const Item& it) const {
  if (const Item* p = it.parent ? find(it.parent) : nullptr) return p->design;
  return {0, 0, design_width_, design_height_};
}

Rect Resizer::now_of_parent(const Item& it, const std::vector<Rect>& now) const {
  if (it.parent) return now[static_cast<std::size_t>(it.parent - 1)];
  return {0, 0, static_cast<int>(text::to_long(window_->property(window::PROP_Width))),
          static_cast<int>(text::to_long(window_->property(window::PROP_Height)))};
}

// Whether a control still in care starts to the right of (below) this one
// and overlaps it across: the extra room then belongs to that one.
bool Resizer::managed_beside(const Item& it, bool right) const {
  const Rect& a = it.design;
  for (const Item& o : items_) {
    if (o.removed || o.control == it.control || o.parent != it.parent) continue;
    const Rect& b = o.design;
    // "Beside" is judged by where the other one starts: past this one's
    // middle, since designs let neighbours share their border line.
    if (right) {
      const bool across = b.y < a.y + std::max(a.height, 1) && a.y < b.y + std::max(b.height, 1);
      if (across && b.x > a.x + a.width / 2) return true;
    } else {
      const bool across = b.x < a.x + std::max(a.width, 1) && a.x < b.x + std::max(b.width, 1);
      if (across && b.y > a.y + a.height / 2) return true;
    }
  }
  return false;
}

void Resizer::ResizeAll() {
  if (!window_ || strategy_ == AppStrategy_NoResize) return;
  // Parents come before their children in this pass only if laid out first:
  // containers are placed in a first round, the rest in a second.
  std::vector<Rect> now(items_.size());
  for (const Item& it : items_) now[static_cast<std::size_t>(it.control - 1)] = it.design;
  for (int round = 0; round < 2; ++round) {
    for (const Item& it : items_) {
      if (it.removed || is_container(it.type) != (round == 0)) continue;
      const Rect from = design_of_parent(it);
      const Rect to = now_of_parent(it, now);
      const Rect& d = it.design;
      Rect r = d;
      const int dx = to.width - from.width, dy = to.height - from.height;
      if (strategy_ == AppStrategy_Surface && is_surface(it.type)) {
        r.x = to.x + (d.x - from.x);
        r.y = to.y + (d.y - from.y);
        if (d.width >= 0 && !managed_beside(it, true)) r.width = std::max(0, d.width + dx);
        if (d.height >= 0 && !managed_beside(it, false)) r.height = std::max(0, d.height + dy);
      } else {
        r.x = to.x + scaled(d.x - from.x, from.width, to.width);
        r.y = to.y + scaled(d.y - from.y, from.height, to.height);
        if (!keeps_size(strategy_, it.type)) {
          if (d.width >= 0) r.width = scaled(d.width, from.width, to.width);
          if (d.height >= 0 && !keeps_height(strategy_, it.type)) r.height = scaled(d.height, from.height, to.height);
        }
      }
      now[static_cast<std::size_t>(it.control - 1)] = r;
      window_->set_property(it.control, window::PROP_Xpos, r.x);
      window_->set_property(it.control, window::PROP_Ypos, r.y);
      if (d.width >= 0) window_->set_property(it.control, window::PROP_Width, r.width);
      if (d.height >= 0) window_->set_property(it.control, window::PROP_Height, r.height);
    }
  }
}

BYTE Resizer::TakeEvent() {
  if (window_ && window_->current_event().event == window::EVENT_Sized) ResizeAll();
  return Level_Benign;
}

}  // namespace abc
