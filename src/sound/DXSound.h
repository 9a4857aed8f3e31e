#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "sound/DirectSound.h"

namespace quarn::sound {

enum TDXSoundOption { soGlobalFocus = 0, soStickyFocus = 1, soExclusive = 2 };

// A set of TDXSoundOption.
class TDXSoundOptions {
public:
  constexpr TDXSoundOptions() = default;
  constexpr TDXSoundOptions(std::initializer_list<TDXSoundOption> options)
  {
    for (TDXSoundOption o : options) FBits |= Bit(o);
  }
  constexpr bool Has(TDXSoundOption o) const { return (FBits & Bit(o)) != 0; }
  constexpr TDXSoundOptions With(TDXSoundOption o, bool on) const
  {
    TDXSoundOptions r = *this;
    r.FBits = on ? (FBits | Bit(o)) : (FBits & ~Bit(o));
    return r;
  }
  constexpr bool operator==(const TDXSoundOptions&) const = default;

private:
  static constexpr unsigned Bit(TDXSoundOption o) { return 1u << o; }
  unsigned FBits = 0;
};

// What subscribers are told, in these codes.
enum TDXSoundNotifyType {
  dsntDestroying = 0,    // the component is being destroyed: drop the reference
  dsntInitializing = 1,  // the device is about to be set up
  dsntInitialize = 2,    // the device is up
  dsntFinalize = 3,      // the device is going down: free its buffers
  dsntRestore = 4,       // buffers must be refilled
};

class TCustomDXSound;
using TDXSoundNotifyEvent = void (*)(void* list, TCustomDXSound& sender, TDXSoundNotifyType type);

class TDXSoundDirectSound : public TDirectSound {
public:
  TDXSoundDirectSound(TCustomDXSound& owner, const TSoundDeviceId* deviceId)
      : TDirectSound(deviceId), FOwner(owner)
  {
  }
  void DoRestore() override;

private:
  TCustomDXSound& FOwner;
};

// The sound device component of a window. It sets the device up (Initialize, or Loaded when
// AutoInitialize is on), ties it to the window, and tells its subscribers (wave lists) when the
// device comes, goes, or loses its buffers. Without a sound device it stays not Initialized and
// everything built on it plays nothing.
class TCustomDXSound {
public:
  // `form` is the window the device is tied to (opaque here; null: no window).
  explicit TCustomDXSound(const void* form);
  virtual ~TCustomDXSound();
  TCustomDXSound(const TCustomDXSound&) = delete;
  TCustomDXSound& operator=(const TCustomDXSound&) = delete;

  // After the owner has set the properties: Initialize if AutoInitialize, treating "no sound
  // device" (EDirectSoundError) as a machine without sound.
  void Loaded();
  void Initialize();
  void Finalize();
  void Restore();

  void Subscribe(TDXSoundNotifyEvent callback, void* list);
  void Unsubscribe(TDXSoundNotifyEvent callback, void* list);

  bool AutoInitialize = true;
  const TDXSoundOptions& Options() const { return FOptions; }
  void SetOptions(TDXSoundOptions value);
  const TDXSoundOptions& EffectiveOptions() const { return FEffectiveOptions; }

  // Which output to open; none: the default device.
  void SetDeviceId(std::optional<TSoundDeviceId> id) { FDeviceId = std::move(id); }

  std::function<void(TCustomDXSound&)> OnFinalize;
  std::function<void(TCustomDXSound&)> OnInitialize;
  std::function<void(TCustomDXSound&)> OnInitializing;
  std::function<void(TCustomDXSound&)> OnRestore;

  bool Initialized() const { return FInitialized; }
  TDXSoundDirectSound* DSound() const { return FDSound.get(); }
  TDirectSoundBuffer* Primary() const { return FPrimary.get(); }
  const void* Form() const { return FForm; }

private:
  void NotifyEventList(TDXSoundNotifyType type);
  void AttachToWindow();

  TDXSoundOptions FOptions;
  TDXSoundOptions FEffectiveOptions;
  bool FInitialized = false;
  bool FStarted = false;
  bool FInitFired = false;
  std::unique_ptr<TDXSoundDirectSound> FDSound;
  std::unique_ptr<TDirectSoundBuffer> FPrimary;
  const void* FForm;
  struct TSubscriber {
    TDXSoundNotifyEvent Callback;
    void* List;
    bool operator==(const TSubscriber&) const = default;
  };
  std::vector<TSubscriber> FSubscribers;
  std::optional<TSoundDeviceId> FDeviceId;
};

class TDXSound : public TCustomDXSound {
public:
  using TCustomDXSound::TCustomDXSound;
};

}  // namespace quarn::sound
