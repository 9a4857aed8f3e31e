#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "formats/Riff.h"
#include "sound/DXSound.h"
#include "sound/DirectSound.h"

namespace quarn::sound {
namespace {

namespace riff = formats::riff;
using test::TLoopbackSound;

// Records what a subscriber is told, as "<list>:<code>".
std::vector<std::string> gHeard;
void Record(void* list, TCustomDXSound&, TDXSoundNotifyType type)
{
  gHeard.push_back(std::string(static_cast<const char*>(list)) + ":" + std::to_string(type));
}
char SubscriberA[] = "A";
char SubscriberB[] = "B";

TEST(DXSound, SubscribersHearTheDeviceLastToFirst)
{
  gHeard.clear();
  {
    TLoopbackSound loopback;
    loopback.Sound.Subscribe(Record, SubscriberA);
    loopback.Sound.Subscribe(Record, SubscriberB);
    EXPECT_TRUE(gHeard.empty());  // nothing to tell while the device is down

    loopback.Sound.Initialize();
    ASSERT_TRUE(loopback.Sound.Initialized());
    EXPECT_EQ(gHeard, (std::vector<std::string>{"B:1", "A:1", "B:2", "A:2", "B:4", "A:4"}));
    gHeard.clear();
  }
  // Destruction: finalisation first (3), then the component's end (0).
  EXPECT_EQ(gHeard, (std::vector<std::string>{"B:3", "A:3", "B:0", "A:0"}));
}

TEST(DXSound, SubscribingToALiveDeviceIsToldItIsUpThenToRestore)
{
  TLoopbackSound loopback;
  loopback.Sound.Initialize();
  gHeard.clear();
  loopback.Sound.Subscribe(Record, SubscriberA);
  EXPECT_EQ(gHeard, (std::vector<std::string>{"A:2", "A:4"}));
  gHeard.clear();
  loopback.Sound.Subscribe(Record, SubscriberA);  // again: first unsubscribed (3), then 2 and 4
  EXPECT_EQ(gHeard, (std::vector<std::string>{"A:3", "A:2", "A:4"}));
  gHeard.clear();
  loopback.Sound.Unsubscribe(Record, SubscriberA);
  EXPECT_EQ(gHeard, (std::vector<std::string>{"A:3"}));
  gHeard.clear();
  loopback.Sound.Unsubscribe(Record, SubscriberA);
  EXPECT_TRUE(gHeard.empty());
}

TEST(DXSound, EventsRunAroundTheNotifications)
{
  std::vector<std::string> order;  // outlives the component, whose destruction finalises
  TLoopbackSound loopback;
  loopback.Sound.OnInitializing = [&](TCustomDXSound&) { order.push_back("initializing"); };
  loopback.Sound.OnInitialize = [&](TCustomDXSound&) { order.push_back("initialize"); };
  loopback.Sound.OnRestore = [&](TCustomDXSound&) { order.push_back("restore"); };
  loopback.Sound.OnFinalize = [&](TCustomDXSound& s) {
    order.push_back(s.Initialized() ? "finalize while up" : "finalize");
  };
  loopback.Sound.Initialize();
  loopback.Sound.Initialize();  // starts by taking the device down
  EXPECT_EQ(order,
            (std::vector<std::string>{"initializing", "initialize", "restore", "finalize while up",
                                      "initializing", "initialize", "restore"}));
}

TEST(DXSound, AMachineWithoutASoundDeviceRunsSilently)
{
  int form = 0;
  TDXSound sound(&form);
  TSoundDeviceId missing;
  missing.Name = "no such sound device";
  sound.SetDeviceId(missing);
  EXPECT_NO_THROW(sound.Loaded());
  EXPECT_FALSE(sound.Initialized());
  try {
    sound.Initialize();
    FAIL();
  } catch (const EDirectSoundError& e) {
    EXPECT_STREQ(e.what(), "DirectSound cannot be initialized");
  }

  // A wave list on it holds waves and plays nothing.
  TDXWaveList list;
  list.SetDXSound(&sound);
  TWaveCollectionItem& item = list.Items().Add();
  item.SetName("step");
  test::MakeConstantWave(item.Wave(), 100);
  EXPECT_NO_THROW(list.Items().Find("step").Play(false));
  EXPECT_EQ(item.VoiceCount(), 0);
}

TEST(DXSound, WithoutAWindowTheDeviceIsNotSetUp)
{
  TDXSound sound(nullptr);
  try {
    sound.Loaded();
    FAIL();
  } catch (const EDXSoundError& e) {
    EXPECT_STREQ(e.what(), "Form not found");
  }
  EXPECT_FALSE(sound.Initialized());
}

TEST(DXSound, ExclusiveModeChangesOnlyAtTheNextInitialize)
{
  TLoopbackSound loopback;
  loopback.Sound.Initialize();
  EXPECT_EQ(loopback.Sound.DSound()->GetIDS().CooperativeLevel(), dsconst::DSSCL_NORMAL);
  loopback.Sound.SetOptions({soExclusive, soGlobalFocus});
  EXPECT_TRUE(loopback.Sound.Options().Has(soExclusive));
  EXPECT_FALSE(loopback.Sound.EffectiveOptions().Has(soExclusive));
  EXPECT_TRUE(loopback.Sound.EffectiveOptions().Has(soGlobalFocus));
  EXPECT_TRUE(loopback.Sound.DSound()->GlobalFocus);
  loopback.Sound.Initialize();
  EXPECT_TRUE(loopback.Sound.EffectiveOptions().Has(soExclusive));
  EXPECT_EQ(loopback.Sound.DSound()->GetIDS().CooperativeLevel(), dsconst::DSSCL_EXCLUSIVE);
}

TEST(DXSound, ALostBufferRestoresOnceEvenWhenLostAgainMeanwhile)
{
  TLoopbackSound loopback;
  loopback.Sound.Initialize();
  TDirectSoundBuffer buffer(*loopback.Sound.DSound());
  int restores = 0;
  loopback.Sound.OnRestore = [&](TCustomDXSound&) {
    ++restores;
    buffer.SetDXResult(dsresult::DSERR_BUFFERLOST);  // lost again inside the restore
  };
  buffer.SetDXResult(dsresult::DSERR_BUFFERLOST);
  EXPECT_EQ(restores, 1);
  EXPECT_FALSE(loopback.Sound.DSound()->Restoring);
  buffer.SetDXResult(dsresult::DSERR_INVALIDPARAM);  // other failures only leave their code
  EXPECT_EQ(restores, 1);
}

TEST(DirectSoundBuffer, MadeFromAWave)
{
  TLoopbackSound loopback;
  loopback.Sound.Initialize();
  TWave wave;
  test::MakeConstantWave(wave, 1000);
  TDirectSoundBuffer buffer(*loopback.Sound.DSound());
  buffer.LoadFromWave(wave);
  EXPECT_EQ(buffer.Caps().dwBufferBytes, 2000u);
  EXPECT_EQ(buffer.Caps().dwFlags & 0xE0u, 0xE0u);
  ASSERT_EQ(buffer.FormatSize(), wave.FormatSize());
  EXPECT_EQ(0, std::memcmp(buffer.Format().data(), wave.Format(), 18));
  EXPECT_FALSE(buffer.Playing());
  EXPECT_EQ(loopback.Sound.DSound()->Buffers().size(), 2u);  // the primary and this one

  // The primary buffer reports the output format.
  const std::vector<uint8_t>& primaryFormat = loopback.Sound.Primary()->Format();
  riff::TWaveFormatEx output{};
  ASSERT_TRUE(
      riff::DecodeFormat(primaryFormat.data(), static_cast<int>(primaryFormat.size()), output));
  EXPECT_EQ(output.nSamplesPerSec, static_cast<uint32_t>(test::Rate));
}

TEST(DirectSoundBuffer, OutOfRangeSettingsAreRefusedThroughTheResultCode)
{
  TLoopbackSound loopback;
  loopback.Sound.Initialize();
  TWave wave;
  test::MakeConstantWave(wave, 100);
  TDirectSoundBuffer buffer(*loopback.Sound.DSound());
  buffer.LoadFromWave(wave);
  const struct {
    const char* what;
    void (*call)(TDirectSoundBuffer&);
    int32_t result;
  } cases[] = {
      {"volume 0", [](TDirectSoundBuffer& b) { b.SetVolume(0); }, dsresult::DS_OK},
      {"volume -10000", [](TDirectSoundBuffer& b) { b.SetVolume(-10000); }, dsresult::DS_OK},
      {"volume 1", [](TDirectSoundBuffer& b) { b.SetVolume(1); }, dsresult::DSERR_INVALIDPARAM},
      {"pan 10000", [](TDirectSoundBuffer& b) { b.SetPan(10000); }, dsresult::DS_OK},
      {"pan -10001", [](TDirectSoundBuffer& b) { b.SetPan(-10001); }, dsresult::DSERR_INVALIDPARAM},
      {"frequency 0", [](TDirectSoundBuffer& b) { b.SetFrequency(0); }, dsresult::DS_OK},
      {"frequency 99", [](TDirectSoundBuffer& b) { b.SetFrequency(99); },
       dsresult::DSERR_INVALIDPARAM},
      {"position 199", [](TDirectSoundBuffer& b) { b.SetPosition(199); }, dsresult::DS_OK},
      {"position 200", [](TDirectSoundBuffer& b) { b.SetPosition(200); },
       dsresult::DSERR_INVALIDPARAM},
  };
  for (const auto& c : cases) {
    buffer.SetDXResult(0);
    c.call(buffer);
    EXPECT_EQ(buffer.DXResult(), c.result) << c.what;
  }
}

TEST(DirectSoundBuffer, UnplayableFormatsAndUnmadeBuffersRaise)
{
  TLoopbackSound loopback;
  loopback.Sound.Initialize();
  TWave wave;
  wave.SetPCMFormat(1, test::Rate, 24);
  wave.SetSize(300);
  TDirectSoundBuffer buffer(*loopback.Sound.DSound());
  try {
    buffer.LoadFromWave(wave);
    FAIL();
  } catch (const EDirectSoundBufferError& e) {
    EXPECT_STREQ(e.what(), "Sound Buffer cannot be made");
  }
  try {
    buffer.Play(false);
    FAIL();
  } catch (const EDirectSoundBufferError& e) {
    EXPECT_STREQ(e.what(), "IDirectSoundBuffer not made");
  }
}

TEST(DirectSoundBuffer, LockHandsOutTheSamplesOnce)
{
  TLoopbackSound loopback;
  loopback.Sound.Initialize();
  TWave wave;
  test::MakeConstantWave(wave, 100);
  TDirectSoundBuffer buffer(*loopback.Sound.DSound());
  buffer.LoadFromWave(wave);
  void *region1 = nullptr, *region2 = nullptr;
  uint32_t size1 = 0, size2 = 0;
  // From byte 150, 100 bytes: 50 up to the end and 50 from the start.
  ASSERT_TRUE(buffer.Lock(150, 100, region1, size1, region2, size2));
  EXPECT_EQ(size1, 50u);
  EXPECT_EQ(size2, 50u);
  EXPECT_NE(region2, nullptr);
  EXPECT_FALSE(buffer.Lock(0, 10, region1, size1, region2, size2));  // one lock at a time
  buffer.Unlock();
  EXPECT_EQ(buffer.LockCount(), 0);
  EXPECT_TRUE(buffer.Lock(0, 10, region1, size1, region2, size2));
  EXPECT_EQ(region2, nullptr);
  buffer.Unlock();
}

TEST(DirectSound, DestroyingTheDeviceEmptiesTheBuffersLeft)
{
  TSoundDeviceId id;
  id.Loopback = true;
  auto device = std::make_unique<TDirectSound>(&id);
  TDirectSoundBuffer buffer(*device);
  TWave wave;
  test::MakeConstantWave(wave, 100);
  buffer.LoadFromWave(wave);
  device.reset();
  EXPECT_FALSE(buffer.HasIDSB());
  EXPECT_EQ(buffer.DirectSound(), nullptr);
  EXPECT_THROW(buffer.Stop(), EDirectSoundBufferError);
}

}  // namespace
}  // namespace quarn::sound
