#include "ado/stream.hpp"

#include <gtest/gtest.h>

#include "ado_test_support.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

TEST(StreamTest, WritesAppendOrOverwriteAtThePositionAndReadsAdvance) {
  Stream stream;
  EXPECT_EQ(ErrorOf([&] { stream.Write(Bytes{1}); }).number(), kErrObjectClosed);
  stream.Type = adTypeBinary;
  stream.Open();
  Bytes expected;
  for (int i = 0; i < 20000; ++i) {
    const Bytes piece = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)};
    stream.Write(piece);
    expected.insert(expected.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(stream.Size(), 40000);
  EXPECT_TRUE(stream.Read().IsNull());  // at the end
  stream.SetPosition(39996);
  stream.Write(Bytes{1, 2});
  stream.Write("AB");
  stream.Write(Bytes{3});
  EXPECT_EQ(stream.Size(), 40001);
  stream.SetPosition(39994);
  EXPECT_EQ(stream.Read(3), Variant(Bytes{0x1D, 78, 1}));
  EXPECT_EQ(stream.Position(), 39997);
  EXPECT_EQ(stream.Read(10), Variant(Bytes{2, 'A', 'B', 3}));
  stream.SetPosition(0);
  expected.resize(39996);
  expected.insert(expected.end(), {1, 2, 'A', 'B', 3});
  EXPECT_EQ(stream.Read(), Variant(expected));
  EXPECT_EQ(ErrorOf([&] { stream.SetPosition(40002); }).number(), HResult(0x800A0BB9u));
  EXPECT_EQ(ErrorOf([&] { stream.Write(5); }).number(), kTypeMismatch);

  stream.Close();
  EXPECT_EQ(stream.State(), adStateClosed);
  EXPECT_EQ(ErrorOf([&] { stream.Read(); }).number(), kErrObjectClosed);
  stream.Type = adTypeText;
  EXPECT_EQ(ErrorOf([&] { stream.Open(); }).number(), HResult(0x800A0BB9u));
}

}  // namespace
}  // namespace orvo::ado
