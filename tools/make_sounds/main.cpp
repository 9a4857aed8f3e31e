// Synthesises the demo bot's sounds and writes each as a RIFF WAVE file (22050 Hz, mono, 16-bit)
// into the given directory: footstep.wav, jump.wav, shot.wav, pain.wav. Deterministic: the same
// bytes on every run.
//
//   make_sounds <output directory>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "formats/ByteWriter.h"
#include "sound/Stream.h"
#include "sound/Wave.h"

namespace {

constexpr int Rate = 22050;
constexpr double Pi = 3.14159265358979323846;

// A small deterministic noise source (xorshift), values in [−1, 1).
class TNoise {
public:
  double Next()
  {
    FState ^= FState << 13;
    FState ^= FState >> 17;
    FState ^= FState << 5;
    return static_cast<double>(FState) / 2147483648.0 - 1.0;
  }

private:
  uint32_t FState = 0x9E3779B9u;
};

// One-pole low-pass filter; `cutoff` in Hz may change from sample to sample.
class TLowPass {
public:
  double Step(double x, double cutoff)
  {
    const double a = 1.0 - std::exp(-2.0 * Pi * cutoff / Rate);
    FY += a * (x - FY);
    return FY;
  }

private:
  double FY = 0;
};

double Decay(double t, double tau) { return std::exp(-t / tau); }

// Attack over `attack` seconds, then full; with a short fade at the end so no sound clicks off.
double Envelope(double t, double length, double attack)
{
  const double fade = 0.01;
  double e = attack > 0 ? std::min(1.0, t / attack) : 1.0;
  if (t > length - fade) e *= std::max(0.0, (length - t) / fade);
  return e;
}

using TSynth = std::function<double(double t, double length)>;

std::vector<double> Render(double length, const TSynth& synth)
{
  std::vector<double> samples(static_cast<size_t>(length * Rate));
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = synth(static_cast<double>(i) / Rate, length);
  return samples;
}

// A soft step: a low thump and a short burst of muffled noise.
std::vector<double> Footstep()
{
  TNoise noise;
  TLowPass filter;
  return Render(0.12, [&](double t, double length) {
    const double thump = std::sin(2 * Pi * 85 * t) * Decay(t, 0.03);
    const double scuff = filter.Step(noise.Next(), 900) * 2.2 * Decay(t, 0.02);
    return 0.4 * (thump + scuff) * Envelope(t, length, 0.002);
  });
}

// A rising "boing": a sine gliding up an octave and a half, with a little second harmonic.
std::vector<double> Jump()
{
  double phase = 0;
  return Render(0.26, [&](double t, double length) {
    const double frequency = 220 * std::pow(3.0, t / length);
    phase += 2 * Pi * frequency / Rate;
    const double tone = std::sin(phase) + 0.25 * std::sin(2 * phase);
    return 0.4 * tone * Decay(t, 0.12) * Envelope(t, length, 0.005);
  });
}

// A shot: a sharp burst of noise, darkening as it dies, over a falling low thump.
std::vector<double> Shot()
{
  TNoise noise;
  TLowPass filter;
  double phase = 0;
  return Render(0.35, [&](double t, double length) {
    phase += 2 * Pi * (70 - 40 * t / length) / Rate;
    const double crack = filter.Step(noise.Next(), 6000 * Decay(t, 0.05) + 300) * Decay(t, 0.06);
    const double boom = std::sin(phase) * Decay(t, 0.08);
    return 0.7 * (0.8 * crack + 0.6 * boom) * Envelope(t, length, 0.001);
  });
}

// A short "ugh": a buzzy voice falling in pitch with a little vibrato, softened by a filter.
std::vector<double> Pain()
{
  TLowPass filter;
  double phase = 0;
  return Render(0.38, [&](double t, double length) {
    const double frequency = (300 - 130 * t / length) * (1 + 0.03 * std::sin(2 * Pi * 7 * t));
    phase += 2 * Pi * frequency / Rate;
    double voice = 0;
    for (int h = 1; h <= 6; ++h) voice += std::sin(h * phase) / h;
    const double shaped = filter.Step(voice, 1400);
    return 0.5 * shaped * Envelope(t, length, 0.02) * (1 - 0.5 * t / length);
  });
}

void WriteWave(const std::string& path, const std::vector<double>& samples)
{
  quarn::sound::TWave wave;
  wave.SetPCMFormat(1, Rate, 16);
  std::vector<uint8_t> pcm;
  quarn::formats::TByteWriter w(pcm);
  for (const double sample : samples)
    w.I16(static_cast<int16_t>(std::lround(std::clamp(sample, -1.0, 1.0) * 32767)));
  wave.SetSize(static_cast<int>(pcm.size()));
  std::copy(pcm.begin(), pcm.end(), wave.Data());
  quarn::sound::TFileStream file(path, quarn::sound::TFileStream::fmCreate);
  wave.SaveToStream(file);
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds <output directory>\n");
    return 2;
  }
  const std::string directory = std::string(argv[1]) + "/";
  try {
    WriteWave(directory + "footstep.wav", Footstep());
    WriteWave(directory + "jump.wav", Jump());
    WriteWave(directory + "shot.wav", Shot());
    WriteWave(directory + "pain.wav", Pain());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_sounds: %s\n", e.what());
    return 1;
  }
  return 0;
}
