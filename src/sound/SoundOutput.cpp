#include "sound/SoundOutput.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formats/Riff.h"
#include "sound/DirectX.h"

namespace quarn::sound {

using namespace dsresult;
using namespace dsconst;

namespace {

namespace riff = formats::riff;

constexpr double kPi = 3.14159265358979323846;
constexpr float kDefaultStereoAngle = static_cast<float>(kPi / 6);  // OpenAL's ±30 degrees

// The OpenAL buffer format of an integer PCM record, or 0 when OpenAL cannot play it.
ALenum ALFormatOf(const riff::TWaveFormatEx& f)
{
  if (f.wFormatTag != riff::kFormatPCM) return 0;
  if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8) return 0;
  if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX) return 0;
  if (f.nChannels == 1 && f.wBitsPerSample == 8) return AL_FORMAT_MONO8;
  if (f.nChannels == 1 && f.wBitsPerSample == 16) return AL_FORMAT_MONO16;
  if (f.nChannels == 2 && f.wBitsPerSample == 8) return AL_FORMAT_STEREO8;
  if (f.nChannels == 2 && f.wBitsPerSample == 16) return AL_FORMAT_STEREO16;
  return 0;
}

// Volume in hundredths of a decibel (−10000..0) as a linear gain; the minimum is silence.
float GainOf(int32_t volume)
{
  if (volume <= DSBVOLUME_MIN) return 0.0f;
  return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

// Pan in hundredths of a decibel of attenuation of the far side (−10000 left .. 10000 right)
// as an angle from straight ahead (radians, positive to the right).
double PanAngleOf(int32_t pan)
{
  if (pan == 0) return 0.0;
  const double farGain = static_cast<double>(GainOf(-std::abs(pan)));
  return (pan > 0 ? 1 : -1) * (kPi / 2) * (1.0 - farGain);
}

ALCdevice* AsDevice(void* handle)
{
  return static_cast<ALCdevice*>(handle);
}

ALCcontext* AsContext(void* handle)
{
  return static_cast<ALCcontext*>(handle);
}

}  // namespace

struct TALSamples {
  TALDevice& Device;
  ALuint Buffer = 0;
  ALenum Format = 0;
  int Rate = 0;
  int BlockAlign = 1;
  std::vector<uint8_t> Bytes;  // what Lock hands out; Unlock uploads it
  std::vector<ALuint> Sources;  // every voice playing these samples

  explicit TALSamples(TALDevice& device) : Device(device) {}
  ~TALSamples()
  {
    Device.MakeCurrent();
    if (Buffer) alDeleteBuffers(1, &Buffer);
  }
  TALSamples(const TALSamples&) = delete;
  TALSamples& operator=(const TALSamples&) = delete;

  // Whole frames only: OpenAL refuses a trailing partial frame.
  ALsizei UploadSize() const
  {
    return static_cast<ALsizei>(Bytes.size() / static_cast<size_t>(BlockAlign) *
                                static_cast<size_t>(BlockAlign));
  }

  // OpenAL cannot refill a buffer that sources are attached to: detach them (they stop), fill,
  // attach again.
  bool Upload()
  {
    Device.MakeCurrent();
    for (ALuint source : Sources) {
      alSourceStop(source);
      alSourcei(source, AL_BUFFER, 0);
    }
    alGetError();
    alBufferData(Buffer, Format, Bytes.data(), UploadSize(), Rate);
    const bool ok = alGetError() == AL_NO_ERROR;
    for (ALuint source : Sources) alSourcei(source, AL_BUFFER, static_cast<ALint>(Buffer));
    return ok;
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
    attributes = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                  ALC_FREQUENCY, id->LoopbackRate, ALC_HRTF_SOFT, ALC_FALSE,
                  ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE};
  } else {
    device->FDevice = alcOpenDevice(name);
  }
  if (!device->FDevice) {
    result = DSERR_NODRIVER;
    return nullptr;
  }
  attributes.push_back(0);
  device->FContext = alcCreateContext(AsDevice(device->FDevice), attributes.data());
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
    uint8_t record[riff::kWaveFormatExSize];
    riff::EncodePCMFormat(record, 2, OutputRate(), 16);
    primary->FFormat.assign(record, record + sizeof record);
    buffer = std::move(primary);
    return DS_OK;
  }

  riff::TWaveFormatEx format{};
  if (!riff::DecodeFormat(desc.lpwfxFormat, desc.FormatSize, format)) return DSERR_INVALIDPARAM;
  const ALenum alFormat = ALFormatOf(format);
  if (!alFormat) return DSERR_BADFORMAT;
  if (desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;

  auto samples = std::make_shared<TALSamples>(*this);
  samples->Format = alFormat;
  samples->Rate = static_cast<int>(format.nSamplesPerSec);
  samples->BlockAlign = format.nBlockAlign;
  // A new buffer holds silence: 0x80 for unsigned 8-bit samples, 0 for signed 16-bit.
  samples->Bytes.assign(desc.dwBufferBytes, format.wBitsPerSample == 8 ? 0x80 : 0);
  alGetError();
  alGenBuffers(1, &samples->Buffer);
  if (alGetError() != AL_NO_ERROR) {
    samples->Buffer = 0;
    return DSERR_OUTOFMEMORY;
  }
  if (!samples->Upload()) return DSERR_OUTOFMEMORY;

  std::unique_ptr<TALBuffer> secondary(new TALBuffer(*this, false));
  secondary->FFlags = desc.dwFlags | dsbcaps::DSBCAPS_LOCSOFTWARE;
  const auto* formatBytes = static_cast<const uint8_t*>(desc.lpwfxFormat);
  secondary->FFormat.assign(formatBytes, formatBytes + desc.FormatSize);
  alGenSources(1, &secondary->FSource);
  if (alGetError() != AL_NO_ERROR) {
    secondary->FSource = 0;
    return DSERR_OUTOFMEMORY;
  }
  alSourcei(secondary->FSource, AL_SOURCE_RELATIVE, AL_TRUE);
  alSourcef(secondary->FSource, AL_ROLLOFF_FACTOR, 0.0f);
  alSourcei(secondary->FSource, AL_BUFFER, static_cast<ALint>(samples->Buffer));
  samples->Sources.push_back(secondary->FSource);
  secondary->FSamples = std::move(samples);
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
  alGetError();
  alGenSources(1, &duplicate->FSource);
  if (alGetError() != AL_NO_ERROR) {  // OpenAL's limit on voices
    duplicate->FSource = 0;
    return DSERR_OUTOFMEMORY;
  }
  ALfloat gain = 1.0f, pitch = 1.0f;
  alGetSourcef(source.FSource, AL_GAIN, &gain);
  alGetSourcef(source.FSource, AL_PITCH, &pitch);
  alSourcei(duplicate->FSource, AL_SOURCE_RELATIVE, AL_TRUE);
  alSourcef(duplicate->FSource, AL_ROLLOFF_FACTOR, 0.0f);
  alSourcef(duplicate->FSource, AL_GAIN, gain);
  alSourcef(duplicate->FSource, AL_PITCH, pitch);
  alSourcei(duplicate->FSource, AL_BUFFER, static_cast<ALint>(source.FSamples->Buffer));
  duplicate->FSamples = source.FSamples;
  duplicate->FSamples->Sources.push_back(duplicate->FSource);
  duplicate->FPan = source.FPan;
  duplicate->ApplyPan();
  buffer = std::move(duplicate);
  return DS_OK;
}

// ---- TALBuffer

TALBuffer::TALBuffer(TALDevice& device, bool primary) : FDevice(device), FPrimary(primary) {}

TALBuffer::~TALBuffer()
{
  FDevice.MakeCurrent();
  if (FSource) {
    alSourceStop(FSource);
    alSourcei(FSource, AL_BUFFER, 0);
    alDeleteSources(1, &FSource);
    if (FSamples) std::erase(FSamples->Sources, FSource);
  }
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
  ALint state = AL_STOPPED;
  alGetSourcei(FSource, AL_SOURCE_STATE, &state);
  if (state == AL_PLAYING) status = DSBSTATUS_PLAYING | (FLooping ? DSBSTATUS_LOOPING : 0);
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
  FLooping = (flags & DSBPLAY_LOOPING) != 0;
  alSourcei(FSource, AL_LOOPING, FLooping ? AL_TRUE : AL_FALSE);
  // Playing again while playing only changes looping; it does not restart.
  ALint state = AL_STOPPED;
  alGetSourcei(FSource, AL_SOURCE_STATE, &state);
  if (state != AL_PLAYING) alSourcePlay(FSource);
  return DS_OK;
}

int32_t TALBuffer::Stop()
{
  if (FPrimary) return DS_OK;
  FDevice.MakeCurrent();
  // A stopped buffer keeps its position (pause); SetCurrentPosition rewinds it.
  ALint state = AL_STOPPED;
  alGetSourcei(FSource, AL_SOURCE_STATE, &state);
  if (state == AL_PLAYING) alSourcePause(FSource);
  return DS_OK;
}

int32_t TALBuffer::SetCurrentPosition(uint32_t position)
{
  if (FPrimary) return DSERR_INVALIDCALL;
  if (position >= FSamples->Bytes.size()) return DSERR_INVALIDPARAM;
  FDevice.MakeCurrent();
  const auto frame = static_cast<uint32_t>(FSamples->BlockAlign);
  position = std::min<uint32_t>(position / frame * frame,
                                static_cast<uint32_t>(FSamples->UploadSize()) - frame);
  alSourcei(FSource, AL_BYTE_OFFSET, static_cast<ALint>(position));
  return DS_OK;
}

int32_t TALBuffer::SetVolume(int32_t volume)
{
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  FDevice.MakeCurrent();
  if (FPrimary)
    alListenerf(AL_GAIN, GainOf(volume));
  else
    alSourcef(FSource, AL_GAIN, GainOf(volume));
  return DS_OK;
}

int32_t TALBuffer::SetPan(int32_t pan)
{
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  if (FPrimary) return DSERR_INVALIDCALL;
  FPan = pan;
  FDevice.MakeCurrent();
  ApplyPan();
  return DS_OK;
}

void TALBuffer::ApplyPan()
{
  const double angle = PanAngleOf(FPan);
  // A mono voice is placed on a circle around the listener; a stereo voice turns its two channels.
  if (FPan == 0)
    alSource3f(FSource, AL_POSITION, 0.0f, 0.0f, 0.0f);
  else
    alSource3f(FSource, AL_POSITION, static_cast<float>(std::sin(angle)), 0.0f,
               static_cast<float>(-std::cos(angle)));
  if (alIsExtensionPresent("AL_EXT_STEREO_ANGLES")) {
    const float limit = static_cast<float>(kPi / 2);
    const float left = std::clamp(kDefaultStereoAngle - static_cast<float>(angle), -limit, limit);
    const float right = std::clamp(-kDefaultStereoAngle - static_cast<float>(angle), -limit, limit);
    const ALfloat angles[2] = {left, right};
    alSourcefv(FSource, AL_STEREO_ANGLES, angles);
  }
}

int32_t TALBuffer::SetFrequency(uint32_t frequency)
{
  if (FPrimary) return DSERR_INVALIDCALL;
  if (frequency != 0 && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
    return DSERR_INVALIDPARAM;
  FDevice.MakeCurrent();
  const float pitch = frequency == 0 ? 1.0f : static_cast<float>(frequency) / static_cast<float>(FSamples->Rate);
  alSourcef(FSource, AL_PITCH, pitch);
  return DS_OK;
}

}  // namespace quarn::sound
