#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "bots/SoundManager.h"
#include "render/Console.h"
#include "sound/SoundSetFile.h"

namespace quarn::sound {
namespace {

// A sound manager over a wave list on a loopback device, printing to a console without a font.
class SoundManager : public testing::Test {
protected:
  void SetUp() override
  {
    loopback.Sound.Initialize();
    list.SetDXSound(&loopback.Sound);
    manager.Sound = &loopback.Sound;
    manager.WaveList = &list;
  }

  std::string WriteSet(const char* fileName, std::initializer_list<const char*> names)
  {
    TWaveCollection waves;
    for (const char* name : names) {
      TWaveCollectionItem& item = waves.Add();
      item.SetName(name);
      test::MakeConstantWave(item.Wave(), 2000);
    }
    const std::string path = testing::TempDir() + fileName;
    TFileStream file(path, TFileStream::fmCreate);
    WriteSoundSet(file, waves);
    return path;
  }

  const std::string& LastLine() const { return console.Lines().back(); }

  test::TLoopbackSound loopback;
  TDXWaveList list;
  render::TConsole console{nullptr};
  bots::TSoundManager manager{&console};
};

TEST_F(SoundManager, PrecacheLoadsTheSetAndSaysSo)
{
  const std::string path = WriteSet("manager_a.snd", {"step", "jump"});
  EXPECT_TRUE(manager.Precache(path));
  EXPECT_EQ(LastLine(), "Sound collection " + path + " precached");
  manager.Play("STEP");
  manager.Play("step");
  EXPECT_EQ(list.Items().Find("step").VoiceCount(), 2);
  EXPECT_GT(loopback.Render(200, 100), 0.1);
}

TEST_F(SoundManager, AMissingFileKeepsThePreviousSet)
{
  const std::string path = WriteSet("manager_b.snd", {"step"});
  ASSERT_TRUE(manager.Precache(path));
  const std::string missing = testing::TempDir() + "no_such_set.snd";
  EXPECT_FALSE(manager.Precache(missing));
  EXPECT_EQ(LastLine(), "Error precaching" + missing);
  EXPECT_NO_THROW(manager.Play("step"));
}

TEST_F(SoundManager, ASecondSetReplacesTheFirst)
{
  ASSERT_TRUE(manager.Precache(WriteSet("manager_c.snd", {"step"})));
  ASSERT_TRUE(manager.Precache(WriteSet("manager_d.snd", {"shot"})));
  EXPECT_NO_THROW(manager.Play("shot"));
  try {
    manager.Play("step");
    FAIL();
  } catch (const EWaveCollectionError& e) {
    EXPECT_STREQ(e.what(), "Wave 'step' not found");
  }
}

TEST_F(SoundManager, AnUnreadableFileIsReportedAndLeavesWhatWasRead)
{
  const std::string path = testing::TempDir() + "manager_bad.snd";
  {
    TFileStream file(path, TFileStream::fmCreate);
    file.WriteBuffer("TPF0", 4);
  }
  ASSERT_TRUE(manager.Precache(WriteSet("manager_e.snd", {"step"})));
  EXPECT_FALSE(manager.Precache(path));
  const auto& lines = console.Lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Error precaching" + path);
  EXPECT_EQ(LastLine(), "  Sound set read error at byte 4: unexpected end of the file");
  EXPECT_EQ(list.Items().Count(), 0);
}

TEST(SoundManagerWithoutSound, RunsSilently)
{
  render::TConsole console{nullptr};
  bots::TSoundManager manager{&console};
  EXPECT_FALSE(manager.Precache("/nonexistent.snd"));
  EXPECT_NO_THROW(manager.Play("anything"));
}

}  // namespace
}  // namespace quarn::sound
