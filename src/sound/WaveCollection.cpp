#include "sound/WaveCollection.h"

#include <chrono>
#include <exception>
#include <thread>
#include <vector>

#include "sound/SoundSetFile.h"

namespace quarn::sound {

// ---- TWaveCollectionItem

TWaveCollectionItem::~TWaveCollectionItem() { Finalize(); }

TWaveCollection& TWaveCollectionItem::WaveCollection() const
{
  return static_cast<TWaveCollection&>(Collection());
}

void TWaveCollectionItem::Initialize()
{
  Finalize();
  FInitialized = WaveCollection().Initialized();
}

void TWaveCollectionItem::Finalize()
{
  if (!FInitialized) return;
  FInitialized = false;
  FBufferList.clear();
  FBuffer.reset();
}

void TWaveCollectionItem::Restore()
{
  if (FWave.Size() == 0) return;
  if (!FInitialized) {
    if (WaveCollection().Initialized()) Initialize();
    if (!FInitialized) return;
  }
  if (!FBuffer)
    FBuffer = std::make_unique<TDirectSoundBuffer>(*WaveCollection().DXSound()->DSound());
  try {
    FBuffer->LoadFromWave(FWave);
  } catch (...) {
    FBuffer.reset();  // a wave the device cannot take leaves the item without a buffer
    throw;
  }
  FBuffer->SetFrequency(static_cast<uint32_t>(FFrequency));
  FBuffer->SetPan(FPan);
  FBuffer->SetVolume(FVolume);
}

TDirectSoundBuffer* TWaveCollectionItem::GetBuffer()
{
  if (FInitialized && !FBuffer) Restore();
  return FBuffer.get();
}

void TWaveCollectionItem::StopAll()
{
  if (!FInitialized) return;
  if (FBuffer && FBuffer->HasIDSB()) FBuffer->Stop();
  for (auto& voice : FBufferList) voice->Stop();
}

void TWaveCollectionItem::SetLooped(bool value)
{
  if (value == FLooped) return;
  StopAll();
  FLooped = value;
}

void TWaveCollectionItem::SetMaxPlayingCount(int value)
{
  if (value < 0) value = 0;
  if (value == FMaxPlayingCount) return;
  FMaxPlayingCount = value;
  if (FInitialized) FBufferList.clear();
}

void TWaveCollectionItem::SetWave(const TWave& value)
{
  // Buffers made from the old samples would go on playing them: rebuild them.
  const bool wasInitialized = FInitialized;
  Finalize();
  FWave.Assign(&value);
  if (wasInitialized) Restore();
}

void TWaveCollectionItem::Assign(const TWaveCollectionItem& source)
{
  if (&source == this) return;
  const bool wasInitialized = FInitialized;
  Finalize();
  FLooped = source.FLooped;
  SetName(source.Name());
  FMaxPlayingCount = source.FMaxPlayingCount;
  FFrequency = source.FFrequency;
  FPan = source.FPan;
  FVolume = source.FVolume;
  FWave.Assign(&source.FWave);
  if (wasInitialized) Restore();
}

std::unique_ptr<TDirectSoundBuffer> TWaveCollectionItem::Duplicate(TDirectSoundBuffer& master)
{
  auto voice = std::make_unique<TDirectSoundBuffer>(*master.DirectSound());
  voice->Assign(master);
  if (!voice->HasIDSB()) return nullptr;  // the device has no voice left
  return voice;
}

void TWaveCollectionItem::Play(bool wait)
{
  if (!FInitialized) return;

  if (FLooped) {
    TDirectSoundBuffer* buffer = GetBuffer();
    if (!buffer) return;
    buffer->Stop();
    buffer->SetPosition(0);
    buffer->Play(true);
    return;
  }

  TDirectSoundBuffer* voice = nullptr;
  for (auto& candidate : FBufferList) {
    if (!candidate->Playing()) {
      voice = candidate.get();
      break;
    }
  }
  if (!voice) {
    std::unique_ptr<TDirectSoundBuffer> added;
    if (FMaxPlayingCount == 0 || VoiceCount() < FMaxPlayingCount) {
      TDirectSoundBuffer* master = GetBuffer();
      if (!master) return;
      added = Duplicate(*master);
    }
    if (added) {
      voice = added.get();
      FBufferList.push_back(std::move(added));
    } else if (!FBufferList.empty()) {
      // Pool full (or no voice to be had from the device): restart the oldest.
      std::unique_ptr<TDirectSoundBuffer> oldest = std::move(FBufferList.front());
      FBufferList.erase(FBufferList.begin());
      voice = oldest.get();
      FBufferList.push_back(std::move(oldest));
    } else {
      return;
    }
  }

  voice->Stop();
  voice->SetPosition(0);
  voice->SetFrequency(static_cast<uint32_t>(FFrequency));
  voice->SetPan(FPan);
  voice->SetVolume(FVolume);
  voice->Play(false);

  if (wait) {
    while (voice->Playing()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// ---- TWaveCollection

TWaveCollection::~TWaveCollection() { Clear(); }

TWaveCollectionItem& TWaveCollection::Add()
{
  TWaveCollectionItem& item = AddItem<TWaveCollectionItem>(*this);
  // A new item in a live collection joins it: its buffers are made when it first plays.
  if (Initialized()) item.Initialize();
  return item;
}

TWaveCollectionItem& TWaveCollection::Find(const std::string& name) const
{
  const int index = IndexOf(name);
  if (index < 0) throw EWaveCollectionError("Wave '" + name + "' not found");
  return Items(index);
}

void TWaveCollection::Assign(const TWaveCollection& source)
{
  if (&source == this) return;
  Clear();
  for (int i = 0; i < source.Count(); ++i) Add().Assign(source.Items(i));
}

bool TWaveCollection::Initialized() const { return FDXSound && FDXSound->Initialized(); }

void TWaveCollection::Initialize(TCustomDXSound* sound)
{
  Finalize();
  FDXSound = sound;
  for (int i = 0; i < Count(); ++i) Items(i).Initialize();
}

void TWaveCollection::Finalize()
{
  for (int i = 0; i < Count(); ++i) Items(i).Finalize();
  FDXSound = nullptr;
}

void TWaveCollection::Restore()
{
  // One wave the device cannot take does not keep the others from their buffers; the first such
  // error is reported once all have been tried.
  std::exception_ptr error;
  for (int i = 0; i < Count(); ++i) {
    try {
      Items(i).Restore();
    } catch (...) {
      if (!error) error = std::current_exception();
    }
  }
  if (error) std::rethrow_exception(error);
}

void TWaveCollection::LoadFromFile(const std::string& fileName)
{
  TFileStream stream(fileName, TFileStream::fmOpenRead);
  // The reader takes a set a few bytes at a time: it reads from memory, not from the file. A
  // file too large for a set goes to it as it is, to be refused before anything is read.
  const int64_t size = stream.Size();
  if (size > MaxSoundSetBytes) {
    LoadFromStream(stream);
    return;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  stream.ReadBuffer(bytes.data(), size);
  TMemoryStream memory(std::move(bytes));
  LoadFromStream(memory);
}

void TWaveCollection::LoadFromStream(TStream& stream)
{
  Clear();
  ReadSoundSet(stream, *this);
  if (Initialized()) {
    Initialize(FDXSound);
    Restore();
  }
}

// ---- TCustomDXWaveList

TCustomDXWaveList::~TCustomDXWaveList()
{
  try {
    SetDXSound(nullptr);
  } catch (...) {
    // Finalising the items cannot fail in a way anyone could still act on.
  }
}

void TCustomDXWaveList::SetDXSound(TCustomDXSound* value)
{
  if (FDXSound) FDXSound->Unsubscribe(DXSoundNotifyEvent, this);
  FDXSound = value;
  if (FDXSound) FDXSound->Subscribe(DXSoundNotifyEvent, this);
}

void TCustomDXWaveList::DXSoundNotifyEvent(void* list, TCustomDXSound& sender,
                                           TDXSoundNotifyType type)
{
  auto& self = *static_cast<TCustomDXWaveList*>(list);
  switch (type) {
    case dsntDestroying: self.SetDXSound(nullptr); break;
    case dsntInitializing: break;
    case dsntInitialize: self.FItems.Initialize(&sender); break;
    case dsntFinalize: self.FItems.Finalize(); break;
    case dsntRestore: self.FItems.Restore(); break;
  }
}

}  // namespace quarn::sound
