#include "shell/fetch_command.h"

#include <limits>
#include <string>

#include "engine/export_run.h"
#include "globals/globals.h"
#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "shell/field_commands.h"
#include "shell/main_window_def.h"
#include "shell/main_window_manager.h"
#include "shell/query_commands.h"

namespace shell {

namespace {

using globals::FieldListQueue;
using globals::FieldListRecord;
using globals::SelectedNamesQueue;
using globals::SelectedNamesRecord;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A keyword is a word of its own: at the start of the text or after a blank,
// a comma or a line break, so a label ending in "TOP" or "BOTTOM" is no
// keyword. The first such occurrence counts; 0-based, npos when none.
std::size_t find_keyword(std::string_view text, std::string_view keyword_and_blank) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t p = text.find(keyword_and_blank, from);
    if (p == std::string_view::npos) return p;
    if (p == 0) return p;
    const char before = text[p - 1];
    if (before == ' ' || before == ',' || before == '\r' || before == '\n') return p;
    from = p + 1;
  }
}

}  // namespace

std::int32_t KeywordNumber(std::string_view select, std::size_t start) {
  const std::string_view text = text::clip(select);
  std::size_t i = start;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  constexpr long long kLimit = static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1;
  // Digits, and grouping commas between digits; anything else (a comma that
  // leads to a label, a blank) ends the number.
  while (i < text.size()) {
    if (is_digit(text[i])) {
      value = std::min(kLimit, value * 10 + (text[i] - '0'));
      ++i;
    } else if (text[i] == ',' && i > start && i + 1 < text.size() && is_digit(text[i - 1]) && is_digit(text[i + 1])) {
      ++i;
    } else {
      break;
    }
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

void ParseSelectClause() {
  globals::TopCount = 0;
  globals::StartAtPointer = 0;
  globals::ReverseOrder = 0;
  globals::GLO_SELECT = text::left(globals::GLO_SELECT.view());
  const std::string_view select = globals::GLO_SELECT.view();
  if (std::size_t p = find_keyword(select, "TOP "); p != std::string_view::npos) {
    globals::TopCount = KeywordNumber(select, p + 3);
  }
  if (std::size_t p = find_keyword(select, "BOTTOM "); p != std::string_view::npos) {
    globals::TopCount = KeywordNumber(select, p + 6);
    globals::ReverseOrder = 1;
  }
  if (std::size_t p = find_keyword(select, "STARTAT "); p != std::string_view::npos) {
    globals::StartAtPointer = KeywordNumber(select, p + 7);
  }
}

void BuildPreviewFormat(MainLocals& m, window::Window& w) {
  if (SelectedNamesQueue.records() > 0) {
    bool from_select = false;
    SelectedNamesRecord r;
    for (std::size_t i = 1; i <= SelectedNamesQueue.records() && !from_select; ++i) {
      if (SelectedNamesQueue.peek(i, r) && r.TFQ_FROMWHERE == 0) from_select = true;
    }
    if (!from_select) SelectedNamesQueue.free();
  }
  m.PreviewFormat.clear();
  if (!globals::GLO_NOPREVIEW) {
    FieldListRecord& f = FieldListQueue.buffer();
    SelectedNamesRecord& s = SelectedNamesQueue.buffer();
    for (std::size_t i = 1; i <= FieldListQueue.records(); ++i) {
      FieldListQueue.get(i);
      if (SelectedNamesQueue.records() > 0) {
        s.TFQ_NAME = text::upper(f.ALF_DAFIELD.view());
        if (f.ALF_NAMELEN == 0) {
          f.ALF_NAMELEN = static_cast<globals::LONG>(text::clip(s.TFQ_NAME.view()).size());
          FieldListQueue.put();
        }
        s.TFQ_NAMELEN = f.ALF_NAMELEN;
        if (SelectedNamesQueue.get_by<&SelectedNamesRecord::TFQ_NAME, &SelectedNamesRecord::TFQ_NAMELEN>() != 0)
          continue;
      }
      const std::string_view label = text::clip(f.ALF_DAFIELD.view());
      m.PreviewFormat = std::string(text::clip(m.PreviewFormat));
      m.PreviewFormat += text::int_text(static_cast<std::int64_t>(label.size()) + 50);
      m.PreviewFormat += "L|M~";
      m.PreviewFormat += label;
      m.PreviewFormat += '~';
    }
  }
  w.set_property(FEQ_LIST1, window::PROP_Format, m.PreviewFormat);
}

void NewQuery(window::Window& w) {
  globals::GLO_QUERYNAME.clear();
  globals::GLO_TPSPASSWORD.clear();
  globals::GLO_INPUTTPSLOCATION.clear();
  globals::GLO_SELECT.clear();
  globals::GLO_WHERE.clear();
  globals::LastRecordCount = 0;
  FieldListQueue.free();
  w.select(FEQ_GLO_QUERYNAME);
  w.display();
}

abc::BYTE MainWindowManager::OnAccepted() {
  window::Window& w = run_.window;
  MainLocals& m = run_.locals;
  const int control = Field();

  // Before the base handler.
  switch (control) {
    case FEQ_BUTTONFETCH:
      if (text::blank(globals::GLO_INPUTTPSLOCATION.view())) {
        w.select(FEQ_GLO_INPUTTPSLOCATION);
        return abc::Level_Notify;
      }
      w.set_property(window::PROP_Text, globals::MainCaption.view());
      ParseSelectClause();
      m.FetchFieldsResult = engine::ExportTable("1", globals::GLO_INPUTTPSLOCATION.view());
      if (m.FetchFieldsResult == engine::kExportOpenFailed) return abc::Level_Notify;
      BuildPreviewFormat(m, w);
      break;
    case FEQ_BUTTONNEW:
      NewQuery(w);
      break;
    case FEQ_BUTTONQUERY:
      QueryButtonBeforeBase(m);
      break;
    default:
      break;
  }

  const abc::BYTE level = abc::WindowManager::OnAccepted();

  // After it.
  switch (control) {
    case FEQ_BUTTONFETCH:
      UpdateComponents();
      engine::ExportTable("", globals::GLO_INPUTTPSLOCATION.view());
      Reset(false);
      break;
    case FEQ_BUTTONQUERY:
      QueryButtonAfterBase(*this, m);
      break;
    default:
      FieldAndFileCommand(*this, control);
      break;
  }
  return level;
}

}  // namespace shell
