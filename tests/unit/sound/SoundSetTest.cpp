#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "formats/ByteWriter.h"
#include "sound/SoundSetFile.h"
#include "sound/WaveCollection.h"

namespace quarn::sound {
namespace {

using namespace formats::soundset;
using Bytes = std::vector<uint8_t>;

// Builds sound set streams byte by byte, so that each case shows exactly what it holds.
struct TSetBuilder {
  Bytes bytes;

  TSetBuilder& Raw(std::initializer_list<uint8_t> b)
  {
    bytes.insert(bytes.end(), b);
    return *this;
  }
  TSetBuilder& Text(const std::string& s)
  {
    bytes.insert(bytes.end(), s.begin(), s.end());
    return *this;
  }
  TSetBuilder& Short(const std::string& s)
  {
    bytes.push_back(static_cast<uint8_t>(s.size()));
    return Text(s);
  }
  TSetBuilder& U32(uint32_t v)
  {
    formats::TByteWriter(bytes).U32(v);
    return *this;
  }
  TSetBuilder& Header()
  {
    return Text("TPF0")
        .Short("TWaveCollectionComponent")
        .Short("")
        .Short("List")
        .Raw({vaCollection});
  }
  TSetBuilder& Wave(int frames)
  {
    TWave wave;
    test::MakeConstantWave(wave, frames);
    TMemoryStream riffImage;
    wave.SaveToStream(riffImage);
    Short("Wave.WAVE").Raw({vaBinary}).U32(static_cast<uint32_t>(riffImage.Bytes().size()));
    bytes.insert(bytes.end(), riffImage.Bytes().begin(), riffImage.Bytes().end());
    return *this;
  }
  TSetBuilder& Footer() { return Raw({vaNull, vaNull, vaNull}); }
};

void Load(TWaveCollection& waves, const Bytes& bytes)
{
  TMemoryStream stream(bytes);
  waves.LoadFromStream(stream);
}

TEST(SoundSet, WrittenSetsReadBack)
{
  TWaveCollection waves;
  for (const char* name : {"footstep", "jump"}) {
    TWaveCollectionItem& item = waves.Add();
    item.SetName(name);
    test::MakeConstantWave(item.Wave(), 100);
  }
  waves.Items(1).SetLooped(true);
  waves.Items(1).SetMaxPlayingCount(3);
  waves.Items(1).SetName(std::string(300, 'n'));  // long enough for a four-byte length
  waves.Add().SetName("empty");                   // its wave is written as no bytes

  TMemoryStream stream;
  WriteSoundSet(stream, waves);
  stream.SetPosition(0);
  TWaveCollection read;
  read.LoadFromStream(stream);
  ASSERT_EQ(read.Count(), 3);
  EXPECT_EQ(read.Items(2).Wave().Size(), 0);
  EXPECT_EQ(read.Items(0).Name(), "footstep");
  EXPECT_FALSE(read.Items(0).Looped());
  EXPECT_EQ(read.Items(0).Wave().Size(), 200);
  EXPECT_EQ(read.Items(1).Name(), std::string(300, 'n'));
  EXPECT_TRUE(read.Items(1).Looped());
  EXPECT_EQ(read.Items(1).MaxPlayingCount(), 3);
}

// Every spelling of the values that the reader takes.
TEST(SoundSet, ReadsEveryValueFormOfTheSubset)
{
  TSetBuilder set;
  set.Text("TPF0").Raw({0xF2, vaInt16, 5, 0}).Short("TWaveCollectionComponent").Short("Carrier");
  set.Short("List").Raw({vaCollection});
  set.Raw({vaInt8, 0, vaList}).Short("Name").Raw({vaString}).Short("one");
  set.Short("Looped").Raw({vaIdent}).Short("True");
  set.Short("MaxPlayingCount").Raw({vaInt8, 0xFE}).Raw({vaNull});  // −2 counts as 0
  set.Raw({vaInt32, 1, 0, 0, 0, vaList}).Short("NAME").Raw({vaLString}).U32(3).Text("two");
  set.Short("looped").Raw({vaIdent}).Short("false");
  set.Short("MaxPlayingCount").Raw({vaInt16, 0x10, 0x01}).Wave(10).Raw({vaNull});
  set.Raw({vaList})
      .Short("MaxPlayingCount")
      .Raw({vaInt32, 7, 0, 0, 0})
      .Short("Looped")
      .Raw({vaTrue});
  set.Raw({vaNull});
  set.Footer();

  TWaveCollection waves;
  Load(waves, set.bytes);
  ASSERT_EQ(waves.Count(), 3);
  EXPECT_EQ(waves.Items(0).Name(), "one");
  EXPECT_TRUE(waves.Items(0).Looped());
  EXPECT_EQ(waves.Items(0).MaxPlayingCount(), 0);
  EXPECT_EQ(waves.Items(1).Name(), "two");
  EXPECT_FALSE(waves.Items(1).Looped());
  EXPECT_EQ(waves.Items(1).MaxPlayingCount(), 0x110);
  EXPECT_EQ(waves.Items(1).Wave().Size(), 20);
  EXPECT_EQ(waves.Items(2).Name(), "");
  EXPECT_EQ(waves.Items(2).MaxPlayingCount(), 7);
}

TEST(SoundSet, AnythingOutsideTheSubsetFailsAndKeepsTheItemsRead)
{
  const auto firstItem = [] {
    TSetBuilder set;
    set.Header().Raw({vaList}).Short("Name").Raw({vaString}).Short("kept").Raw({vaNull});
    return set;
  };
  struct Case {
    const char* what;
    TSetBuilder set;
    const char* message;
  };
  std::vector<Case> cases;
  cases.push_back({"unknown property", firstItem().Raw({vaList}).Short("Volume").Raw({vaInt8, 1}),
                   "unknown property 'Volume' of a wave"});
  cases.push_back({"name of another kind", firstItem().Raw({vaList}).Short("Name").Raw({vaInt8, 1}),
                   "'Name' is not a string"});
  cases.push_back({"looped as a word other than True or False",
                   firstItem().Raw({vaList}).Short("Looped").Raw({vaIdent}).Short("Maybe"),
                   "'Looped' is neither True nor False"});
  cases.push_back({"count of another kind",
                   firstItem().Raw({vaList}).Short("MaxPlayingCount").Raw({vaString}).Short("1"),
                   "an integer value was expected"});
  cases.push_back({"binary length of 2 GB",
                   firstItem().Raw({vaList}).Short("Wave.WAVE").Raw({vaBinary}).U32(0x7FFFFFFF),
                   "the wave data runs past the end of the file"});
  cases.push_back({"long name past the end",
                   firstItem().Raw({vaList}).Short("Name").Raw({vaLString}).U32(0xFFFFFFF0),
                   "a text runs past the end of the file"});
  cases.push_back({"stream cut inside an item", firstItem().Raw({vaList}).Short("Name"),
                   "unexpected end of the file"});
  cases.push_back(
      {"item without list start", firstItem().Raw({vaString}), "a collection item was expected"});
  cases.push_back({"a child object", firstItem().Raw({vaNull, vaNull, 0xF0}),
                   "child objects are not supported"});
  for (const Case& c : cases) {
    TWaveCollection waves;
    try {
      Load(waves, c.set.bytes);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const ESoundSetError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.what << ": " << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("Sound set read error at byte ", 0), 0u) << e.what();
    }
    EXPECT_EQ(waves.IndexOf("kept"), 0) << c.what;
  }
}

TEST(SoundSet, SignatureAndRootAreChecked)
{
  TWaveCollection waves;
  TSetBuilder notASet;
  notASet.Text("RIFF....");
  EXPECT_THROW(Load(waves, notASet.bytes), ESoundSetError);

  TSetBuilder otherRootProperty;
  otherRootProperty.Text("TPF0").Short("TWaveCollectionComponent").Short("").Short("Items");
  otherRootProperty.Raw({vaCollection, vaNull}).Footer();
  EXPECT_THROW(Load(waves, otherRootProperty.bytes), ESoundSetError);

  TSetBuilder empty;
  empty.Header().Raw({vaNull}).Footer();
  waves.Add().SetName("replaced");
  Load(waves, empty.bytes);
  EXPECT_EQ(waves.Count(), 0);
}

TEST(SoundSet, ABadWaveInsideTheSetFailsWithTheWavesError)
{
  TSetBuilder set;
  set.Header()
      .Raw({vaList})
      .Short("Wave.WAVE")
      .Raw({vaBinary})
      .U32(12)
      .Text(std::string("RIFF\0\0\0\0WAVX", 12));
  TWaveCollection waves;
  EXPECT_THROW(Load(waves, set.bytes), EWaveStreamError);
}

TEST(SoundSet, AMissingFileKeepsTheCurrentSet)
{
  TWaveCollection waves;
  waves.Add().SetName("step");
  EXPECT_THROW(waves.LoadFromFile("/nonexistent/robot.snd"), EFOpenError);
  EXPECT_EQ(waves.IndexOf("step"), 0);
}

TEST(SoundSet, LoadFromFileReadsAWrittenFile)
{
  TWaveCollection waves;
  TWaveCollectionItem& item = waves.Add();
  item.SetName("shot");
  test::MakeConstantWave(item.Wave(), 50);
  const std::string path = testing::TempDir() + "sound_set_test.snd";
  {
    TFileStream file(path, TFileStream::fmCreate);
    WriteSoundSet(file, waves);
  }
  TWaveCollection read;
  read.LoadFromFile(path);
  std::remove(path.c_str());
  ASSERT_EQ(read.Count(), 1);
  EXPECT_EQ(read.Find("SHOT").Wave().Size(), 100);
}

// A set of `count` waves of two frames each (the shortest a device buffer takes), named w0,
// w1, ...
Bytes ShortWaves(int count)
{
  TSetBuilder set;
  set.Header();
  for (int i = 0; i < count; ++i)
    set.Raw({vaList})
        .Short("Name")
        .Raw({vaString})
        .Short("w" + std::to_string(i))
        .Wave(2)
        .Raw({vaNull});
  set.Raw({vaNull});
  return set.Footer().bytes;
}

// Sets at and past their bounds, on a live device: every wave read can play.
struct TBoundedSet {
  const char* Name;
  Bytes (*Set)();
  int Count;            // waves in the collection afterwards
  const char* Failure;  // the read error's words; "" when the set loads
};

TEST(SoundSet, IsBoundedInWavesAndBytes)
{
  const TBoundedSet cases[] = {
      {"the most waves", [] { return ShortWaves(MaxSoundSetWaves); }, MaxSoundSetWaves, ""},
      {"one wave too many", [] { return ShortWaves(MaxSoundSetWaves + 1); }, MaxSoundSetWaves,
       "more than 4096 waves in the set"},
      {"a byte too many",
       [] {
         Bytes set = ShortWaves(1);
         set.resize(static_cast<size_t>(MaxSoundSetBytes) + 1);
         return set;
       },
       0, "Sound set read error at byte 0: the file is larger than 8 MiB"},
  };
  test::TLoopbackSound loopback;
  loopback.Sound.Initialize();
  for (const TBoundedSet& c : cases) {
    TDXWaveList list;
    list.SetDXSound(&loopback.Sound);
    std::string failure;
    try {
      Load(list.Items(), c.Set());
    } catch (const ESoundSetError& error) {
      failure = error.what();
    }
    EXPECT_NE(failure.find(c.Failure), std::string::npos) << c.Name << ": " << failure;
    EXPECT_EQ(failure.empty(), *c.Failure == 0) << c.Name;
    ASSERT_EQ(list.Items().Count(), c.Count) << c.Name;
    if (c.Count > 0) {
      TWaveCollectionItem& last = list.Items().Find("w" + std::to_string(c.Count - 1));
      // A set read whole has its buffers at once; after a read error, at the first play.
      if (failure.empty()) {
        EXPECT_NE(last.Buffer(), nullptr) << c.Name;
      }
      EXPECT_EQ(last.Wave().Capacity(), 4) << c.Name << ": a two-frame wave holds its four bytes";
      last.Play(false);
      EXPECT_EQ(last.VoiceCount(), 1) << c.Name;
    }
  }
}

}  // namespace
}  // namespace quarn::sound
