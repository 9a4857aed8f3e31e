#include <gif_lib.h>
#include <gtest/gtest.h>
#include <webp/demux.h>

#include <cstring>
#include <numeric>

#include "sprites/GifEncoder.h"
#include "sprites/SpriteFrames.h"
#include "sprites/Timing.h"
#include "sprites/WebpEncoder.h"

namespace quarn::sprites {
namespace {

constexpr int32_t KeyframeCounts[] = {1, 6, 40, 199};
constexpr int32_t MaximumFps = 240;

struct TPlayer {
  const char* Name;
  int32_t UnitMs;
  int32_t MinimumMs;
};
constexpr TPlayer Players[] = {{"GIF", GifDelayUnitMs, ShortestDelayMs},
                               {"WebP", WebpDelayUnitMs, ShortestDelayMs}};

// Where sample j starts, in ms.
double SampleStart(int32_t j, int32_t fps) { return j * 1000.0 / (fps > 0 ? fps : 10); }

int32_t SampleCount(int32_t fps, int32_t keyframes)
{
  return int32_t(SamplePoses({"a", 0, keyframes - 1}, fps).size());
}

TEST(SpriteTiming, EveryFpsSumsToTheLoopWithNoShortDelay)
{
  for (const int32_t keyframes : KeyframeCounts)
    for (int32_t fps = 0; fps <= MaximumFps; ++fps) {
      SCOPED_TRACE(testing::Message() << keyframes << " keyframes at fps " << fps);
      const int32_t loop = keyframes * 100, count = SampleCount(fps, keyframes);
      const std::vector<TPose> poses = SamplePoses({"a", 0, keyframes - 1}, fps);
      for (size_t j = 1; j < poses.size(); ++j)
        ASSERT_FALSE(poses[j].Previous == -1 && poses[j].Current == 0) << "the first pose again";

      const std::vector<int32_t> durations = FrameDurationsMs(count, fps, keyframes);
      ASSERT_EQ(durations.size(), size_t(count));
      int32_t start = 0;
      for (int32_t j = 0; j < count; ++j) {
        ASSERT_NEAR(start, SampleStart(j, fps), 1.0) << "frame " << j;
        ASSERT_GE(durations[size_t(j)], 1) << "frame " << j;
        start += durations[size_t(j)];
      }
      ASSERT_EQ(start, loop);

      for (const TPlayer& player : Players) {
        SCOPED_TRACE(player.Name);
        const TTimedFrames timed =
            KeepFrames(count, fps, keyframes, player.UnitMs, player.MinimumMs);
        ASSERT_EQ(timed.Frames.size(), timed.Delays.size());
        ASSERT_EQ(timed.Frames[0], 0);
        int32_t at = 0;  // in ms
        for (size_t i = 0; i < timed.Frames.size(); ++i) {
          if (i > 0) {
            ASSERT_GT(timed.Frames[i], timed.Frames[i - 1]);
          }
          ASSERT_LT(timed.Frames[i], count);
          ASSERT_NEAR(at, SampleStart(timed.Frames[i], fps), player.UnitMs / 2.0) << "kept " << i;
          ASSERT_GE(timed.Delays[i] * player.UnitMs, player.MinimumMs) << "kept " << i;
          at += timed.Delays[i] * player.UnitMs;
        }
        ASSERT_LE(std::abs(at - loop), player.UnitMs / 2);
      }
    }
}

// Frame i of n: a 3 x 2 frame of its own colour and alpha, its top-left pixel red at alpha 100.
std::vector<images::TFramePixels> DistinctFrames(size_t n)
{
  std::vector<images::TFramePixels> frames(n);
  for (size_t i = 0; i < n; ++i) {
    images::TFramePixels& frame = frames[i];
    frame.Width = 3, frame.Height = 2, frame.Alpha = true;
    for (int p = 0; p < 6; ++p)
      frame.Rgb.insert(frame.Rgb.end(), {uint8_t(i * 7), uint8_t(255 - i), 40, uint8_t(100 + i)});
    std::memcpy(&frame.Rgb[12], "\xff\x00\x00\x64", 4);  // bottom-up rows: (0, 0) is pixel 3
  }
  return frames;
}

std::vector<const images::TFramePixels*> Pointers(const std::vector<images::TFramePixels>& frames)
{
  std::vector<const images::TFramePixels*> pointers;
  for (const images::TFramePixels& frame : frames) pointers.push_back(&frame);
  return pointers;
}

int ReadGif(GifFileType* file, GifByteType* data, int size)
{
  auto* source = static_cast<std::pair<const std::string*, size_t>*>(file->UserData);
  const size_t count = std::min(source->first->size() - source->second, size_t(size));
  std::memcpy(data, source->first->data() + source->second, count);
  source->second += count;
  return int(count);
}

TEST(SpriteTiming, GifDelaysReadBackFromTheFile)
{
  for (const int32_t fps : {0, 7, 30, 60, 240}) {
    SCOPED_TRACE(testing::Message() << "fps " << fps);
    const TTimedFrames timed =
        KeepFrames(SampleCount(fps, 6), fps, 6, GifDelayUnitMs, ShortestDelayMs);
    const std::vector<images::TFramePixels> frames = DistinctFrames(timed.Frames.size());
    std::string gif, reason;
    ASSERT_TRUE(EncodeGIF(Pointers(frames), timed.Delays, true, gif, reason)) << reason;
    std::pair<const std::string*, size_t> source{&gif, 0};
    int error = 0;
    GifFileType* file = DGifOpen(&source, ReadGif, &error);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(DGifSlurp(file), GIF_OK);
    std::vector<int> delays;
    for (int i = 0; i < file->ImageCount; ++i) {
      GraphicsControlBlock control;
      ASSERT_EQ(DGifSavedExtensionToGCB(file, i, &control), GIF_OK);
      delays.push_back(control.DelayTime);
    }
    DGifCloseFile(file, &error);
    EXPECT_EQ(delays, timed.Delays);
    EXPECT_EQ(std::accumulate(delays.begin(), delays.end(), 0), 60);
  }
  const std::vector<images::TFramePixels> two = DistinctFrames(2);
  std::string gif, reason;
  EXPECT_FALSE(EncodeGIF(Pointers(two), {5}, true, gif, reason));
  EXPECT_EQ(reason, "there are 1 delays for 2 frames");
}

TEST(SpriteTiming, WebpDurationsAndAlphaReadBackFromTheFile)
{
  for (const int32_t fps : {0, 7, 30, 240}) {
    SCOPED_TRACE(testing::Message() << "fps " << fps);
    const TTimedFrames timed =
        KeepFrames(SampleCount(fps, 6), fps, 6, WebpDelayUnitMs, ShortestDelayMs);
    const std::vector<images::TFramePixels> frames = DistinctFrames(timed.Frames.size());
    std::string webp, reason;
    ASSERT_TRUE(EncodeWebP(Pointers(frames), timed.Delays, webp, reason)) << reason;

    WebPAnimDecoderOptions options;
    ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
    options.color_mode = MODE_RGBA;
    const WebPData data{reinterpret_cast<const uint8_t*>(webp.data()), webp.size()};
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    ASSERT_NE(decoder, nullptr);
    WebPAnimInfo info;
    ASSERT_TRUE(WebPAnimDecoderGetInfo(decoder, &info));
    EXPECT_EQ(info.loop_count, 0u);
    std::vector<int> delays;
    int previous = 0, frame = 0;
    uint8_t* rgba = nullptr;
    while (WebPAnimDecoderHasMoreFrames(decoder) &&
           WebPAnimDecoderGetNext(decoder, &rgba, &frame)) {
      delays.push_back(frame - previous);
      previous = frame;
      const size_t i = delays.size() - 1;
      // Top-left comes first; every other pixel keeps the frame's colour and partial alpha.
      EXPECT_EQ(std::memcmp(rgba, "\xff\x00\x00\x64", 4), 0) << "frame " << i;
      EXPECT_EQ(std::memcmp(rgba + 4, &frames[i].Rgb[0], 4), 0) << "frame " << i;
    }
    WebPAnimDecoderDelete(decoder);
    EXPECT_EQ(delays, timed.Delays);
    EXPECT_EQ(previous, 600);
  }
  std::vector<images::TFramePixels> two = DistinctFrames(2);
  const struct {
    std::vector<int> Delays;
    const char* Reason;
  } refused[] = {{{5}, "there are 1 delays for 2 frames"},
                 {{5, 0}, "a delay of 0 ms is outside 1-16777215"}};
  std::string webp, reason;
  for (const auto& r : refused) {
    EXPECT_FALSE(EncodeWebP(Pointers(two), r.Delays, webp, reason));
    EXPECT_EQ(reason, r.Reason);
  }
  two[1].Width = 2;
  EXPECT_FALSE(EncodeWebP(Pointers(two), {5, 5}, webp, reason));
  EXPECT_EQ(reason, "the frames differ in size");
}

}  // namespace
}  // namespace quarn::sprites
