#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The sound output the device layer drives: OpenAL Soft, in the shape of the device and buffer
// interfaces the layer above expects. TALDevice plays the part of the device interface (one
// OpenAL device and its context), TALBuffer that of one sound buffer (one OpenAL source on a
// shared OpenAL buffer, made when it first plays). Every call returns a result code of dsresult
// (DirectX.h).
//
// Volume and pan are levels in hundredths of a decibel applied to each output channel: a voice
// is two sources, one feeding only the left channel and one only the right, each routed
// straight to its channel without OpenAL's panning, so the centre plays the wave at its own
// level on both channels.
namespace quarn::sound {

// Which output to open. The default is OpenAL's default device, as chosen by the environment
// (ALSOFT_DRIVERS=null gives a silent working device). A loopback device mixes only when asked
// to, into memory (RenderSamples), which makes output deterministic for tests.
struct TSoundDeviceId {
  std::string Name;          // OpenAL device name; empty: the default device
  bool Loopback = false;     // render into memory instead of a device
  int LoopbackRate = 44100;  // frames per second of the rendered output (stereo, 32-bit float)
};

// Buffer description flags (only those the layer uses or reports).
namespace dsbcaps {
constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr uint32_t DSBCAPS_LOCSOFTWARE = 0x8;
constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr uint32_t DSBCAPS_CTRLPAN = 0x40;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x80;
constexpr uint32_t DSBCAPS_STICKYFOCUS = 0x4000;
constexpr uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;
}  // namespace dsbcaps

namespace dsconst {
constexpr uint32_t DSBSTATUS_PLAYING = 0x1;
constexpr uint32_t DSBSTATUS_LOOPING = 0x4;
constexpr uint32_t DSBPLAY_LOOPING = 0x1;
constexpr int DSSCL_NORMAL = 1;
constexpr int DSSCL_EXCLUSIVE = 3;
constexpr int32_t DSBVOLUME_MIN = -10000;  // hundredths of a decibel; this is silence
constexpr int32_t DSBVOLUME_MAX = 0;
constexpr int32_t DSBPAN_LEFT = -10000;
constexpr int32_t DSBPAN_RIGHT = 10000;
constexpr uint32_t DSBFREQUENCY_MIN = 100;
constexpr uint32_t DSBFREQUENCY_MAX = 200000;
constexpr uint32_t DSBSIZE_MIN = 4;
constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;
}  // namespace dsconst

struct TDSBufferDesc {
  uint32_t dwSize = 36;
  uint32_t dwFlags = 0;
  uint32_t dwBufferBytes = 0;
  const void* lpwfxFormat = nullptr;  // the wave format record, or null (primary buffer)
  int FormatSize = 0;                 // its size in bytes
};

struct TDSBCaps {  // 20 bytes, as the record it stands for
  uint32_t dwSize = 20;
  uint32_t dwFlags = 0;
  uint32_t dwBufferBytes = 0;
  uint32_t dwUnlockTransferRate = 0;
  uint32_t dwPlayCpuOverhead = 0;
};

class TALBuffer;

class TALDevice {
public:
  // Opens the device and makes its context current; null (and the result) when it cannot.
  static std::unique_ptr<TALDevice> Create(const TSoundDeviceId* id, int32_t& result);
  ~TALDevice();
  TALDevice(const TALDevice&) = delete;
  TALDevice& operator=(const TALDevice&) = delete;

  int32_t SetCooperativeLevel(const void* window, int level);
  int32_t CreateSoundBuffer(const TDSBufferDesc& desc, std::unique_ptr<TALBuffer>& buffer);
  int32_t DuplicateSoundBuffer(const TALBuffer& source, std::unique_ptr<TALBuffer>& buffer);

  int CooperativeLevel() const { return FCooperativeLevel; }
  int OutputRate() const;
  bool IsLoopback() const { return FRender != nullptr; }
  // Mixes the next `frames` stereo frames into `out` (2 floats per frame). Loopback only.
  bool RenderSamples(float* out, int frames);

  // OpenAL calls go to the current context; several devices may be open at once.
  void MakeCurrent();

private:
  TALDevice() = default;
  // OpenAL's handles, kept opaque here so that this header does not need OpenAL's.
  void* FDevice = nullptr;   // ALCdevice*
  void* FContext = nullptr;  // ALCcontext*
  void* FRender = nullptr;   // alcRenderSamplesSOFT, loopback devices only
  int FCooperativeLevel = 0;
};

// Sample memory shared by a buffer and its duplicates.
struct TALSamples;

class TALBuffer {
public:
  ~TALBuffer();
  TALBuffer(const TALBuffer&) = delete;
  TALBuffer& operator=(const TALBuffer&) = delete;

  int32_t GetCaps(TDSBCaps& caps) const;
  // With a null `format`, `written` gets the size needed.
  int32_t GetFormat(void* format, int size, int* written) const;
  int32_t GetStatus(uint32_t& status);
  int32_t Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
               uint32_t* size2);
  int32_t Unlock(void* region1, uint32_t size1, void* region2, uint32_t size2);
  int32_t Play(uint32_t flags);
  int32_t Stop();
  int32_t SetCurrentPosition(uint32_t position);
  int32_t SetVolume(int32_t volume);
  int32_t SetPan(int32_t pan);
  int32_t SetFrequency(uint32_t frequency);

  bool IsPrimary() const { return FPrimary; }

private:
  friend class TALDevice;
  TALBuffer(TALDevice& device, bool primary);
  bool CreateSources();
  bool HasSources() const;
  void ApplyGains();
  bool SourcePlaying() const;

  TALDevice& FDevice;
  bool FPrimary;
  uint32_t FFlags = 0;
  std::vector<uint8_t> FFormat;          // the format record as given
  std::shared_ptr<TALSamples> FSamples;  // secondary buffers only
  unsigned FSources[2] = {0, 0};         // this buffer's voice, left and right; 0: none yet
  float FPitch = 1.0f;                   // playback rate relative to the samples' own
  bool FLooping = false;
  int32_t FVolume = 0;
  int32_t FPan = 0;
  bool FLocked = false;
};

}  // namespace quarn::sound
