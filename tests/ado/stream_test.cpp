#include "ado/stream.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ado/chunk.hpp"
#include "ado/errors.hpp"
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

Bytes Counting(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

// Two rows of a picture, a text of 3-byte characters, an empty picture, a
// Null and a number.
Recordset PictureRows() {
  ResultSet result;
  result.hasRows = true;
  result.columns = std::make_shared<const std::vector<ColumnInfo>>(
      std::vector<ColumnInfo>{{"FImage", adLongVarBinary},
                              {"FName", adVarChar},
                              {"FEmpty", adLongVarBinary},
                              {"FNull", adLongVarBinary},
                              {"FId", adInteger}});
  result.values = {Variant(Counting(250)),
                   Variant("存放ab"),
                   Variant(Bytes{}),
                   Variant::Null(),
                   Variant(1),
                   Variant(Bytes{200, 201, 202}),
                   Variant("x"),
                   Variant(Bytes{}),
                   Variant::Null(),
                   Variant(2)};
  return Recordset(std::move(result));
}

// What a sequence of chunk reads and stream operations did: each step's
// outcome (the stream's position and size, or the error's number), what a
// read in the middle gave and the stream's bytes at the end.
std::vector<std::string> WriteChunks(bool borrowed) {
  Recordset rs = PictureRows();
  Stream stream;
  stream.Open();
  std::vector<std::string> outcomes;
  const auto step = [&](const std::function<void()>& operation) {
    try {
      operation();
      outcomes.push_back(std::to_string(stream.Position()) + "/" + std::to_string(stream.Size()));
    } catch (const AutomationError& e) {
      outcomes.push_back("error " + std::to_string(e.number()));
    }
  };
  const auto write = [&](const char* field, std::int32_t length) {
    step([&] {
      if (borrowed) {
        stream.Write(rs.Fields(field).BorrowChunk(length));
      } else {
        stream.Write(rs.Fields(field).GetChunk(length));
      }
    });
  };
  // One picture in its order, then reads past its end and of what is no
  // picture.
  for (int i = 0; i < 3; ++i) write("FImage", 100);
  write("FImage", 100);
  write("FImage", -1);
  write("FEmpty", 1);
  write("FNull", 1);
  write("FId", 1);
  // A read shares the stream's bytes, which later chunks must not change.
  Variant early;
  step([&] {
    stream.SetPosition(0);
    early = stream.Read(4);
    stream.SetPosition(stream.Size());
  });
  // Text after the picture, then over it.
  write("FName", 1);
  step([&] { stream.SetPosition(10); });
  write("FName", 2);
  // The next row's picture starts again at its beginning, after bytes of
  // the stream's own.
  step([&] {
    rs.MoveNext();
    stream.SetPosition(stream.Size());
  });
  write("FImage", 2);
  write("FImage", 2);
  write("FName", 0);
  step([&] {
    stream.SetPosition(0);
    const Variant all = stream.Read();
    outcomes.emplace_back(all.AsBytes().begin(), all.AsBytes().end());
    outcomes.emplace_back(early.AsBytes().begin(), early.AsBytes().end());
  });
  // A closed stream, then no current row: the read's refusal comes first.
  step([&] { stream.Close(); });
  write("FImage", 1);
  step([&] { rs.MoveNext(); });
  write("FImage", 1);
  return outcomes;
}

TEST(StreamTest, BorrowedChunksWriteWhatTheirVariantsWrite) {
  const std::vector<std::string> borrowed = WriteChunks(true);
  EXPECT_EQ(borrowed, WriteChunks(false));
  ASSERT_EQ(borrowed.size(), 23u);
  EXPECT_EQ(borrowed[2], "250/250");
  EXPECT_EQ(borrowed[3], "error " + std::to_string(kTypeMismatch));
  EXPECT_EQ(borrowed[7], "error " + std::to_string(kErrNotAllowedInContext));
  Bytes expected = Counting(250);
  expected.insert(expected.end(), {0xE5, 0xAD, 0x98});  // 存
  std::copy_n("放a", 4, expected.begin() + 10);
  expected.insert(expected.end(), {200, 201, 202});
  EXPECT_EQ(borrowed[16], std::string(expected.begin(), expected.end()));
  EXPECT_EQ(borrowed[17], std::string({0, 1, 2, 3}));
  EXPECT_EQ(borrowed[20], "error " + std::to_string(kErrObjectClosed));
  EXPECT_EQ(borrowed[22], "error " + std::to_string(kErrNoCurrentRecord));
}

}  // namespace
}  // namespace orvo::ado
