#include "engine/expression_functions.h"

#include <cmath>
#include <string_view>

#include "platform/picture/picture.h"
#include "platform/text/text.h"

namespace engine {
namespace {

constexpr std::size_t kPartWidth = 20;

// An argument the expression left out arrives empty, or not at all when a
// caller passes fewer: either way it is no number, so 0.
std::string_view arg(std::span<const std::string> args, std::size_t i) {
  return i < args.size() ? std::string_view(args[i]) : std::string_view{};
}

enum class Part { Hour, Minute, Second };

// The part is read back from the time's "@T04" text, so a value the picture
// shows as 00:00:00 (outside 1..8640000) gives 0 for every part.
std::string time_part(std::span<const std::string> args, Part part) {
  const std::int32_t n = text::to_long(arg(args, 0));
  const std::string w = picture::format(static_cast<double>(n), "@T04");
  const std::size_t p1 = w.find(':');
  const std::size_t p2 = p1 == std::string::npos ? std::string::npos : w.find(':', p1 + 1);
  std::string_view piece;
  const std::string_view all(w);
  switch (part) {
    case Part::Hour: piece = all.substr(0, p1); break;
    case Part::Minute:
      if (p1 != std::string::npos) piece = all.substr(p1 + 1, p2 - p1 - 1);
      break;
    case Part::Second:
      if (p2 != std::string::npos) piece = text::clip(all.substr(p2 + 1));
      break;
  }
  return text::pad(text::int_text(text::to_long(piece)), kPartWidth);
}

// Moves the whole units held in `from` into `into`, keeping the remainder.
void carry(double& from, double& into, double unit) {
  const double c = std::trunc(from / unit);
  from = std::fmod(from, unit);
  into += c;
}

}  // namespace

std::string TIME(std::span<const std::string> args) {
  double h = text::to_number(arg(args, 0));
  double m = text::to_number(arg(args, 1));
  double s = text::to_number(arg(args, 2));
  // Each carry runs once, seconds first; exactly 59 (or 23) is no carry.
  if (s > 59) carry(s, m, 60);
  if (m > 59) carry(m, h, 60);
  if (h > 23) h = std::fmod(h, 24);  // days are dropped
  std::string w(text::clip(picture::format(h, "@N02")));
  w += ':';
  w += text::clip(picture::format(m, "@N02"));
  w += ':';
  w += text::clip(picture::format(s, "@N02"));
  return std::string(text::clip(picture::deformat(w, "@T04")));
}

std::string HOUR(std::span<const std::string> args) { return time_part(args, Part::Hour); }
std::string MINUTE(std::span<const std::string> args) { return time_part(args, Part::Minute); }
std::string SECOND(std::span<const std::string> args) { return time_part(args, Part::Second); }

}  // namespace engine
