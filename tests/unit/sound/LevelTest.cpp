// Volume and pan set the level of each output channel in hundredths of a decibel, measured on
// the loopback device: at the centre a wave plays at its own level on both channels.
#include <gtest/gtest.h>

#include <cmath>

#include "SoundTestSupport.h"
#include "sound/DirectSound.h"

namespace quarn::sound {
namespace {

constexpr int Frames = 8000;
constexpr int Settle = 2500;               // OpenAL Soft ramps a change of gain over 2048 frames
constexpr double Full = 8000.0 / 32768.0;  // the test waves' level

// `channels` 1 or 2; the left (or only) channel holds 8000, the right -4000.
void MakeWave(TWave& wave, int channels)
{
  wave.SetPCMFormat(channels, test::Rate, 16);
  wave.SetSize(Frames * 2 * channels);
  auto* samples = reinterpret_cast<int16_t*>(wave.Data());
  for (int i = 0; i < Frames; ++i) {
    samples[i * channels] = 8000;
    if (channels == 2) samples[i * 2 + 1] = -4000;
  }
}

double Db(int32_t hundredths) { return std::pow(10.0, hundredths / 2000.0); }

TEST(SoundLevel, VolumeAndPanInHundredthsOfADecibelPerChannel)
{
  struct Case {
    int Channels;
    int32_t Volume, Pan;
    double Left, Right;  // in units of the wave's own left level
  };
  const Case cases[] = {
      {1, 0, 0, 1, 1},
      {1, 0, -600, 1, Db(-600)},
      {1, 0, 600, Db(-600), 1},
      {1, -600, 0, Db(-600), Db(-600)},
      {1, -1000, 2500, Db(-3500), Db(-1000)},
      {1, 0, -10000, 1, 0},
      {2, 0, 0, 1, 0.5},  // each channel to its own side, nothing crosses over
      {2, 0, 600, Db(-600), 0.5},
  };
  for (const Case& c : cases) {
    test::TLoopbackSound loopback;
    loopback.Sound.Initialize();
    ASSERT_TRUE(loopback.Sound.Initialized());
    TWave wave;
    MakeWave(wave, c.Channels);
    TDirectSoundBuffer buffer(*loopback.Sound.DSound());
    buffer.LoadFromWave(wave);
    buffer.SetVolume(c.Volume);
    buffer.SetPan(c.Pan);
    buffer.Play(true);
    loopback.Render(Settle);
    const std::string what = std::to_string(c.Channels) + " channel(s), volume " +
                             std::to_string(c.Volume) + ", pan " + std::to_string(c.Pan);
    EXPECT_NEAR(loopback.Render(200, 200, 0) / Full, c.Left, 0.002) << what;
    EXPECT_NEAR(loopback.Render(200, 200, 1) / Full, c.Right, 0.002) << what;
  }
}

}  // namespace
}  // namespace quarn::sound
