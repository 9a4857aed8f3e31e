#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"

namespace quarn::formats {
namespace {

constexpr uint8_t Six[] = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF};

TEST(ByteReader, CursorReadsLittleEndianAndStopsAtTheEnd)
{
  TByteReader in(Six);
  EXPECT_EQ(in.U32(), 0x04030201u);
  EXPECT_EQ(in.I16(), -2);
  EXPECT_FALSE(in.Failed());
  EXPECT_EQ(in.U8(), 0);  // past the end: zero, flagged, the cursor stays
  EXPECT_TRUE(in.Failed());
  EXPECT_EQ(in.Position(), 6u);
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST(ByteReader, ReadsAtOffsetsNeverWrapAround)
{
  struct TCase {
    uint64_t Offset, Count;
    bool Fits;
  };
  for (const TCase c :
       {TCase{0, 6, true}, TCase{6, 0, true}, TCase{5, 2, false}, TCase{7, 0, false},
        TCase{2, UINT64_MAX, false}, TCase{UINT64_MAX, 1, false}}) {
    TByteReader in(Six);
    EXPECT_EQ(in.BytesAt(c.Offset, c.Count).size(), c.Fits ? c.Count : 0)
        << c.Offset << "+" << c.Count;
    EXPECT_EQ(in.Failed(), !c.Fits) << c.Offset << "+" << c.Count;
  }
  TByteReader in(Six);
  EXPECT_EQ(in.U16At(4), 0xFFFFu - 1);
  EXPECT_EQ(in.U32At(3), 0u);
  EXPECT_TRUE(in.Failed());
}

TEST(ByteWriter, WritesWhatTheReaderReadsBack)
{
  std::vector<uint8_t> bytes;
  TByteWriter w(bytes);
  w.U32(0);  // patched below
  w.I16(-300);
  w.F32(1.5f);
  w.Text("name", 4);  // cut to three characters and a terminator
  w.U32At(0, 0xDEADBEEF);
  ASSERT_EQ(bytes.size(), 14u);

  TByteReader in(bytes);
  EXPECT_EQ(in.U32(), 0xDEADBEEFu);
  EXPECT_EQ(in.I16(), -300);
  EXPECT_EQ(in.F32(), 1.5f);
  const TByteSpan text = in.Bytes(4);
  EXPECT_EQ(std::vector<uint8_t>(text.begin(), text.end()),
            (std::vector<uint8_t>{'n', 'a', 'm', 0}));
  EXPECT_FALSE(in.Failed());
}

}  // namespace
}  // namespace quarn::formats
