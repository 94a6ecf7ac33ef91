#include "platform/tps/record_spool.h"

#include <utility>

#include "platform/tps/put_bytes.h"

namespace tps {

namespace {

// Each record: u16 header length, u32 data length, then the bytes.
constexpr std::size_t kPrefix = 6;

std::uint32_t get_u32(const char* p) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(p[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(p[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(p[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(p[3])) << 24;
}

}  // namespace

RecordSpool::RecordSpool(RecordSpool&& other) noexcept
    : memory_(std::move(other.memory_)), file_(other.file_), count_(other.count_) {
  other.file_ = nullptr;
  other.count_ = 0;
}

RecordSpool& RecordSpool::operator=(RecordSpool&& other) noexcept {
  if (this != &other) {
    if (file_) std::fclose(file_);
    memory_ = std::move(other.memory_);
    file_ = other.file_;
    count_ = other.count_;
    other.file_ = nullptr;
    other.count_ = 0;
  }
  return *this;
}

RecordSpool::~RecordSpool() {
  if (file_) std::fclose(file_);
}

bool RecordSpool::spill() {
  if (!file_) {
    file_ = std::tmpfile();
    if (!file_) return false;
  }
  if (std::fwrite(memory_.data(), 1, memory_.size(), file_) != memory_.size()) return false;
  memory_.clear();
  return true;
}

bool RecordSpool::push(std::string_view header, std::string_view data) {
  put::u16le(memory_, static_cast<std::uint16_t>(header.size()));
  put::u32le(memory_, static_cast<std::uint32_t>(data.size()));
  memory_.append(header);
  memory_.append(data);
  ++count_;
  return memory_.size() < kMemoryLimit || spill();
}

bool RecordSpool::replay_buffer(
    std::string_view buffer, const std::function<bool(std::string_view, std::string_view)>& f) {
  std::size_t at = 0;
  while (at + kPrefix <= buffer.size()) {
    const std::size_t header_length =
        static_cast<unsigned char>(buffer[at]) | static_cast<unsigned char>(buffer[at + 1]) << 8;
    const std::size_t data_length = get_u32(buffer.data() + at + 2);
    at += kPrefix;
    if (at + header_length + data_length > buffer.size()) return false;
    if (!f(buffer.substr(at, header_length), buffer.substr(at + header_length, data_length))) {
      return false;
    }
    at += header_length + data_length;
  }
  return at == buffer.size();
}

bool RecordSpool::replay(const std::function<bool(std::string_view, std::string_view)>& f) {
  if (file_) {
    // The file holds whole records only; read it back in pieces that end on a
    // record boundary.
    if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) return false;
    std::string carry;
    char buf[1 << 16];
    for (;;) {
      const std::size_t got = std::fread(buf, 1, sizeof buf, file_);
      if (got == 0) break;
      carry.append(buf, got);
      std::size_t at = 0;
      while (at + kPrefix <= carry.size()) {
        const std::size_t header_length = static_cast<unsigned char>(carry[at]) |
                                          static_cast<unsigned char>(carry[at + 1]) << 8;
        const std::size_t need = kPrefix + header_length + get_u32(carry.data() + at + 2);
        if (at + need > carry.size()) break;
        at += need;
      }
      if (!replay_buffer(std::string_view(carry).substr(0, at), f)) return false;
      carry.erase(0, at);
    }
    if (std::ferror(file_) || !carry.empty()) return false;
  }
  return replay_buffer(memory_, f);
}

}  // namespace tps
