#include "sound/DirectSound.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "sound/Wave.h"

namespace quarn::sound {

using namespace dsresult;

std::string FormatMessage(const char* pattern, const char* subject)
{
  std::string text;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      text += subject;
      ++p;
    } else {
      text += *p;
    }
  }
  return text;
}

// ---- TDirectSound

TDirectSound::TDirectSound(const TSoundDeviceId* deviceId)
{
  int32_t result = DS_OK;
  FIDS = TALDevice::Create(deviceId, result);
  SetDXResult(result);
  if (!FIDS) throw EDirectSoundError(FormatMessage("%s cannot be initialized", "DirectSound"));
}

TDirectSound::~TDirectSound()
{
  // The buffers' owners keep their objects; what the device gave them goes with the device.
  while (!FBuffers.empty()) {
    TDirectSoundBuffer* buffer = FBuffers.back();
    FBuffers.pop_back();
    buffer->Detach();
  }
  FIDS.reset();
}

TALDevice& TDirectSound::GetIDS()
{
  if (!FIDS) throw EDirectSoundError(FormatMessage("%s not made", "IDirectSound"));
  return *FIDS;
}

// ---- TDirectSoundBuffer

TDirectSoundBuffer::TDirectSoundBuffer(TDirectSound& directSound) : FDirectSound(&directSound)
{
  directSound.FBuffers.push_back(this);
}

TDirectSoundBuffer::~TDirectSoundBuffer()
{
  FIDSB.reset();
  if (FDirectSound) std::erase(FDirectSound->FBuffers, this);
}

void TDirectSoundBuffer::Detach()
{
  FIDSB.reset();
  FCaps = TDSBCaps{};
  FFormat.clear();
  FLockCount = 0;
  FDirectSound = nullptr;
}

bool TDirectSoundBuffer::CreateBuffer(const TDSBufferDesc& description)
{
  SetIDSB(nullptr);
  if (!FDirectSound) return false;
  std::unique_ptr<TALBuffer> buffer;
  SetDXResult(FDirectSound->GetIDS().CreateSoundBuffer(description, buffer));
  if (DXResult() != DS_OK) return false;
  SetIDSB(std::move(buffer));
  return true;
}

void TDirectSoundBuffer::SetIDSB(std::unique_ptr<TALBuffer> buffer)
{
  FIDSB = std::move(buffer);
  FCaps = TDSBCaps{};
  FFormat.clear();
  FLockCount = 0;
  if (!FIDSB) return;
  SetDXResult(FIDSB->GetCaps(FCaps));
  int size = 0;
  SetDXResult(FIDSB->GetFormat(nullptr, 0, &size));
  FFormat.resize(static_cast<size_t>(std::max(size, 0)));
  SetDXResult(FIDSB->GetFormat(FFormat.data(), size, nullptr));
}

TALBuffer& TDirectSoundBuffer::GetIDSB()
{
  if (!FIDSB) throw EDirectSoundBufferError(FormatMessage("%s not made", "IDirectSoundBuffer"));
  return *FIDSB;
}

void TDirectSoundBuffer::CreateSecondary(const void* format, int formatSize, int size)
{
  TDSBufferDesc description;
  description.dwFlags =
      dsbcaps::DSBCAPS_CTRLFREQUENCY | dsbcaps::DSBCAPS_CTRLPAN | dsbcaps::DSBCAPS_CTRLVOLUME;
  if (FDirectSound && FDirectSound->StickyFocus)
    description.dwFlags |= dsbcaps::DSBCAPS_STICKYFOCUS;
  else if (FDirectSound && FDirectSound->GlobalFocus)
    description.dwFlags |= dsbcaps::DSBCAPS_GLOBALFOCUS;
  description.dwBufferBytes = static_cast<uint32_t>(std::max(size, 0));
  description.lpwfxFormat = format;
  description.FormatSize = formatSize;
  if (!CreateBuffer(description))
    throw EDirectSoundBufferError(FormatMessage("%s cannot be made", "Sound Buffer"));
}

void TDirectSoundBuffer::LoadFromMemory(const void* format, int formatSize, const void* data,
                                        int size)
{
  CreateSecondary(format, formatSize, size);
  if (!data) return;
  void* region1 = nullptr;
  void* region2 = nullptr;
  uint32_t size1 = 0, size2 = 0;
  if (!Lock(0, static_cast<uint32_t>(size), region1, size1, region2, size2)) {
    SetIDSB(nullptr);
    throw EDirectSoundBufferError(FormatMessage("%s cannot be locked", "Sound Buffer"));
  }
  if (size1 > 0) std::memcpy(region1, data, size1);
  if (region2 && size2 > 0) std::memcpy(region2, static_cast<const uint8_t*>(data) + size1, size2);
  Unlock();
}

void TDirectSoundBuffer::LoadFromWave(const TWave& wave)
{
  LoadFromMemory(wave.Format(), wave.FormatSize(), wave.Data(), wave.Size());
}

void TDirectSoundBuffer::Release() { SetIDSB(nullptr); }

void TDirectSoundBuffer::Assign(const TWave& wave) { LoadFromWave(wave); }

void TDirectSoundBuffer::Assign(const TDirectSoundBuffer& source)
{
  if (!source.FIDSB || !FDirectSound) {
    SetIDSB(nullptr);
    return;
  }
  std::unique_ptr<TALBuffer> duplicate;
  SetDXResult(FDirectSound->GetIDS().DuplicateSoundBuffer(*source.FIDSB, duplicate));
  if (DXResult() == DS_OK) SetIDSB(std::move(duplicate));
}

bool TDirectSoundBuffer::Playing()
{
  uint32_t status = 0;
  SetDXResult(GetIDSB().GetStatus(status));
  return (status & (dsconst::DSBSTATUS_PLAYING | dsconst::DSBSTATUS_LOOPING)) != 0;
}

void TDirectSoundBuffer::Play(bool loop)
{
  SetDXResult(GetIDSB().Play(loop ? dsconst::DSBPLAY_LOOPING : 0));
}

void TDirectSoundBuffer::Stop() { SetDXResult(GetIDSB().Stop()); }

void TDirectSoundBuffer::SetPosition(uint32_t position)
{
  SetDXResult(GetIDSB().SetCurrentPosition(position));
}

void TDirectSoundBuffer::SetVolume(int32_t volume) { SetDXResult(GetIDSB().SetVolume(volume)); }

void TDirectSoundBuffer::SetPan(int32_t pan) { SetDXResult(GetIDSB().SetPan(pan)); }

void TDirectSoundBuffer::SetFrequency(uint32_t frequency)
{
  SetDXResult(GetIDSB().SetFrequency(frequency));
}

bool TDirectSoundBuffer::Lock(uint32_t offset, uint32_t bytes, void*& region1, uint32_t& size1,
                              void*& region2, uint32_t& size2)
{
  if (!FIDSB || FLockCount > 0) return false;
  SetDXResult(
      FIDSB->Lock(offset, bytes, &FLock.Region1, &FLock.Size1, &FLock.Region2, &FLock.Size2));
  if (DXResult() != DS_OK) return false;
  region1 = FLock.Region1;
  size1 = FLock.Size1;
  region2 = FLock.Region2;
  size2 = FLock.Size2;
  FLockCount = 1;
  return true;
}

void TDirectSoundBuffer::Unlock()
{
  if (!FIDSB || FLockCount == 0) return;
  FLockCount = 0;
  SetDXResult(FIDSB->Unlock(FLock.Region1, FLock.Size1, FLock.Region2, FLock.Size2));
}

void TDirectSoundBuffer::Check()
{
  // A lost buffer asks the device's owner to refill everything, once: a loss reported while
  // that restore runs does not start another.
  if (DXResult() != DSERR_BUFFERLOST || !FDirectSound || FDirectSound->Restoring) return;
  FDirectSound->Restoring = true;
  try {
    FDirectSound->DoRestore();
  } catch (...) {
    FDirectSound->Restoring = false;
    throw;
  }
  FDirectSound->Restoring = false;
}

}  // namespace quarn::sound
