#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"
#include "formats/Riff.h"
#include "sound/Wave.h"

namespace quarn::sound {
namespace {

namespace riff = formats::riff;
using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, const std::string& text)
{
  out.insert(out.end(), text.begin(), text.end());
}
void AppendU32(Bytes& out, uint32_t v) { formats::TByteWriter(out).U32(v); }
uint32_t U32At(const Bytes& bytes, size_t at) { return formats::TByteReader(bytes).U32At(at); }
void AppendChunk(Bytes& out, const std::string& id, const Bytes& body, int64_t statedSize = -1)
{
  Append(out, id);
  AppendU32(
      out, static_cast<uint32_t>(statedSize >= 0 ? statedSize : static_cast<int64_t>(body.size())));
  out.insert(out.end(), body.begin(), body.end());
}
Bytes PcmFormat()
{
  uint8_t record[riff::WaveFormatExSize];
  riff::EncodePCMFormat(record, 1, 22050, 16);
  return Bytes(record, record + sizeof record);
}
// "RIFF" (size) "WAVE" followed by the given chunks.
Bytes Riff(const Bytes& chunks)
{
  Bytes out;
  Append(out, "RIFF");
  AppendU32(out, static_cast<uint32_t>(chunks.size() + 4));
  Append(out, "WAVE");
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

TEST(Wave, SaveThenLoadGivesTheSameFormatAndSamples)
{
  TWave wave;
  test::MakeConstantWave(wave, 1000, 1234);
  wave.Data()[7] = 0x55;
  TMemoryStream stream;
  wave.SaveToStream(stream);

  // "RIFF", total − 8, "WAVE", "fmt ", 18, format, "data", 2000, samples.
  const Bytes& file = stream.Bytes();
  ASSERT_EQ(file.size(), 12u + 8 + 18 + 8 + 2000);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
  EXPECT_EQ(U32At(file, 4), file.size() - 8);
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(U32At(file, 16), 18u);
  EXPECT_EQ(std::string(file.begin() + 38, file.begin() + 42), "data");
  EXPECT_EQ(U32At(file, 42), 2000u);

  stream.SetPosition(0);
  TWave loaded;
  loaded.LoadFromStream(stream);
  ASSERT_EQ(loaded.FormatSize(), wave.FormatSize());
  ASSERT_EQ(loaded.Size(), wave.Size());
  EXPECT_EQ(0, std::memcmp(loaded.Format(), wave.Format(), 18));
  EXPECT_EQ(0, std::memcmp(loaded.Data(), wave.Data(), 2000));
}

TEST(Wave, ChunksOtherThanFormatAndDataAreSkipped)
{
  Bytes chunks;
  AppendChunk(chunks, "fmt ", PcmFormat());
  AppendChunk(chunks, "LIST", Bytes(13, 'x'));  // odd size, no pad byte
  AppendChunk(chunks, "data", Bytes{1, 2, 3, 4});
  AppendChunk(chunks, "fact", Bytes(4, 0));
  TMemoryStream stream(Riff(chunks));
  TWave wave;
  wave.LoadFromStream(stream);
  EXPECT_EQ(wave.FormatSize(), 18);
  ASSERT_EQ(wave.Size(), 4);
  EXPECT_EQ(wave.Data()[3], 4);
}

// A chunk of odd size is followed by a pad byte, though some writers leave it out; both kinds
// must find the samples.
struct TPaddingCase {
  const char* Name;
  size_t ListSize;  // a chunk before the samples
  bool PadList;
  Bytes Samples;
  bool PadSamples;
};

TEST(Wave, ChunksOfOddSizeAreReadWithOrWithoutTheirPadByte)
{
  const TPaddingCase cases[] = {
      {"odd chunk, pad byte", 13, true, Bytes{1, 2, 3, 4}, false},
      {"odd chunk, no pad byte", 13, false, Bytes{1, 2, 3, 4}, false},
      {"every chunk even", 14, false, Bytes{1, 2, 3, 4}, false},
      {"one-byte chunk, pad byte", 1, true, Bytes{1, 2, 3, 4}, false},
      {"odd samples, pad byte, then a chunk", 14, false, Bytes{1, 2, 3}, true},
      {"odd samples, no pad byte, then a chunk", 14, false, Bytes{1, 2, 3}, false},
      {"odd chunk and odd samples, both padded", 13, true, Bytes{1, 2, 3}, true},
  };
  for (const TPaddingCase& c : cases) {
    Bytes chunks;
    AppendChunk(chunks, "fmt ", PcmFormat());
    AppendChunk(chunks, "LIST", Bytes(c.ListSize, 'x'));
    if (c.PadList) chunks.push_back(0);
    AppendChunk(chunks, "data", c.Samples);
    if (c.PadSamples) chunks.push_back(0);
    AppendChunk(chunks, "fact", Bytes(4, 0));
    TMemoryStream stream(Riff(chunks));
    TWave wave;
    wave.LoadFromStream(stream);
    EXPECT_EQ(wave.FormatSize(), 18) << c.Name;
    ASSERT_EQ(wave.Size(), static_cast<int>(c.Samples.size())) << c.Name;
    EXPECT_EQ(Bytes(wave.Data(), wave.Data() + wave.Size()), c.Samples) << c.Name;
  }
}

TEST(Wave, MissingChunksGiveAnEmptyWaveOrNoFormat)
{
  Bytes onlyFormat;
  AppendChunk(onlyFormat, "fmt ", PcmFormat());
  TMemoryStream noData(Riff(onlyFormat));
  TWave wave;
  wave.LoadFromStream(noData);
  EXPECT_EQ(wave.FormatSize(), 18);
  EXPECT_EQ(wave.Size(), 0);

  Bytes onlyData;
  AppendChunk(onlyData, "data", Bytes{9, 9});
  TMemoryStream noFormat(Riff(onlyData));
  wave.LoadFromStream(noFormat);
  EXPECT_EQ(wave.FormatSize(), 0);
  EXPECT_EQ(wave.Size(), 2);
}

TEST(Wave, SampleMemoryGrowsAndShrinksInBlocksOf8096)
{
  TWave wave;
  const struct {
    int size, capacity;
  } steps[] = {{8096, 8096}, {8097, 16192}, {8000, 8096}, {0, 0}, {-5, 0}, {1, 8096}};
  for (const auto& step : steps) {
    wave.SetSize(step.size);
    EXPECT_EQ(wave.Capacity(), step.capacity) << "size " << step.size;
    EXPECT_EQ(wave.Size(), std::max(step.size, 0));
  }
}

TEST(Wave, GrowingKeepsTheSamples)
{
  TWave wave;
  wave.SetSize(8096);
  wave.Data()[8095] = 77;
  wave.SetSize(8097);
  EXPECT_EQ(wave.Data()[8095], 77);
}

TEST(Wave, SavingAWaveWithoutSamplesOrFormatWritesNothing)
{
  TWave noSamples;
  noSamples.SetPCMFormat(1, 22050, 16);
  TWave noFormat;
  noFormat.SetSize(100);
  for (const TWave* wave : {&noSamples, &noFormat}) {
    TMemoryStream stream;
    wave->SaveToStream(stream);
    EXPECT_TRUE(stream.Bytes().empty());
  }
}

TEST(Wave, AssignCopiesAndNullClears)
{
  TWave source;
  test::MakeConstantWave(source, 10, 5);
  TWave copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.Size(), 20);
  EXPECT_EQ(0, std::memcmp(copy.Data(), source.Data(), 20));
  copy.Assign(&copy);
  EXPECT_EQ(copy.Size(), 20);
  copy.Assign(nullptr);
  EXPECT_EQ(copy.Size(), 0);
  EXPECT_EQ(copy.FormatSize(), 0);
}

TEST(WaveStream, ErrorsCarryTheirMessages)
{
  TMemoryStream good(Riff({}));
  TWaveStream twice(good);
  twice.Open(false);
  try {
    twice.Open(false);
    FAIL();
  } catch (const EWaveStreamError& e) {
    EXPECT_STREQ(e.what(), "Stream has already been opened");
  }

  Bytes notWave = Riff({});
  notWave[8] = 'X';
  TMemoryStream bad(notWave);
  TWaveStream invalid(bad);
  try {
    invalid.Open(false);
    FAIL();
  } catch (const EWaveStreamError& e) {
    EXPECT_STREQ(e.what(), "Wave is invalid");
  }

  TMemoryStream out;
  TWaveStream noFormat(out);
  try {
    noFormat.Open(true);
    FAIL();
  } catch (const EWaveStreamError& e) {
    EXPECT_STREQ(e.what(), "Format is invalid");
  }

  TWaveStream closed(out);
  uint8_t byte = 0;
  EXPECT_EQ(closed.GetSize(), 0);
  try {
    closed.ReadWave(&byte, 1);
    FAIL();
  } catch (const EWaveStreamError& e) {
    EXPECT_STREQ(e.what(), "Stream not opend");
  }
}

// Files that lie about their sizes fail with the stream's read error, and never reserve memory
// for bytes that are not there.
TEST(Wave, TruncatedOrLyingFilesFailWithAReadError)
{
  const auto dataClaiming = [](int64_t stated) {
    Bytes chunks;
    AppendChunk(chunks, "fmt ", PcmFormat());
    AppendChunk(chunks, "data", Bytes{1, 2, 3, 4}, stated);
    return Riff(chunks);
  };
  const auto formatClaiming = [](int64_t stated) {
    Bytes chunks;
    AppendChunk(chunks, "fmt ", PcmFormat(), stated);
    return Riff(chunks);
  };
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"header cut short", Bytes{'R', 'I', 'F', 'F', 0, 0}},
      {"data one byte longer than the file", dataClaiming(5)},
      {"data of 2 GB", dataClaiming(0x7FFFFFFF)},
      {"data of 4 GB", dataClaiming(0xFFFFFFFF)},
      {"format of 2 GB", formatClaiming(0x80000000)},
      {"format longer than the file", formatClaiming(19)},
  };
  for (const auto& c : cases) {
    TMemoryStream stream(c.file);
    TWave wave;
    EXPECT_THROW(wave.LoadFromStream(stream), EReadError) << c.what;
    EXPECT_LE(wave.Capacity(), TWave::BlockSize) << c.what;
  }
}

TEST(WaveStream, ReadsAreLimitedToTheSampleData)
{
  Bytes chunks;
  AppendChunk(chunks, "fmt ", PcmFormat());
  AppendChunk(chunks, "data", Bytes{10, 11, 12, 13});
  AppendChunk(chunks, "junk", Bytes{99, 99});
  TMemoryStream file(Riff(chunks));
  TWaveStream stream(file);
  stream.Open(false);
  EXPECT_EQ(stream.GetSize(), 4);
  EXPECT_EQ(stream.Seek(2, soFromBeginning), 2);
  uint8_t buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 2);
  EXPECT_EQ(buffer[0], 12);
  EXPECT_EQ(stream.Seek(100, soFromBeginning), 4);
  EXPECT_EQ(stream.Seek(-100, soFromEnd), 0);
}

}  // namespace
}  // namespace quarn::sound
