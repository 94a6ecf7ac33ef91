#include "platform/tps/tree_writer.h"

#include <algorithm>

#include "platform/tps/format.h"

namespace tps {

namespace {

std::uint32_t units(std::size_t bytes) {
  return static_cast<std::uint32_t>((bytes + format::kUnit - 1) / format::kUnit);
}

}  // namespace

bool TreeWriter::fail(std::string why) {
  if (error_.empty()) error_ = std::move(why);
  return false;
}

bool TreeWriter::write_page(PageBuilder& page, std::uint32_t unit, std::uint32_t* units_used) {
  const std::uint64_t offset = format::unit_offset(unit);
  if (offset + PageBuilder::kMaxPageSize > 0xFFFFFFFFull) return fail("the file grows beyond 4 GB");
  std::string bytes = page.finish(static_cast<std::uint32_t>(offset));
  const std::uint32_t used = units(bytes.size());
  bytes.resize(static_cast<std::size_t>(used) * format::kUnit, '\0');
  out_.seekp(static_cast<std::streamoff>(offset));
  out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out_) return fail("writing a page failed");
  page_bytes_ += bytes.size();
  if (units_used) *units_used = used;
  return true;
}

bool TreeWriter::append_page(PageBuilder& page, Entries& into) {
  std::string first = page.first_header();
  std::uint32_t used = 0;
  const std::uint32_t unit = next_unit_;
  if (!write_page(page, unit, &used)) return false;
  into.emplace_back(std::move(first), unit);
  next_unit_ += used;
  return true;
}

bool TreeWriter::flush_leaf() { return append_page(leaf_, leaves_); }

bool TreeWriter::add(std::string_view header, std::string_view data) {
  if (!error_.empty()) return false;
  if (any_record_ && !(std::string_view(last_header_) < header)) {
    return fail("records are not in ascending header order");
  }
  // A record that does not fit beside the leaf's records starts a new leaf;
  // only one too large for a page of its own is refused.
  if (!leaf_.empty() && (leaf_.plain_size_with(header.size(), data.size()) > kPageBudget ||
                         !leaf_.can_take(header.size(), data.size()))) {
    if (!flush_leaf()) return false;
  }
  if (!leaf_.can_take(header.size(), data.size())) return fail("a record is too large for a page");
  leaf_.add(header, data);
  last_header_.assign(header);
  any_record_ = true;
  return true;
}

// Packs one level of entries into node pages, closing a page at the budget or
// after `per_page_limit` children.
bool TreeWriter::pack_level(const Entries& entries, std::uint8_t level,
                            std::size_t per_page_limit, Entries& parents) {
  PageBuilder node(level);
  parents.clear();
  auto flush = [&]() { return append_page(node, parents); };
  for (const auto& [key, unit] : entries) {
    if (!node.can_take(key.size(), 0)) return fail("a key is too large for a node page");
    if (!node.empty() && (node.count() >= per_page_limit ||
                          node.plain_size_with(key.size(), 0) > kPageBudget)) {
      if (!flush()) return false;
    }
    node.add(key, {}, unit);
  }
  return node.empty() || flush();
}

bool TreeWriter::finish(std::uint32_t& root, std::uint32_t& end_unit) {
  if (!error_.empty()) return false;
  if (!any_record_) return fail("a tree needs at least one record");
  root = 0;
  if (leaves_.empty()) {
    // One leaf: it is the root.
    std::uint32_t used = 0;
    if (!write_page(leaf_, 0, &used)) return false;
    end_unit = used;
    return true;
  }
  if (!leaf_.empty() && !flush_leaf()) return false;

  Entries level_entries = std::move(leaves_);
  std::uint8_t level = 1;
  for (;;) {
    PageBuilder top(level);
    bool fits_budget = true;
    for (const auto& [key, unit] : level_entries) {
      if (!top.empty() && top.plain_size_with(key.size(), 0) > kPageBudget) {
        fits_budget = false;
        break;
      }
      if (!top.can_take(key.size(), 0)) return fail("a key is too large for a node page");
      top.add(key, {}, unit);
    }
    if (fits_budget) {
      // Try the whole level as the root on unit 0.
      const std::string probe = PageBuilder(top).finish(0);
      if (probe.size() <= format::kUnit) {
        std::uint32_t used = 0;
        if (!write_page(top, 0, &used)) return false;
        end_unit = next_unit_;
        return true;
      }
      // Too large for unit 0: two nodes under a smaller root, or, when even two
      // keys do not fit one unit, a root with one child (its key is empty).
      Entries parents;
      const std::size_t half = level_entries.size() > 2 ? (level_entries.size() + 1) / 2
                                                        : level_entries.size();
      if (!pack_level(level_entries, level, half, parents)) return false;
      level_entries = std::move(parents);
    } else {
      Entries parents;
      if (!pack_level(level_entries, level, static_cast<std::size_t>(-1), parents)) return false;
      level_entries = std::move(parents);
    }
    if (level == 0xFF) return fail("the tree grows too high");
    ++level;
  }
}

}  // namespace tps
