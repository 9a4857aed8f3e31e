#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "formats/ByteWriter.h"
#include "sound/DXSound.h"
#include "sound/Wave.h"
#include "sound/WaveCollection.h"

namespace quarn::sound::test {

constexpr int Rate = 22050;  // waves and the loopback output share it: no resampling

// A mono 16-bit wave holding `frames` samples of the constant `value`.
inline void MakeConstantWave(TWave& wave, int frames, int16_t value = 8000)
{
  wave.SetPCMFormat(1, Rate, 16);
  std::vector<uint8_t> pcm;
  formats::TByteWriter w(pcm);
  for (int i = 0; i < frames; ++i) w.I16(value);
  wave.SetSize(frames * 2);
  std::copy(pcm.begin(), pcm.end(), wave.Data());
}

// A device component on OpenAL's loopback device: nothing is mixed until Render is called, so
// what is heard at each point is exact.
class TLoopbackSound {
public:
  TLoopbackSound()
  {
    TSoundDeviceId id;
    id.Loopback = true;
    id.LoopbackRate = Rate;
    Sound.SetDeviceId(id);
  }

  // Mixes `frames` frames and returns the mean absolute level of one channel (0 left, 1 right)
  // over the last `tail` of them (all when 0).
  double Render(int frames, int tail = 0, int channel = 0)
  {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    Sound.DSound()->GetIDS().RenderSamples(out.data(), frames);
    if (tail <= 0 || tail > frames) tail = frames;
    double sum = 0;
    for (int i = frames - tail; i < frames; ++i)
      sum += std::fabs(out[static_cast<size_t>(i) * 2 + static_cast<size_t>(channel)]);
    return sum / tail;
  }

  int Form = 0;  // stands in for the window
  TDXSound Sound{&Form};
};

}  // namespace quarn::sound::test
