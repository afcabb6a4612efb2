#include "orvo/ado/stream.hpp"

#include <gtest/gtest.h>

#include "ado_test_support.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

TEST(StreamTest, ManySmallWritesReadBackAsOneValue) {
  Stream stream;
  stream.Type = adTypeBinary;
  stream.Open();
  Bytes expected;
  for (int i = 0; i < 20000; ++i) {
    const Bytes piece = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 7};
    stream.Write(piece);
    expected.insert(expected.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(stream.Size(), 60000);
  EXPECT_EQ(stream.Position(), 60000);
  EXPECT_TRUE(stream.Read().IsNull());
  stream.SetPosition(0);
  EXPECT_EQ(stream.Read(), Variant(expected));
}

TEST(StreamTest, WritesOverwriteAtThePositionAndReadsAdvance) {
  Stream stream;
  stream.Open();
  stream.Write(Bytes{1, 2, 3, 4});
  stream.SetPosition(2);
  stream.Write(Bytes{9, 9, 9});
  stream.Write("A");
  EXPECT_EQ(stream.Size(), 6);
  stream.SetPosition(1);
  EXPECT_EQ(stream.Read(2), Variant(Bytes{2, 9}));
  EXPECT_EQ(stream.Read(10), Variant(Bytes{9, 9, 'A'}));
  EXPECT_EQ(ErrorOf([&] { stream.SetPosition(7); }).number(), HResult(0x800A0BB9u));
  EXPECT_EQ(ErrorOf([&] { stream.Write(5); }).number(), kTypeMismatch);
}

TEST(StreamTest, AClosedStreamRefusesWork) {
  Stream stream;
  EXPECT_EQ(ErrorOf([&] { stream.Write(Bytes{1}); }).number(), kErrObjectClosed);
  stream.Open();
  stream.Write(Bytes{1});
  stream.Close();
  EXPECT_EQ(stream.State(), adStateClosed);
  EXPECT_EQ(ErrorOf([&] { stream.Read(); }).number(), kErrObjectClosed);
  stream.Type = adTypeText;
  EXPECT_EQ(ErrorOf([&] { stream.Open(); }).number(), HResult(0x800A0BB9u));
}

}  // namespace
}  // namespace orvo::ado
