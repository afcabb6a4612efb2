#include "store/body_delta.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "orvo/ado/types.hpp"
#include "orvo/automation/error.hpp"

namespace orvo::store {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'O', 'R', 'D', '1'};
// The shortest run of the newer body worth copying: a copy step costs up to
// a dozen bytes, so shorter runs are kept as they are.
constexpr std::size_t kBlock = 16;
// No backend keeps a value longer than this.
constexpr std::uint64_t kLongestBody = std::uint64_t{1} << 30;

std::uint64_t HashOf(std::span<const std::uint8_t> bytes) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const std::uint8_t byte : bytes) {
    hash ^= byte;
    hash *= 1099511628211ULL;
  }
  return hash;
}

// A block's slot in the index of the newer body's blocks.
std::size_t SlotOf(const std::uint8_t* block, unsigned bits) {
  std::uint64_t first = 0;
  std::uint64_t second = 0;
  std::memcpy(&first, block, sizeof first);
  std::memcpy(&second, block + sizeof first, sizeof second);
  const std::uint64_t mixed = first * 0x9E3779B97F4A7C15ULL ^ second * 0xC2B2AE3D27D4EB4FULL;
  return static_cast<std::size_t>((mixed ^ mixed >> 29) >> (64 - bits));
}

void PutNumber(Bytes& out, std::uint64_t number) {
  while (number >= 0x80) {
    out.push_back(static_cast<std::uint8_t>(number | 0x80));
    number >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(number));
}

void PutHash(Bytes& out, std::uint64_t hash) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(hash >> (8 * i)));
}

void PutBytes(Bytes& out, std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  PutNumber(out, std::uint64_t{bytes.size()} << 1);
  out.insert(out.end(), bytes.begin(), bytes.end());
}

[[noreturn]] void Refuse(const std::string& why) {
  throw AutomationError(ado::kErrFailure, kLibraryName, why);
}

// Reads a difference front to back, refusing anything past its end.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool AtEnd() const { return at_ == bytes_.size(); }

  std::span<const std::uint8_t> Take(std::uint64_t count) {
    if (count > bytes_.size() - at_) Refuse("The difference ends early.");
    const auto taken = bytes_.subspan(at_, static_cast<std::size_t>(count));
    at_ += static_cast<std::size_t>(count);
    return taken;
  }

  std::uint64_t Number() {
    std::uint64_t number = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      const std::uint8_t byte = Take(1)[0];
      const std::uint64_t bits = byte & 0x7F;
      if (shift == 63 && bits > 1) break;
      number |= bits << shift;
      if ((byte & 0x80) == 0) return number;
    }
    Refuse("A number in the difference is too large.");
  }

  std::uint64_t Hash() {
    std::uint64_t hash = 0;
    const auto bytes = Take(8);
    for (int i = 0; i < 8; ++i)
      hash |= std::uint64_t{bytes[static_cast<std::size_t>(i)]} << (8 * i);
    return hash;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

struct Head {
  std::uint64_t newerLength;
  std::uint64_t newerHash;
  std::uint64_t length;
  std::uint64_t hash;
};

std::optional<Head> HeadOf(Reader& reader) {
  try {
    const auto magic = reader.Take(kMagic.size());
    if (!std::equal(magic.begin(), magic.end(), kMagic.begin())) return std::nullopt;
    Head head{};
    head.newerLength = reader.Number();
    head.newerHash = reader.Hash();
    head.length = reader.Number();
    head.hash = reader.Hash();
    return head;
  } catch (const AutomationError&) {
    return std::nullopt;
  }
}

}  // namespace

Bytes DifferenceOf(std::span<const std::uint8_t> newer, std::span<const std::uint8_t> body) {
  Bytes out(kMagic.begin(), kMagic.end());
  PutNumber(out, newer.size());
  PutHash(out, HashOf(newer));
  PutNumber(out, body.size());
  PutHash(out, HashOf(body));

  // Where each block of the newer body starts, the first of equal slots kept.
  unsigned bits = 4;
  while ((std::size_t{1} << bits) < 2 * (newer.size() / kBlock) && bits < 28) ++bits;
  std::vector<std::uint32_t> starts(std::size_t{1} << bits, 0);
  for (std::size_t at = 0; at + kBlock <= newer.size(); at += kBlock) {
    std::uint32_t& slot = starts[SlotOf(newer.data() + at, bits)];
    if (slot == 0) slot = static_cast<std::uint32_t>(at + 1);
  }

  std::size_t kept = 0;  // the body's bytes before this are in `out`
  std::size_t at = 0;
  while (at + kBlock <= body.size()) {
    const std::uint32_t slot = starts[SlotOf(body.data() + at, bits)];
    std::size_t from = slot == 0 ? 0 : slot - 1;
    if (slot == 0 || std::memcmp(newer.data() + from, body.data() + at, kBlock) != 0) {
      ++at;
      continue;
    }
    while (at > kept && from > 0 && newer[from - 1] == body[at - 1]) {
      --at;
      --from;
    }
    std::size_t length = 0;
    while (at + length < body.size() && from + length < newer.size() &&
           newer[from + length] == body[at + length]) {
      ++length;
    }
    PutBytes(out, body.subspan(kept, at - kept));
    PutNumber(out, std::uint64_t{length} << 1 | 1);
    PutNumber(out, from);
    at += length;
    kept = at;
  }
  PutBytes(out, body.subspan(kept));
  return out;
}

Bytes BodyFrom(std::span<const std::uint8_t> newer, std::span<const std::uint8_t> difference) {
  Reader reader(difference);
  const std::optional<Head> head = HeadOf(reader);
  if (!head) Refuse("What it keeps is not a difference.");
  if (head->newerLength != newer.size() || head->newerHash != HashOf(newer)) {
    Refuse("The newer body it was kept against has changed since.");
  }
  if (head->length > kLongestBody) Refuse("The body it names is too long.");
  Bytes body;
  // A difference's head is not trusted with memory: only what it could give
  // without repeating itself is taken ahead.
  body.reserve(static_cast<std::size_t>(
      std::min<std::uint64_t>(head->length, newer.size() + difference.size())));
  while (!reader.AtEnd()) {
    const std::uint64_t step = reader.Number();
    const std::uint64_t length = step >> 1;
    if (length == 0 || length > head->length - body.size()) {
      Refuse("A step of the difference goes past the body.");
    }
    if ((step & 1) == 0) {
      const auto bytes = reader.Take(length);
      body.insert(body.end(), bytes.begin(), bytes.end());
      continue;
    }
    const std::uint64_t from = reader.Number();
    if (from > newer.size() || length > newer.size() - from) {
      Refuse("A step of the difference copies past the newer body.");
    }
    const auto copied =
        newer.subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(length));
    body.insert(body.end(), copied.begin(), copied.end());
  }
  if (body.size() != head->length || HashOf(body) != head->hash) {
    Refuse("The difference does not give the body it names.");
  }
  return body;
}

std::optional<std::uint64_t> BodyLengthOf(std::span<const std::uint8_t> difference) {
  Reader reader(difference);
  const std::optional<Head> head = HeadOf(reader);
  if (!head) return std::nullopt;
  return head->length;
}

}  // namespace orvo::store
