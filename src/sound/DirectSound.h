#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "sound/DirectX.h"
#include "sound/SoundOutput.h"

namespace quarn::sound {

class TDirectSoundBuffer;
class TWave;

// One sound device. Keeps a list of the buffers made on it; destroying the device releases what
// those buffers still hold (their owners keep the emptied objects).
class TDirectSound : public TDirectX {
public:
  // Opens the device (null: the default one). EDirectSoundError "DirectSound cannot be
  // initialized" when there is no device to open.
  explicit TDirectSound(const TSoundDeviceId* deviceId);
  ~TDirectSound() override;
  TDirectSound(const TDirectSound&) = delete;
  TDirectSound& operator=(const TDirectSound&) = delete;

  TALDevice& GetIDS();  // EDirectSoundError "IDirectSound not made" when there is none
  const std::vector<TDirectSoundBuffer*>& Buffers() const { return FBuffers; }

  bool GlobalFocus = false;
  bool StickyFocus = false;
  bool Restoring = false;

  virtual void DoRestore() {}

private:
  friend class TDirectSoundBuffer;
  std::vector<TDirectSoundBuffer*> FBuffers;
  std::unique_ptr<TALDevice> FIDS;
};

// One sound buffer on a device: filled from a wave, played once or looped, with volume (hundredths
// of a decibel, −10000..0), pan (−10000 left..10000 right) and frequency (0: the wave's own).
// Calls on the buffer report failure only through DXResult; using it before it has been made
// raises EDirectSoundBufferError "IDirectSoundBuffer not made".
class TDirectSoundBuffer : public TDirectX {
public:
  explicit TDirectSoundBuffer(TDirectSound& directSound);
  ~TDirectSoundBuffer() override;
  TDirectSoundBuffer(const TDirectSoundBuffer&) = delete;
  TDirectSoundBuffer& operator=(const TDirectSoundBuffer&) = delete;

  bool CreateBuffer(const TDSBufferDesc& description);
  void SetIDSB(std::unique_ptr<TALBuffer> buffer);
  TALBuffer& GetIDSB();
  bool HasIDSB() const { return FIDSB != nullptr; }

  // EDirectSoundBufferError "Sound Buffer cannot be made" when the device refuses.
  void CreateSecondary(const void* format, int formatSize, int size);
  // "Sound Buffer cannot be locked" when the samples cannot be copied in.
  void LoadFromMemory(const void* format, int formatSize, const void* data, int size);
  void LoadFromWave(const TWave& wave);

  void Release();                  // drop the buffer (Assign of nothing)
  void Assign(const TWave& wave);  // LoadFromWave
  // A duplicate sharing the source's samples, playing as its own voice. When the source has no
  // buffer, or the device refuses, this one is left without one (DXResult tells why).
  void Assign(const TDirectSoundBuffer& source);

  bool Playing();
  void Play(bool loop);
  void Stop();
  void SetPosition(uint32_t position);
  void SetVolume(int32_t volume);
  void SetPan(int32_t pan);
  void SetFrequency(uint32_t frequency);

  bool Lock(uint32_t offset, uint32_t bytes, void*& region1, uint32_t& size1, void*& region2,
            uint32_t& size2);
  void Unlock();

  TDirectSound* DirectSound() const { return FDirectSound; }
  const TDSBCaps& Caps() const { return FCaps; }
  const std::vector<uint8_t>& Format() const { return FFormat; }
  int FormatSize() const { return static_cast<int>(FFormat.size()); }
  int LockCount() const { return FLockCount; }

protected:
  void Check() override;

private:
  friend class TDirectSound;
  void Detach();  // the device is going away

  TDirectSound* FDirectSound;
  std::unique_ptr<TALBuffer> FIDSB;
  TDSBCaps FCaps;
  std::vector<uint8_t> FFormat;
  struct {
    void* Region1 = nullptr;
    uint32_t Size1 = 0;
    void* Region2 = nullptr;
    uint32_t Size2 = 0;
  } FLock;
  int FLockCount = 0;
};

}  // namespace quarn::sound
