#pragma once
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "sound/DXSound.h"
#include "sound/HashCollection.h"
#include "sound/Wave.h"

namespace quarn::sound {

class EWaveCollectionError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TWaveCollection;

// A named sound with its playback settings. While the device is up it has a master buffer filled
// from its wave and a pool of duplicates of it, so that the sound can overlap itself.
class TWaveCollectionItem : public THashCollectionItem {
public:
  ~TWaveCollectionItem() override;

  // Starts the sound; with `wait`, returns when it has ended. Does nothing while the device is
  // down or the wave is empty.
  void Play(bool wait);
  void Initialize();
  void Finalize();
  void Restore();
  TDirectSoundBuffer* GetBuffer();
  void StopAll();
  void Assign(const TWaveCollectionItem& source);

  bool Looped() const { return FLooped; }
  void SetLooped(bool value);
  int MaxPlayingCount() const { return FMaxPlayingCount; }
  void SetMaxPlayingCount(int value);  // most voices; 0: no limit
  const TWave& Wave() const { return FWave; }
  TWave& Wave() { return FWave; }
  void SetWave(const TWave& value);

  int Frequency() const { return FFrequency; }
  int Pan() const { return FPan; }
  int Volume() const { return FVolume; }
  bool Initialized() const { return FInitialized; }
  TDirectSoundBuffer* Buffer() const { return FBuffer.get(); }
  int VoiceCount() const { return static_cast<int>(FBufferList.size()); }
  TDirectSoundBuffer* Voice(int index) const
  {
    return FBufferList.at(static_cast<size_t>(index)).get();
  }

  TWaveCollection& WaveCollection() const;

private:
  friend class THashCollection;
  explicit TWaveCollectionItem(THashCollection& collection) : THashCollectionItem(collection) {}
  std::unique_ptr<TDirectSoundBuffer> Duplicate(TDirectSoundBuffer& master);

  std::unique_ptr<TDirectSoundBuffer> FBuffer;                   // master: never played unlooped
  std::vector<std::unique_ptr<TDirectSoundBuffer>> FBufferList;  // voices, oldest first
  int FFrequency = 0;
  bool FInitialized = false;
  bool FLooped = false;
  int FMaxPlayingCount = 0;
  int FPan = 0;
  int FVolume = 0;
  TWave FWave;
};

class TCustomDXWaveList;

// Named waves, looked up by name regardless of letter case, following one sound device.
class TWaveCollection : public THashCollection {
public:
  explicit TWaveCollection(TCustomDXWaveList* owner = nullptr) : FOwner(owner) {}
  ~TWaveCollection() override;

  TWaveCollectionItem& Add();
  TWaveCollectionItem& Items(int index) const
  {
    return static_cast<TWaveCollectionItem&>(Item(index));
  }
  // The item with that name; EWaveCollectionError "Wave '<name>' not found".
  TWaveCollectionItem& Find(const std::string& name) const;
  // Replaces the content by copies of `source`'s items.
  void Assign(const TWaveCollection& source);

  bool Initialized() const;
  void Initialize(TCustomDXSound* sound);
  void Finalize();
  void Restore();

  // Reads a sound set file. The file is opened before anything changes, so a missing file keeps
  // the current set; after that the set is replaced, and a read error keeps the items read.
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(TStream& stream);

  TCustomDXSound* DXSound() const { return FDXSound; }
  TCustomDXWaveList* Owner() const { return FOwner; }

private:
  TCustomDXSound* FDXSound = nullptr;
  TCustomDXWaveList* FOwner;
};

// The component that holds a wave collection for a sound device component: the collection gets
// its buffers when the device comes up, drops them when it goes, and refills them when asked.
class TCustomDXWaveList {
public:
  TCustomDXWaveList() : FItems(this) {}
  virtual ~TCustomDXWaveList();
  TCustomDXWaveList(const TCustomDXWaveList&) = delete;
  TCustomDXWaveList& operator=(const TCustomDXWaveList&) = delete;

  TCustomDXSound* DXSound() const { return FDXSound; }
  void SetDXSound(TCustomDXSound* value);
  TWaveCollection& Items() { return FItems; }
  const TWaveCollection& Items() const { return FItems; }
  void SetItems(const TWaveCollection& value) { FItems.Assign(value); }

private:
  static void DXSoundNotifyEvent(void* list, TCustomDXSound& sender, TDXSoundNotifyType type);

  TCustomDXSound* FDXSound = nullptr;
  TWaveCollection FItems;
};

class TDXWaveList : public TCustomDXWaveList {
public:
  using TCustomDXWaveList::TCustomDXWaveList;
};

}  // namespace quarn::sound
