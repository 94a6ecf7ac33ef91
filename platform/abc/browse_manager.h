// The class library's browse: a list window's rows read page by page from a
// view of one file in key order, with a locator that finds a row by its first
// letters and a thumb that maps key values to the scroll bar.
//
// ViewManager: the view over one file manager in the order of one key. Open
// needs the file opened through its manager; Close closes the view only.
// Position() is the current row's place in the order (the driver's
// POSITION); Reset(position) makes NEXT and PREVIOUS go on from that row
// (reading it again, or from where it stood when it has gone);
// ResetFromBuffer is SET(key, key) from the record buffer's key value.
//
// BrowseManager contract:
// - The queue holds one page: at most PageSize rows, never the whole file. A
//   row carries the AddField pairs (queue field := file field) and its view
//   position. Opening the window fills the first page with row 1 highlighted.
// - Whenever the highlighted row changes, its fields go back into the file's
//   record buffer (file field := queue field). The select and delete controls
//   are disabled while the list is empty; while selecting with rows, the
//   select control is the window's default button; the select control is
//   hidden when HideSelect is on and the browse is not selecting.
// - On the list: a double-click presses the select control (selecting only),
//   the Delete key the delete control, Up, Down, PgUp, PgDn, Home and End move
//   the highlight (reading further pages as needed); a right click highlights
//   the row under the mouse and offers the pop-up menu "&Delete" and, while
//   selecting, "&Select" (disabled while the list is empty); any other key goes
//   to the locator, and the page is then read from the locator's text: the
//   first row at or after it is highlighted (the last row when none is). A
//   scroll-thumb drag finds the row at the thumb's key value.
// - Select ends the window completed. Delete reads the highlighted row's whole
//   record into the buffer and runs the window's RunUpdate with the update
//   procedure and request 3; the page is then read again from where it stood.
// - Locator: a search text of at most MaxLength characters; a character
//   appends, Backspace takes the last back; NoCase compares without case.
//   StringThumb: maps a key text to 1..100 and back through a table built from
//   its character class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/abc/file_manager.h"
#include "platform/abc/window_manager.h"
#include "platform/queue/queue.h"

namespace abc {

// How the browse reads and writes one field of a record buffer or of the queue's buffer.
struct FieldAccess {
  std::function<std::string()> get;
  std::function<void(std::string_view)> set;
};

class ViewManager {
 public:
  void Init(FileManager& file, std::size_t key);
  void Kill();
  BYTE Open();
  void Close();
  bool IsOpen() const { return open_; }
  void SetOrder(std::size_t key) { key_ = key; }
  std::size_t Order() const { return key_; }

  void SetStart();              // SET(key): NEXT from the first row, PREVIOUS from the last
  void ResetFromBuffer();       // SET(key, key)
  bool Reset(std::string_view position);
  std::string Position() const;
  BYTE Next();
  BYTE Previous();

  FileManager* Primary = nullptr;

 private:
  std::size_t key_ = 0;
  bool open_ = false;
};

// The list's queue as the browse uses it: one record buffer, appended or read.
class BrowseQueue {
 public:
  virtual ~BrowseQueue() = default;
  virtual std::size_t Records() const = 0;
  virtual void Free() = 0;
  virtual void Add() = 0;
  virtual void Get(std::size_t row) = 0;
};

template <class R>
class QueueOf final : public BrowseQueue {
 public:
  explicit QueueOf(queue::Queue<R>& q) : q_(q) {}
  std::size_t Records() const override { return q_.records(); }
  void Free() override { q_.free(); }
  void Add() override { q_.add(); }
  void Get(std::size_t row) override { q_.get(row); }

 private:
  queue::Queue<R>& q_;
};

inline constexpr int ScrollSort_AllowAlpha = 1;
inline constexpr int ScrollSort_AllowAlt = 2;
inline constexpr int ScrollSort_AllowNumeric = 4;
inline constexpr int ScrollSort_CaseSensitive = 8;

class StringThumb {
 public:
  // Mode 3: the table is built from the character class (ScrollSort_ flags).
  void Init(int mode, int char_class);
  int GetPercentile(std::string_view value) const;  // 1..100
  std::string GetValue(int percentile) const;

 private:
  std::size_t index_of(char c) const;
  std::string chars_;
  bool case_sensitive_ = false;
};

class Locator {
 public:
  // control: the locator's own entry (0: none, the list takes the keys).
  void Init(int control, FieldAccess field, bool no_case);
  // A key typed on the list: true when the search text changed.
  bool TakeKey(int keycode, char keychar);
  void Clear() { shadow_.clear(); }
  const std::string& Shadow() const { return shadow_; }
  // The search text into the searched field of the record buffer.
  void Set();

  std::size_t MaxLength = 39;
  int Control = 0;
  bool NoCase = false;
  FieldAccess Field;

 private:
  std::string shadow_;
};

class BrowseManager : public WindowComponent {
 public:
  void Init(int list, FieldAccess position, ViewManager& view, BrowseQueue& queue, RelationManager& primary,
            WindowManager& window);
  std::size_t AddSortOrder(StringThumb* thumb, std::size_t key);
  void AddLocator(Locator& locator);
  void AddField(FieldAccess file_field, FieldAccess queue_field);
  void AddFieldLong(FieldAccess file_field, FieldAccess queue_field) { AddField(std::move(file_field), std::move(queue_field)); }

  // ---- WindowComponent ----
  BYTE TakeEvent() override;
  void Reset(bool force) override;
  void UpdateWindow() override;
  void SetAlerts() override;
  void Kill() override;
  // The first page waits for the sort order: the window resets once more.
  bool ResetRequired() override { return !filled_ && !sorts_.empty(); }

  // The highlighted row (1-based; 0 none) and the rows on the page.
  std::size_t Highlighted() const { return current_; }
  std::size_t Rows() const { return Q ? Q->Records() : 0; }

  BrowseQueue* Q = nullptr;
  ViewManager* View = nullptr;
  RelationManager* Primary = nullptr;
  WindowManager* Window = nullptr;
  int ListControl = 0;
  int SelectControl = 0;
  int DeleteControl = 0;
  bool HideSelect = false;
  bool PopupMenu = true;
  bool Selecting = false;  // the window's request is select
  int AskProcedure = 0;     // the update procedure's number
  std::size_t PageSize = 16;

 private:
  struct Sort {
    StringThumb* thumb;
    std::size_t key;
    Locator* locator = nullptr;
  };
  struct Pair {
    FieldAccess file, queue;
  };

  void Fill(std::string_view start, bool from_buffer);
  void FillFromEnd();
  void FillForwardFrom(const std::string& start);
  void Highlight(std::size_t row);
  void Locate();
  void Scroll(int key);
  bool StepBefore(const std::string& position);
  void Ask(BYTE request);
  void TakePopup();
  std::string RowPosition(std::size_t row);
  Locator* CurrentLocator() { return sorts_.empty() ? nullptr : sorts_.front().locator; }

  FieldAccess position_;
  std::vector<Sort> sorts_;
  std::vector<Pair> fields_;
  std::size_t current_ = 0;
  bool filled_ = false;
};

}  // namespace abc
