// The differences a compacted history keeps (store/body_delta): what the
// history holds is a file's bytes that anyone with the sqlite3 shell or psql
// may have changed. The input is split in two at its first byte's position:
// a newer body and a difference. What must hold:
//   - building a body from any bytes either gives a body or refuses with
//     0x80004005, never reads past either input or takes memory the input
//     could not fill;
//   - a body it gives has the length that the difference's head names;
//   - the difference of the two halves, applied to the first, gives the
//     second back, and its head names the second's length.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz/property.hpp"
#include "orvo/automation/error.hpp"
#include "store/body_delta.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using orvo::fuzz::Expect;
  if (size == 0) return 0;
  const std::string_view input = orvo::fuzz::TextOf(data, size);
  const std::size_t split = std::min<std::size_t>(data[0], size - 1);
  const std::span<const std::uint8_t> newer(data + 1, split);
  const std::span<const std::uint8_t> other(data + 1 + split, size - 1 - split);

  try {
    const orvo::Bytes body = orvo::store::BodyFrom(newer, other);
    Expect(orvo::store::BodyLengthOf(other) == body.size(),
           "a body built has the length its difference names", input);
  } catch (const orvo::AutomationError& error) {
    Expect(error.number() == orvo::HResult(0x80004005u), "a difference is refused with 0x80004005",
           input, error.description());
  }

  const orvo::Bytes difference = orvo::store::DifferenceOf(newer, other);
  const orvo::Bytes back = orvo::store::BodyFrom(newer, difference);
  Expect(back.size() == other.size() && std::equal(back.begin(), back.end(), other.begin()),
         "a difference gives back the body it was made of", input);
  Expect(orvo::store::BodyLengthOf(difference) == other.size(),
         "a difference names the length of its body", input);
  return 0;
}
