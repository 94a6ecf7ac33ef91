#include "platform/tps/page_builder.h"

#include <algorithm>

#include "platform/tps/bytes.h"
#include "platform/tps/format.h"
#include "platform/tps/put_bytes.h"
#include "platform/tps/rle_write.h"

namespace tps {

namespace {

std::size_t units(std::size_t bytes) { return (bytes + format::kUnit - 1) / format::kUnit; }

}  // namespace

std::size_t PageBuilder::plain_size_with(std::size_t header_length,
                                         std::size_t data_length) const {
  return plain_ + format::kRecordOverhead + header_length + data_length +
         (level_ > 0 ? format::kChildSize : 0);
}

bool PageBuilder::can_take(std::size_t header_length, std::size_t data_length) const {
  return header_length + data_length <= 0xFFFF &&
         plain_size_with(header_length, data_length) <= kMaxPageSize;
}

void PageBuilder::add(std::string_view header, std::string_view data, std::uint32_t child) {
  const std::size_t length = header.size() + data.size();
  std::uint8_t flags = 0;
  std::size_t shared = 0;
  if (count_ == 0) {
    flags = format::kRecHasLength | format::kRecHasHeaderLength;
    first_header_.assign(header);
  } else {
    if (length != previous_.size()) flags |= format::kRecHasLength;
    if (header.size() != previous_header_length_) flags |= format::kRecHasHeaderLength;
    const std::size_t limit = std::min({previous_.size(), length, format::kMaxShared});
    while (shared < limit) {
      const char c = shared < header.size() ? header[shared] : data[shared - header.size()];
      if (c != previous_[shared]) break;
      ++shared;
    }
    flags = static_cast<std::uint8_t>(flags | shared);
  }
  put::u8(stream_, flags);
  if (flags & format::kRecHasLength) put::u16le(stream_, static_cast<std::uint16_t>(length));
  if (flags & format::kRecHasHeaderLength) {
    put::u16le(stream_, static_cast<std::uint16_t>(header.size()));
  }
  previous_.assign(header);
  previous_.append(data);
  stream_.append(previous_, shared, std::string::npos);
  previous_header_length_ = header.size();
  plain_ = plain_size_with(header.size(), data.size());
  if (level_ > 0) children_.push_back(child);
  ++count_;
}

std::string PageBuilder::finish(std::uint32_t self) {
  const std::size_t head = format::kPageHeaderSize + children_.size() * format::kChildSize;
  const std::size_t decoded = head + stream_.size();
  std::string page(head, '\0');
  rle_encode_append(stream_, page);
  if (units(page.size()) >= units(decoded)) {
    page.resize(head);
    page += stream_;
  }
  char* p = page.data();
  bytes::store_u32le(p + format::kPgSelf, self);
  put::store_u16le(p + format::kPgDiskSize, static_cast<std::uint16_t>(page.size()));
  put::store_u16le(p + format::kPgDecodedSize, static_cast<std::uint16_t>(decoded));
  put::store_u16le(p + format::kPgPlainSize, static_cast<std::uint16_t>(plain_));
  put::store_u16le(p + format::kPgCount, static_cast<std::uint16_t>(count_));
  p[format::kPgLevel] = static_cast<char>(level_);
  for (std::size_t i = 0; i < children_.size(); ++i) {
    bytes::store_u32le(p + format::kPageHeaderSize + i * format::kChildSize, children_[i]);
  }

  count_ = 0;
  plain_ = format::kPageHeaderSize;
  first_header_.clear();
  previous_.clear();
  previous_header_length_ = 0;
  stream_.clear();
  children_.clear();
  return page;
}

}  // namespace tps
