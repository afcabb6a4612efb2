#include "store/body_delta.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "orvo/automation/error.hpp"

namespace orvo::store {
namespace {

Bytes RandomBytes(std::mt19937& random, std::size_t size) {
  Bytes bytes(size);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

Bytes BytesOf(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

void ExpectRoundTrip(const Bytes& newer, const Bytes& body) {
  const Bytes difference = DifferenceOf(newer, body);
  EXPECT_EQ(BodyFrom(newer, difference), body);
  EXPECT_EQ(BodyLengthOf(difference), body.size());
}

TEST(BodyDeltaTest, GivesBackEveryBodyFromItsNewerOne) {
  std::mt19937 random(7);
  const Bytes layout = RandomBytes(random, 20000);
  ExpectRoundTrip(layout, layout);
  ExpectRoundTrip({}, layout);
  ExpectRoundTrip(layout, {});
  ExpectRoundTrip({}, {});
  ExpectRoundTrip(BytesOf("short"), BytesOf("shorter"));
  ExpectRoundTrip(layout, RandomBytes(random, 5000));
  // A body that repeats a run of the newer one many times over.
  Bytes repeated;
  for (int i = 0; i < 50; ++i) repeated.insert(repeated.end(), layout.begin(), layout.begin() + 40);
  ExpectRoundTrip(layout, repeated);
}

// A designer moves a field, renames a caption, drops a line: the difference
// keeps about what changed, not the body again.
TEST(BodyDeltaTest, KeepsLittleMoreThanWhatADesignerChanged) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 200; ++trial) {
    const Bytes newer = RandomBytes(random, 1000 + random() % 100000);
    Bytes body = newer;
    std::size_t changed = 0;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int edit = 0; edit < edits; ++edit) {
      const std::size_t at = random() % body.size();
      const std::size_t length = 1 + random() % 200;
      switch (random() % 3) {
        case 0:  // typed over
          for (std::size_t i = at; i < std::min(body.size(), at + length); ++i) {
            body[i] = static_cast<std::uint8_t>(random());
          }
          break;
        case 1: {  // inserted
          const Bytes added = RandomBytes(random, length);
          body.insert(body.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
          break;
        }
        default:  // removed
          body.erase(
              body.begin() + static_cast<std::ptrdiff_t>(at),
              body.begin() + static_cast<std::ptrdiff_t>(std::min(body.size(), at + length)));
      }
      changed += length;
    }
    const Bytes difference = DifferenceOf(newer, body);
    ASSERT_EQ(BodyFrom(newer, difference), body) << "trial " << trial;
    EXPECT_LT(difference.size(), 64 + changed + 3 * 16 * edits) << "trial " << trial;
  }
}

void ExpectRefused(const Bytes& newer, const Bytes& difference, const std::string& why) {
  try {
    BodyFrom(newer, difference);
    ADD_FAILURE() << "built a body from a difference that " << why;
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), static_cast<std::int32_t>(0x80004005u));
    EXPECT_NE(error.description().find(why), std::string::npos) << error.description();
  }
}

TEST(BodyDeltaTest, RefusesADifferenceThatDoesNotFitWhatItIsAppliedTo) {
  std::mt19937 random(3);
  const Bytes newer = RandomBytes(random, 4000);
  Bytes body = newer;
  body[100] ^= 1;
  const Bytes difference = DifferenceOf(newer, body);

  Bytes other = newer;
  other[3999] ^= 1;
  ExpectRefused(other, difference, "has changed since");
  ExpectRefused(Bytes(newer.begin(), newer.end() - 1), difference, "has changed since");
  ExpectRefused(newer, newer, "not a difference");
  ExpectRefused(newer, {}, "not a difference");
  EXPECT_EQ(BodyLengthOf(newer), std::nullopt);

  // Cut anywhere, it is refused, never read past its end.
  for (std::size_t length = 0; length < difference.size(); ++length) {
    EXPECT_THROW(BodyFrom(newer, Bytes(difference.begin(),
                                       difference.begin() + static_cast<std::ptrdiff_t>(length))),
                 AutomationError)
        << length;
  }
  // Any one byte changed: refused or the same body, never another one.
  for (std::size_t at = 0; at < difference.size(); ++at) {
    Bytes damaged = difference;
    damaged[at] ^= 0x41;
    try {
      EXPECT_EQ(BodyFrom(newer, damaged), body) << at;
    } catch (const AutomationError&) {
    }
  }
}

TEST(BodyDeltaTest, RefusesStepsPastEitherBody) {
  const Bytes newer = BytesOf("the newer body of the template");
  const Bytes named = DifferenceOf(newer, BytesOf("ab"));
  // A copy from past the newer body, then a body longer than the head says.
  Bytes copyPast = named;
  copyPast.insert(copyPast.begin() + 4 + 1 + 8 + 1 + 8, {0x03, 0x7F});
  ExpectRefused(newer, copyPast, "copies past the newer body");
  Bytes longer(named.begin(), named.end());
  longer.insert(longer.end(), {0x02, 'c'});
  ExpectRefused(newer, longer, "goes past the body");
  Bytes huge = named;
  huge.insert(huge.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
  EXPECT_THROW(BodyFrom(newer, huge), AutomationError);
}

}  // namespace
}  // namespace orvo::store
