#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "sound/SoundSetFile.h"
#include "sound/WaveCollection.h"

namespace quarn::sound {
namespace {

constexpr int Length = 2205;  // frames of the test wave: a tenth of a second

// A wave list on a loopback device with one item, "step", of Length frames at a constant level.
// Levels are measured in units of one voice.
class VoicePool : public testing::Test {
protected:
  void SetUp() override
  {
    loopback.Sound.Initialize();
    ASSERT_TRUE(loopback.Sound.Initialized());
    list.SetDXSound(&loopback.Sound);
    TWaveCollectionItem& added = list.Items().Add();
    added.SetName("step");
    test::MakeConstantWave(added.Wave(), Length);
    item = &list.Items().Find("step");

    // One voice's level, from a throwaway item.
    TWaveCollectionItem& probe = list.Items().Add();
    test::MakeConstantWave(probe.Wave(), 400);
    probe.Play(false);
    unit = loopback.Render(400, 200);
    ASSERT_GT(unit, 0.01);
    list.Items().Delete(probe.Index());
  }

  double Voices(int frames, int tail, int channel = 0)
  {
    return loopback.Render(frames, tail, channel) / unit;
  }

  test::TLoopbackSound loopback;
  TDXWaveList list;
  TWaveCollectionItem* item = nullptr;
  double unit = 0;
};

TEST_F(VoicePool, TwoQuickPlaysOverlap)
{
  item->Play(false);
  EXPECT_NEAR(Voices(500, 400), 1.0, 0.01);
  item->Play(false);
  EXPECT_NEAR(Voices(500, 400), 2.0, 0.01);
  EXPECT_EQ(item->VoiceCount(), 2);
}

TEST_F(VoicePool, WithoutALimitEveryBusyPlayAddsAVoice)
{
  for (int i = 0; i < 3; ++i) item->Play(false);
  EXPECT_EQ(item->VoiceCount(), 3);
  EXPECT_NEAR(Voices(500, 400), 3.0, 0.01);
}

TEST_F(VoicePool, AFinishedVoiceIsReused)
{
  item->Play(false);
  EXPECT_NEAR(Voices(Length + 100, 50), 0.0, 0.01);
  item->Play(false);
  EXPECT_EQ(item->VoiceCount(), 1);
  EXPECT_NEAR(Voices(500, 400), 1.0, 0.01);
}

TEST_F(VoicePool, AtMaxPlayingCountTheOldestVoiceRestarts)
{
  item->SetMaxPlayingCount(2);
  item->Play(false);  // voice A at frame 0
  Voices(1000, 0);
  item->Play(false);  // voice B at 1000
  Voices(500, 0);
  TDirectSoundBuffer* oldest = item->Voice(0);
  item->Play(false);  // at 1500: no third voice, A starts again
  EXPECT_EQ(item->VoiceCount(), 2);
  EXPECT_EQ(item->Voice(1), oldest);  // the restarted voice is now the newest
  EXPECT_NEAR(Voices(500, 400), 2.0, 0.01);
  // Frames 2300..3000: without the restart A would have ended at 2205.
  EXPECT_NEAR(Voices(1000, 700), 2.0, 0.01);
  // B ends at 3205, the restarted A at 3705.
  EXPECT_NEAR(Voices(400, 100), 1.0, 0.01);
  EXPECT_NEAR(Voices(600, 100), 0.0, 0.01);
}

TEST_F(VoicePool, ChangingMaxPlayingCountDropsTheVoices)
{
  item->Play(false);
  item->Play(false);
  item->SetMaxPlayingCount(1);
  EXPECT_EQ(item->VoiceCount(), 0);
  EXPECT_NEAR(Voices(300, 200), 0.0, 0.01);
}

TEST_F(VoicePool, ALoopedItemKeepsPlayingUntilLoopedChanges)
{
  item->SetLooped(true);
  item->Play(false);
  EXPECT_EQ(item->VoiceCount(), 0);  // the master buffer plays the loop
  EXPECT_NEAR(Voices(3 * Length + 100, 1000), 1.0, 0.01);
  item->Play(false);  // playing a loop again restarts it, still one voice
  EXPECT_NEAR(Voices(500, 400), 1.0, 0.01);
  item->SetLooped(false);
  EXPECT_NEAR(Voices(500, 400), 0.0, 0.001);
}

TEST_F(VoicePool, ChangingLoopedStopsOverlappingPlays)
{
  item->Play(false);
  item->Play(false);
  item->SetLooped(true);
  EXPECT_NEAR(Voices(500, 400), 0.0, 0.001);
}

// OpenAL eases changes of gain and direction over a while; each check lets the change settle.
TEST_F(VoicePool, VolumePanAndFrequencyOfABuffer)
{
  constexpr int Settle = 2500;  // OpenAL Soft ramps a change over 2048 frames
  TDirectSoundBuffer buffer(*loopback.Sound.DSound());
  buffer.LoadFromWave(item->Wave());
  buffer.SetVolume(-600);  // −6 dB: half the amplitude
  buffer.Play(true);
  EXPECT_NEAR(Voices(Settle, 200), 0.501, 0.005);
  buffer.SetVolume(-10000);  // the minimum is silence
  EXPECT_NEAR(Voices(Settle, 200), 0.0, 0.001);
  buffer.SetVolume(0);
  buffer.SetPan(10000);  // all the way right
  Voices(Settle, 0);
  EXPECT_GT(Voices(200, 200, 1), 4 * Voices(200, 200, 0));
  buffer.SetPan(-10000);
  Voices(Settle, 0);
  EXPECT_GT(Voices(200, 200, 0), 4 * Voices(200, 200, 1));
  buffer.SetPan(0);
  EXPECT_NEAR(Voices(Settle, 200, 0), 1.0, 0.01);

  buffer.Stop();
  buffer.SetPosition(0);
  buffer.SetFrequency(2 * test::Rate);  // twice as fast: over in half the time
  buffer.Play(false);
  EXPECT_NEAR(Voices(Length / 2 - 100, 200), 1.0, 0.01);
  EXPECT_NEAR(Voices(200, 100), 0.0, 0.01);
  EXPECT_FALSE(buffer.Playing());
}

TEST_F(VoicePool, AnItemWithAnEmptyWaveNeverGetsABufferAndPlaysNothing)
{
  TWaveCollectionItem& empty = list.Items().Add();
  empty.SetName("silence");
  empty.Play(false);
  EXPECT_EQ(empty.Buffer(), nullptr);
  EXPECT_EQ(empty.VoiceCount(), 0);
}

TEST_F(VoicePool, ASetLoadedWhileTheDeviceIsUpGetsItsBuffersAtOnce)
{
  TMemoryStream set;
  WriteSoundSet(set, list.Items());
  set.SetPosition(0);
  list.Items().LoadFromStream(set);
  ASSERT_EQ(list.Items().Count(), 1);
  EXPECT_NE(list.Items().Items(0).Buffer(), nullptr);
}

TEST(WaveList, ASetLoadedWhileTheDeviceIsDownGetsItsBuffersWhenItComesUp)
{
  test::TLoopbackSound loopback;
  TDXWaveList list;
  list.SetDXSound(&loopback.Sound);
  TWaveCollection source;
  TWaveCollectionItem& item = source.Add();
  item.SetName("jump");
  test::MakeConstantWave(item.Wave(), 100);
  TMemoryStream set;
  WriteSoundSet(set, source);
  set.SetPosition(0);
  list.Items().LoadFromStream(set);
  EXPECT_EQ(list.Items().Items(0).Buffer(), nullptr);

  loopback.Sound.Initialize();
  EXPECT_NE(list.Items().Items(0).Buffer(), nullptr);
  loopback.Sound.Finalize();
  EXPECT_EQ(list.Items().Items(0).Buffer(), nullptr);
  EXPECT_FALSE(list.Items().Initialized());
}

TEST(WaveList, FollowsTheDeviceComponentUntilItIsDestroyed)
{
  TDXWaveList list;
  {
    test::TLoopbackSound loopback;
    loopback.Sound.Initialize();
    list.SetDXSound(&loopback.Sound);
    TWaveCollectionItem& item = list.Items().Add();
    test::MakeConstantWave(item.Wave(), 100);
    item.Play(false);
    EXPECT_EQ(item.VoiceCount(), 1);
  }
  EXPECT_EQ(list.DXSound(), nullptr);
  EXPECT_EQ(list.Items().Items(0).VoiceCount(), 0);
  EXPECT_NO_THROW(list.Items().Items(0).Play(false));
}

}  // namespace
}  // namespace quarn::sound
