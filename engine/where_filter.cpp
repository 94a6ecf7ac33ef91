#include "engine/where_filter.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "platform/eval/eval.h"
#include "platform/files/errors.h"
#include "platform/text/text.h"
#include "platform/window/window.h"

namespace engine {

namespace {

// The text put in place of a column's label: the value quoted for the text
// types, nothing for a MEMO, the value as it stands otherwise.
void make_replacement(const Column& c, std::string_view raw_value, std::string& out) {
  out.clear();
  if (c.type == "MEMO") return;
  const std::string_view raw = text::clip(raw_value);
  if (!c.text_type) {
    out.append(raw);
    return;
  }
  // The expression syntax's own escape: a quote inside a text literal is
  // doubled, so a value holding one is judged by its value.
  out += '\'';
  for (char ch : raw) {
    out += ch;
    if (ch == '\'') out += '\'';
  }
  out += '\'';
}

// `text` with `replacement` in place of every occurrence of `label`, built
// into `out` in one pass: each search goes on behind the value inserted
// before it, so a value that holds the label is not searched again, and
// nothing is moved more than once. With `origin` (for each byte of `text` the
// position in the WHERE text it stems from), `out_origin` gets the same for
// `out`; an inserted value stems from the label it replaced.
void replace_label(std::string_view text, std::string_view label, std::string_view replacement, std::string& out,
                   const std::vector<std::size_t>* origin = nullptr, std::vector<std::size_t>* out_origin = nullptr) {
  out.clear();
  if (out_origin) out_origin->clear();
  std::size_t from = 0;
  for (std::size_t at = text.find(label); at != std::string_view::npos; at = text.find(label, from)) {
    out.append(text.substr(from, at - from));
    out.append(replacement);
    if (out_origin) {
      out_origin->insert(out_origin->end(), origin->begin() + static_cast<std::ptrdiff_t>(from),
                         origin->begin() + static_cast<std::ptrdiff_t>(at));
      out_origin->insert(out_origin->end(), replacement.size(), (*origin)[at]);
    }
    from = at + label.size();
  }
  out.append(text.substr(from));
  if (out_origin)
    out_origin->insert(out_origin->end(), origin->begin() + static_cast<std::ptrdiff_t>(from), origin->end());
}

// One column's turn on WhereWork.
void replace_in_where(RunState& run, std::string_view label, std::string_view replacement) {
  if (WhereWork.empty() || label.empty() || WhereWork.find(label) == std::string::npos) return;
  replace_label(WhereWork, label, replacement, run.WhereNext);
  WhereWork.swap(run.WhereNext);
}

// The copy with a placeholder (a NUL) for every value, made once per run by
// the same column-by-column replacement as the record's copy. It stands for
// every record whose values cannot form a label of a later column: a label
// only the inserted values could complete would be missing from it.
// MEMO labels, always replaced by nothing, are removed in it for good.
void prepare_template(RunState& run) {
  WhereCopyTemplate& t = run.WhereTemplate;
  t = WhereCopyTemplate{};
  t.prepared = true;
  const std::string_view where = globals::GLO_WHERE.view();
  if (where.empty()) return;
  for (std::size_t k = 0; k < run.Columns.size(); ++k)
    if (run.Columns[k].selected && !run.Columns[k].name.empty()) t.columns.push_back(k);
  run.WhereValues.assign(run.Columns.size(), std::string());
  t.later_chars.assign(run.Columns.size(), CharSet{});
  CharSet later;
  for (std::size_t i = t.columns.size(); i-- > 0;) {
    t.later_chars[t.columns[i]] = later;
    for (unsigned char ch : run.Columns[t.columns[i]].name) later[ch] = true;
  }
  t.slotted.assign(run.Columns.size(), false);
  // A NUL of the text itself, or in a label, could not be told from a placeholder.
  t.usable = where.find('\0') == std::string_view::npos && !later['\0'];
  if (!t.usable) return;

  t.text.assign(where);
  std::string next;
  std::vector<std::size_t> next_slots;
  for (const std::size_t k : t.columns) {
    const Column& c = run.Columns[k];
    if (t.text.find(c.name) == std::string::npos) continue;
    const bool memo = c.type == "MEMO";
    next.clear();
    next_slots.clear();
    std::size_t from = 0, slot = 0;
    auto copy_to = [&](std::size_t to) {
      for (std::size_t i = from; i < to; ++i)
        if (t.text[i] == '\0') next_slots.push_back(t.slots[slot++]);
      next.append(t.text, from, to - from);
    };
    for (std::size_t at = t.text.find(c.name); at != std::string::npos; at = t.text.find(c.name, from)) {
      copy_to(at);
      if (!memo) {
        next += '\0';
        next_slots.push_back(k);
        t.slotted[k] = true;
      }
      from = at + c.name.size();
    }
    copy_to(t.text.size());
    t.text.swap(next);
    t.slots.swap(next_slots);
  }
  for (std::size_t at = t.text.find('\0'); at != std::string::npos; at = t.text.find('\0', at + 1))
    t.slot_at.push_back(at);
}

// Whether the template stands for this record: no inserted value may take
// part in an occurrence of a label that a later column looks for. Such an
// occurrence would hold the value's first or last byte, or lie inside it.
bool template_holds(const RunState& run) {
  const WhereCopyTemplate& t = run.WhereTemplate;
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    const std::size_t k = t.columns[i];
    if (!t.slotted[k]) continue;
    const CharSet& later = t.later_chars[k];
    const std::string& value = run.WhereValues[k];
    if (later.none()) continue;
    if (value.empty()) return false;  // two pieces of text meet where it goes
    bool shared = false;
    for (unsigned char ch : value)
      if (later[ch]) {
        shared = true;
        break;
      }
    if (!shared) continue;
    for (std::size_t j = i + 1; j < t.columns.size(); ++j) {
      const std::string& label = run.Columns[t.columns[j]].name;
      if (label.find(value.front()) != std::string::npos || label.find(value.back()) != std::string::npos ||
          value.find(label) != std::string::npos)
        return false;
    }
  }
  return true;
}

// The position in the WHERE text of the byte `at` of this record's copy:
// the record's replacements are made again, this time minding where each
// byte came from. Positions past the copy's end are the WHERE text's end.
std::size_t where_position(const RunState& run, std::size_t at) {
  std::string where(globals::GLO_WHERE.view());
  std::vector<std::size_t> origin(where.size());
  for (std::size_t i = 0; i < origin.size(); ++i) origin[i] = i;
  std::string next;
  std::vector<std::size_t> next_origin;
  for (const std::size_t k : run.WhereTemplate.columns) {
    const std::string& label = run.Columns[k].name;
    if (where.empty() || where.find(label) == std::string::npos) continue;
    replace_label(where, label, run.WhereValues[k], next, &origin, &next_origin);
    where.swap(next);
    origin.swap(next_origin);
  }
  return at < origin.size() ? origin[at] : text::clip(globals::GLO_WHERE.view()).size();
}

// An invalid WHERE copy drops its record; the first one of a run says so,
// with the evaluator's reason and where in the WHERE text it lies, so that a
// short or empty CSV is never taken for the records that matched.
void report_invalid_where(RunState& run) {
  if (run.WhereReported) return;
  run.WhereReported = true;
  const int code = files::error_code();
  const std::string reason = files::error_text();
  const std::string_view where = text::clip(globals::GLO_WHERE.view());
  const std::size_t found_at = eval::error_position();
  const std::size_t position = found_at == std::string_view::npos ? found_at : where_position(run, found_at);
  std::string message = reason;
  if (found_at == std::string_view::npos) {
    // A failure of the evaluation as a whole, not of a place in the text.
  } else if (position >= where.size()) {
    message += " at the end of the WHERE text";
  } else {
    constexpr std::size_t kShown = 60;
    message += " at position " + text::int_text(static_cast<globals::LONG>(position + 1)) + " of the WHERE text: ";
    message.append(where.substr(position, kShown));
    if (where.size() - position > kShown) message += "...";
  }
  message += "\nRecords for which the WHERE text is invalid are left out of the export.";
  window::message(message, text::int_text(code) + " EVALUATE()", window::Icon::Exclamation);
}

}  // namespace

void SubstituteFieldInWhere(RunState& run, const Column& c) {
  if (WhereWork.empty() || c.name.empty() || WhereWork.find(c.name) == std::string::npos) return;
  make_replacement(c, CurrentRawValue, run.Replacement);
  replace_in_where(run, c.name, run.Replacement);
}

void KeepWhereValue(RunState& run, std::size_t k, const Column& c) {
  if (!run.WhereTemplate.prepared) prepare_template(run);
  if (run.WhereTemplate.columns.empty()) return;
  make_replacement(c, CurrentRawValue, run.WhereValues[k]);
}

void BuildWhereCopy(RunState& run) {
  if (!run.WhereTemplate.prepared) prepare_template(run);
  const WhereCopyTemplate& t = run.WhereTemplate;
  if (t.usable && template_holds(run)) {
    WhereWork.clear();
    std::size_t from = 0;
    for (std::size_t i = 0; i < t.slots.size(); ++i) {
      const std::size_t at = t.slot_at[i];
      WhereWork.append(t.text, from, at - from);
      WhereWork.append(run.WhereValues[t.slots[i]]);
      from = at + 1;
    }
    WhereWork.append(t.text, from, std::string::npos);
    return;
  }
  WhereWork.assign(globals::GLO_WHERE.view());
  for (const std::size_t k : t.columns) replace_in_where(run, run.Columns[k].name, run.WhereValues[k]);
}

bool PassesWhere(RunState& run) {
  const bool passes = text::same(eval::evaluate(WhereWork), "1");
  if (files::error_code() != 0) report_invalid_where(run);
  return passes;
}

}  // namespace engine
