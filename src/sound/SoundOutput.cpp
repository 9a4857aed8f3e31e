#include "sound/SoundOutput.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "formats/Riff.h"
#include "sound/DirectX.h"

namespace quarn::sound {

using namespace dsresult;
using namespace dsconst;

namespace {

namespace riff = formats::riff;

// The OpenAL buffer format of an integer PCM record, or 0 when OpenAL cannot play it.
ALenum ALFormatOf(const riff::TWaveFormatEx& f)
{
  if (f.wFormatTag != riff::FormatPCM) return 0;
  if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8) return 0;
  if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX) return 0;
  if (f.nChannels == 1 && f.wBitsPerSample == 8) return AL_FORMAT_MONO8;
  if (f.nChannels == 1 && f.wBitsPerSample == 16) return AL_FORMAT_MONO16;
  if (f.nChannels == 2 && f.wBitsPerSample == 8) return AL_FORMAT_STEREO8;
  if (f.nChannels == 2 && f.wBitsPerSample == 16) return AL_FORMAT_STEREO16;
  return 0;
}

// Hundredths of a decibel (−10000..0) as a linear gain; the minimum is silence.
float GainOf(int32_t level)
{
  if (level <= DSBVOLUME_MIN) return 0.0f;
  return static_cast<float>(std::pow(10.0, level / 2000.0));
}

// The gain of channel `side` (0 left, 1 right) at `pan`: the side panned away from is
// attenuated by |pan| hundredths of a decibel, the other keeps its level.
float PanGainOf(int32_t pan, int side)
{
  const bool attenuated = side == 0 ? pan > 0 : pan < 0;
  return attenuated ? GainOf(-std::abs(pan)) : 1.0f;
}

// The stereo OpenAL format with the sample size of `monoOrStereo`.
ALenum StereoFormatOf(ALenum monoOrStereo)
{
  return monoOrStereo == AL_FORMAT_MONO8 || monoOrStereo == AL_FORMAT_STEREO8 ? AL_FORMAT_STEREO8
                                                                              : AL_FORMAT_STEREO16;
}

// While one lives, stderr goes nowhere. Opening an output that does not exist makes the library
// and the system's sound layers below it report at length; the program says it in one line.
// With ALSOFT_LOGLEVEL set, whoever set it sees everything.
class TQuietStderr {
public:
  TQuietStderr()
  {
    if (std::getenv("ALSOFT_LOGLEVEL")) return;
    std::fflush(stderr);
    FSaved = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (FSaved >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
    if (null >= 0) ::close(null);
  }
  ~TQuietStderr()
  {
    if (FSaved < 0) return;
    std::fflush(stderr);
    ::dup2(FSaved, STDERR_FILENO);
    ::close(FSaved);
  }
  TQuietStderr(const TQuietStderr&) = delete;
  TQuietStderr& operator=(const TQuietStderr&) = delete;

private:
  int FSaved = -1;
};

ALCdevice* AsDevice(void* handle) { return static_cast<ALCdevice*>(handle); }

ALCcontext* AsContext(void* handle) { return static_cast<ALCcontext*>(handle); }

}  // namespace

struct TALSamples {
  TALDevice& Device;
  ALuint Buffers[2] = {0, 0};  // the left channel alone, the right channel alone (stereo)
  ALenum Format = 0;           // of the wave: mono or stereo, 8 or 16 bits
  int Rate = 0;
  int BlockAlign = 1;
  std::vector<uint8_t> Bytes;                 // what Lock hands out; Unlock uploads it
  std::vector<std::array<ALuint, 2>> Voices;  // the sources of every voice playing these samples

  explicit TALSamples(TALDevice& device) : Device(device) {}
  ~TALSamples()
  {
    Device.MakeCurrent();
    for (ALuint buffer : Buffers)
      if (buffer) alDeleteBuffers(1, &buffer);
  }
  TALSamples(const TALSamples&) = delete;
  TALSamples& operator=(const TALSamples&) = delete;

  // Whole frames only: OpenAL refuses a trailing partial frame.
  size_t FrameCount() const { return Bytes.size() / static_cast<size_t>(BlockAlign); }
  ALsizei UploadSize() const
  {
    return static_cast<ALsizei>(FrameCount() * static_cast<size_t>(BlockAlign));
  }

  // One channel's samples as stereo frames with silence in the other channel.
  std::vector<uint8_t> ChannelAlone(int side) const
  {
    const bool eightBit = Format == AL_FORMAT_MONO8 || Format == AL_FORMAT_STEREO8;
    const bool stereo = Format == AL_FORMAT_STEREO8 || Format == AL_FORMAT_STEREO16;
    const size_t sample = eightBit ? 1 : 2;
    const size_t frames = FrameCount();
    std::vector<uint8_t> out(frames * 2 * sample, eightBit ? 0x80 : 0);
    for (size_t i = 0; i < frames; ++i) {
      const uint8_t* from = Bytes.data() + i * static_cast<size_t>(BlockAlign) +
                            (stereo ? static_cast<size_t>(side) * sample : 0);
      std::memcpy(out.data() + (i * 2 + static_cast<size_t>(side)) * sample, from, sample);
    }
    return out;
  }

  // OpenAL cannot refill a buffer that sources are attached to: detach them (they stop), fill,
  // attach again.
  bool Upload()
  {
    Device.MakeCurrent();
    for (const auto& voice : Voices)
      for (ALuint source : voice) {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
      }
    alGetError();
    for (int side = 0; side < 2; ++side) {
      const std::vector<uint8_t> data = ChannelAlone(side);
      alBufferData(Buffers[side], StereoFormatOf(Format), data.data(),
                   static_cast<ALsizei>(data.size()), Rate);
    }
    const bool ok = alGetError() == AL_NO_ERROR;
    for (const auto& voice : Voices) Attach(voice);
    return ok;
  }

  void Attach(const std::array<ALuint, 2>& voice) const
  {
    for (int side = 0; side < 2; ++side)
      alSourcei(voice[static_cast<size_t>(side)], AL_BUFFER, static_cast<ALint>(Buffers[side]));
  }
};

// ---- TALDevice

std::unique_ptr<TALDevice> TALDevice::Create(const TSoundDeviceId* id, int32_t& result)
{
  std::unique_ptr<TALDevice> device(new TALDevice);
  const char* name = id && !id->Name.empty() ? id->Name.c_str() : nullptr;
  std::vector<ALCint> attributes;
  if (id && id->Loopback) {
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
      result = DSERR_NODRIVER;
      return nullptr;
    }
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    device->FRender = alcGetProcAddress(nullptr, "alcRenderSamplesSOFT");
    if (!open || !device->FRender) {
      result = DSERR_NODRIVER;
      return nullptr;
    }
    device->FDevice = open(name);
    // Plain stereo float output with nothing that would make it depend on more than the mix.
    attributes = {ALC_FORMAT_CHANNELS_SOFT,
                  ALC_STEREO_SOFT,
                  ALC_FORMAT_TYPE_SOFT,
                  ALC_FLOAT_SOFT,
                  ALC_FREQUENCY,
                  id->LoopbackRate,
                  ALC_HRTF_SOFT,
                  ALC_FALSE,
                  ALC_OUTPUT_LIMITER_SOFT,
                  ALC_FALSE};
  } else {
    const TQuietStderr quiet;
    device->FDevice = alcOpenDevice(name);
  }
  if (!device->FDevice) {
    result = DSERR_NODRIVER;
    return nullptr;
  }
  attributes.push_back(0);
  {
    const TQuietStderr quiet;
    device->FContext = alcCreateContext(AsDevice(device->FDevice), attributes.data());
  }
  if (!device->FContext) {
    result = DSERR_NODRIVER;
    return nullptr;  // the destructor closes the device
  }
  device->MakeCurrent();
  result = DS_OK;
  return device;
}

TALDevice::~TALDevice()
{
  if (FContext) {
    if (alcGetCurrentContext() == AsContext(FContext)) alcMakeContextCurrent(nullptr);
    alcDestroyContext(AsContext(FContext));
  }
  if (FDevice) alcCloseDevice(AsDevice(FDevice));
}

void TALDevice::MakeCurrent()
{
  if (alcGetCurrentContext() != AsContext(FContext)) alcMakeContextCurrent(AsContext(FContext));
}

int TALDevice::OutputRate() const
{
  ALCint rate = 0;
  alcGetIntegerv(AsDevice(FDevice), ALC_FREQUENCY, 1, &rate);
  return rate;
}

bool TALDevice::RenderSamples(float* out, int frames)
{
  if (!FRender || frames <= 0) return false;
  reinterpret_cast<LPALCRENDERSAMPLESSOFT>(FRender)(AsDevice(FDevice), out, frames);
  return true;
}

int32_t TALDevice::SetCooperativeLevel(const void* window, int level)
{
  if (!window || (level != DSSCL_NORMAL && level != DSSCL_EXCLUSIVE && level != 2 && level != 4))
    return DSERR_INVALIDPARAM;
  FCooperativeLevel = level;  // OpenAL shares the output: the level is only recorded
  return DS_OK;
}

int32_t TALDevice::CreateSoundBuffer(const TDSBufferDesc& desc, std::unique_ptr<TALBuffer>& buffer)
{
  buffer.reset();
  if (desc.dwSize != sizeof(uint32_t) * 9) return DSERR_INVALIDPARAM;
  MakeCurrent();
  if (desc.dwFlags & dsbcaps::DSBCAPS_PRIMARYBUFFER) {
    if (desc.dwBufferBytes != 0 || desc.lpwfxFormat) return DSERR_INVALIDPARAM;
    std::unique_ptr<TALBuffer> primary(new TALBuffer(*this, true));
    primary->FFlags = desc.dwFlags | dsbcaps::DSBCAPS_LOCSOFTWARE;
    uint8_t record[riff::WaveFormatExSize];
    riff::EncodePCMFormat(record, 2, OutputRate(), 16);
    primary->FFormat.assign(record, record + sizeof record);
    buffer = std::move(primary);
    return DS_OK;
  }

  riff::TWaveFormatEx format{};
  if (!riff::DecodeFormat(desc.lpwfxFormat, desc.FormatSize, format)) return DSERR_INVALIDPARAM;
  const ALenum alFormat = ALFormatOf(format);
  if (!alFormat) return DSERR_BADFORMAT;
  if (desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX)
    return DSERR_INVALIDPARAM;

  auto samples = std::make_shared<TALSamples>(*this);
  samples->Format = alFormat;
  samples->Rate = static_cast<int>(format.nSamplesPerSec);
  samples->BlockAlign = format.nBlockAlign;
  // A new buffer holds silence: 0x80 for unsigned 8-bit samples, 0 for signed 16-bit.
  samples->Bytes.assign(desc.dwBufferBytes, format.wBitsPerSample == 8 ? 0x80 : 0);
  alGetError();
  alGenBuffers(2, samples->Buffers);
  if (alGetError() != AL_NO_ERROR) {
    samples->Buffers[0] = samples->Buffers[1] = 0;
    return DSERR_OUTOFMEMORY;
  }
  if (!samples->Upload()) return DSERR_OUTOFMEMORY;

  std::unique_ptr<TALBuffer> secondary(new TALBuffer(*this, false));
  secondary->FFlags = desc.dwFlags | dsbcaps::DSBCAPS_LOCSOFTWARE;
  const auto* formatBytes = static_cast<const uint8_t*>(desc.lpwfxFormat);
  secondary->FFormat.assign(formatBytes, formatBytes + desc.FormatSize);
  secondary->FSamples = std::move(samples);
  // Its voice (two sources) is made when it first plays: a buffer kept only to be duplicated,
  // as every wave of a set has one, holds no sources, of which the device has few.
  buffer = std::move(secondary);
  return DS_OK;
}

int32_t TALDevice::DuplicateSoundBuffer(const TALBuffer& source, std::unique_ptr<TALBuffer>& buffer)
{
  buffer.reset();
  if (source.FPrimary || !source.FSamples || &source.FDevice != this) return DSERR_INVALIDCALL;
  MakeCurrent();
  std::unique_ptr<TALBuffer> duplicate(new TALBuffer(*this, false));
  duplicate->FFlags = source.FFlags;
  duplicate->FFormat = source.FFormat;
  duplicate->FSamples = source.FSamples;
  duplicate->FVolume = source.FVolume;
  duplicate->FPan = source.FPan;
  duplicate->FPitch = source.FPitch;
  if (!duplicate->CreateSources()) return DSERR_OUTOFMEMORY;  // OpenAL's limit on voices
  buffer = std::move(duplicate);
  return DS_OK;
}

// ---- TALBuffer

TALBuffer::TALBuffer(TALDevice& device, bool primary) : FDevice(device), FPrimary(primary) {}

TALBuffer::~TALBuffer()
{
  FDevice.MakeCurrent();
  if (FSources[0]) {
    alSourceStopv(2, FSources);
    for (ALuint source : FSources) alSourcei(source, AL_BUFFER, 0);
    alDeleteSources(2, FSources);
    if (FSamples)
      std::erase_if(FSamples->Voices,
                    [this](const std::array<ALuint, 2>& v) { return v[0] == FSources[0]; });
  }
}

// Two sources on the shared samples, each routed straight to its own output channel.
bool TALBuffer::CreateSources()
{
  FDevice.MakeCurrent();
  alGetError();
  alGenSources(2, FSources);
  if (alGetError() != AL_NO_ERROR) {
    FSources[0] = FSources[1] = 0;
    return false;
  }
  for (ALuint source : FSources) {
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
  }
  const std::array<ALuint, 2> voice{FSources[0], FSources[1]};
  FSamples->Attach(voice);
  FSamples->Voices.push_back(voice);
  ApplyGains();
  for (ALuint source : FSources) alSourcef(source, AL_PITCH, FPitch);
  return true;
}

bool TALBuffer::HasSources() const { return FSources[0] != 0; }

void TALBuffer::ApplyGains()
{
  if (!HasSources()) return;
  const float volume = GainOf(FVolume);
  for (int side = 0; side < 2; ++side)
    alSourcef(FSources[side], AL_GAIN, volume * PanGainOf(FPan, side));
}

bool TALBuffer::SourcePlaying() const
{
  if (!HasSources()) return false;
  ALint state = AL_STOPPED;
  alGetSourcei(FSources[0], AL_SOURCE_STATE, &state);
  return state == AL_PLAYING;
}

int32_t TALBuffer::GetCaps(TDSBCaps& caps) const
{
  if (caps.dwSize != sizeof(TDSBCaps)) return DSERR_INVALIDPARAM;
  caps.dwFlags = FFlags;
  caps.dwBufferBytes = FSamples ? static_cast<uint32_t>(FSamples->Bytes.size()) : 0;
  caps.dwUnlockTransferRate = 0;
  caps.dwPlayCpuOverhead = 0;
  return DS_OK;
}

int32_t TALBuffer::GetFormat(void* format, int size, int* written) const
{
  const int needed = static_cast<int>(FFormat.size());
  if (!format) {
    if (!written) return DSERR_INVALIDPARAM;
    *written = needed;
    return DS_OK;
  }
  const int n = std::min(size, needed);
  if (n > 0) std::memcpy(format, FFormat.data(), static_cast<size_t>(n));
  if (written) *written = n;
  return DS_OK;
}

int32_t TALBuffer::GetStatus(uint32_t& status)
{
  status = 0;
  if (FPrimary) return DS_OK;
  FDevice.MakeCurrent();
  if (SourcePlaying()) status = DSBSTATUS_PLAYING | (FLooping ? DSBSTATUS_LOOPING : 0);
  return DS_OK;
}

int32_t TALBuffer::Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1,
                        void** region2, uint32_t* size2)
{
  if (FPrimary || FLocked || !region1 || !size1) return DSERR_INVALIDCALL;
  const auto total = static_cast<uint32_t>(FSamples->Bytes.size());
  if (offset >= total || bytes == 0 || bytes > total) return DSERR_INVALIDPARAM;
  // A lock running past the end wraps around to the start: the second region.
  const uint32_t first = std::min(bytes, total - offset);
  *region1 = FSamples->Bytes.data() + offset;
  *size1 = first;
  if (region2) *region2 = bytes > first ? FSamples->Bytes.data() : nullptr;
  if (size2) *size2 = bytes - first;
  FLocked = true;
  return DS_OK;
}

int32_t TALBuffer::Unlock(void*, uint32_t, void*, uint32_t)
{
  if (!FLocked) return DSERR_INVALIDCALL;
  FLocked = false;
  return FSamples->Upload() ? DS_OK : DSERR_GENERIC;
}

int32_t TALBuffer::Play(uint32_t flags)
{
  if (FPrimary) return DS_OK;  // the mix always runs
  FDevice.MakeCurrent();
  if (!HasSources() && !CreateSources()) return DSERR_OUTOFMEMORY;
  FLooping = (flags & DSBPLAY_LOOPING) != 0;
  for (ALuint source : FSources) alSourcei(source, AL_LOOPING, FLooping ? AL_TRUE : AL_FALSE);
  // Playing again while playing only changes looping; it does not restart. Both channels
  // start in the same mix.
  if (!SourcePlaying()) alSourcePlayv(2, FSources);
  return DS_OK;
}

int32_t TALBuffer::Stop()
{
  if (FPrimary) return DS_OK;
  FDevice.MakeCurrent();
  // A stopped buffer keeps its position (pause); SetCurrentPosition rewinds it.
  if (SourcePlaying()) alSourcePausev(2, FSources);
  return DS_OK;
}

int32_t TALBuffer::SetCurrentPosition(uint32_t position)
{
  if (FPrimary) return DSERR_INVALIDCALL;
  if (position >= FSamples->Bytes.size()) return DSERR_INVALIDPARAM;
  FDevice.MakeCurrent();
  if (!HasSources() && !CreateSources()) return DSERR_OUTOFMEMORY;
  const auto frame = std::min<size_t>(position / static_cast<uint32_t>(FSamples->BlockAlign),
                                      FSamples->FrameCount() - 1);
  for (ALuint source : FSources) alSourcei(source, AL_SAMPLE_OFFSET, static_cast<ALint>(frame));
  return DS_OK;
}

int32_t TALBuffer::SetVolume(int32_t volume)
{
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  FDevice.MakeCurrent();
  if (FPrimary) {
    alListenerf(AL_GAIN, GainOf(volume));
  } else {
    FVolume = volume;
    ApplyGains();
  }
  return DS_OK;
}

int32_t TALBuffer::SetPan(int32_t pan)
{
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  if (FPrimary) return DSERR_INVALIDCALL;
  FPan = pan;
  FDevice.MakeCurrent();
  ApplyGains();
  return DS_OK;
}

int32_t TALBuffer::SetFrequency(uint32_t frequency)
{
  if (FPrimary) return DSERR_INVALIDCALL;
  if (frequency != 0 && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
    return DSERR_INVALIDPARAM;
  FDevice.MakeCurrent();
  FPitch =
      frequency == 0 ? 1.0f : static_cast<float>(frequency) / static_cast<float>(FSamples->Rate);
  if (HasSources())
    for (ALuint source : FSources) alSourcef(source, AL_PITCH, FPitch);
  return DS_OK;
}

}  // namespace quarn::sound
