#include "sound/DXSound.h"

#include <algorithm>
#include <exception>

namespace quarn::sound {

void TDXSoundDirectSound::DoRestore() { FOwner.Restore(); }

TCustomDXSound::TCustomDXSound(const void* form) : FForm(form) {}

TCustomDXSound::~TCustomDXSound()
{
  try {
    Finalize();
  } catch (...) {
    // OnFinalize raised while the component is going away: nobody is left to tell.
  }
  NotifyEventList(dsntDestroying);
  FSubscribers.clear();
}

void TCustomDXSound::Loaded()
{
  if (!AutoInitialize) return;
  try {
    Initialize();
  } catch (const EDirectSoundError&) {
    // No sound device: run silently.
  }
}

void TCustomDXSound::Initialize()
{
  Finalize();
  if (!FForm) throw EDXSoundError("Form not found");

  NotifyEventList(dsntInitializing);
  if (OnInitializing) OnInitializing(*this);

  FStarted = true;
  try {
    const TSoundDeviceId* id = FDeviceId ? &*FDeviceId : nullptr;
    FDSound = std::make_unique<TDXSoundDirectSound>(*this, id);
    FDSound->GlobalFocus = FEffectiveOptions.Has(soGlobalFocus);

    FPrimary = std::make_unique<TDirectSoundBuffer>(*FDSound);
    TDSBufferDesc description;
    description.dwFlags = dsbcaps::DSBCAPS_PRIMARYBUFFER;
    if (!FPrimary->CreateBuffer(description))
      throw EDXSoundError(FormatMessage("%s cannot be made", "Primary Buffer"));

    FInitialized = true;
    AttachToWindow();
  } catch (...) {
    Finalize();
    throw;
  }

  NotifyEventList(dsntInitialize);
  FInitFired = true;
  if (OnInitialize) OnInitialize(*this);
  Restore();
}

void TCustomDXSound::AttachToWindow()
{
  // The cooperative level is fixed by the options in force when the device came up.
  if (FInitialized)
    FDSound->SetDXResult(FDSound->GetIDS().SetCooperativeLevel(
        FForm,
        FEffectiveOptions.Has(soExclusive) ? dsconst::DSSCL_EXCLUSIVE : dsconst::DSSCL_NORMAL));
}

void TCustomDXSound::Finalize()
{
  if (!FStarted) return;
  // Subscribers hear of the finalisation even when OnFinalize raised, and the device is taken
  // down in every case; the first error is passed on afterwards.
  std::exception_ptr error;
  if (FInitFired) {
    FInitFired = false;
    try {
      if (OnFinalize) OnFinalize(*this);
    } catch (...) {
      error = std::current_exception();
    }
    try {
      NotifyEventList(dsntFinalize);
    } catch (...) {
      if (!error) error = std::current_exception();
    }
  }
  FInitialized = false;
  FStarted = false;
  SetOptions(FOptions);
  FPrimary.reset();
  FDSound.reset();
  if (error) std::rethrow_exception(error);
}

void TCustomDXSound::Restore()
{
  if (!FInitialized) return;
  NotifyEventList(dsntRestore);
  if (OnRestore) OnRestore(*this);
}

void TCustomDXSound::Subscribe(TDXSoundNotifyEvent callback, void* list)
{
  Unsubscribe(callback, list);
  FSubscribers.push_back({callback, list});
  if (FInitialized) {
    callback(list, *this, dsntInitialize);
    callback(list, *this, dsntRestore);
  }
}

void TCustomDXSound::Unsubscribe(TDXSoundNotifyEvent callback, void* list)
{
  const TSubscriber subscriber{callback, list};
  const auto found = std::find(FSubscribers.begin(), FSubscribers.end(), subscriber);
  if (found == FSubscribers.end()) return;
  FSubscribers.erase(found);
  if (FInitialized) callback(list, *this, dsntFinalize);
}

void TCustomDXSound::NotifyEventList(TDXSoundNotifyType type)
{
  // Last subscriber first. A subscriber may unsubscribe itself or others while being told:
  // walk a copy and skip whoever has left meanwhile.
  const std::vector<TSubscriber> subscribers = FSubscribers;
  for (auto it = subscribers.rbegin(); it != subscribers.rend(); ++it) {
    if (std::find(FSubscribers.begin(), FSubscribers.end(), *it) == FSubscribers.end()) continue;
    it->Callback(it->List, *this, type);
  }
}

void TCustomDXSound::SetOptions(TDXSoundOptions value)
{
  FOptions = value;
  if (FInitialized) {
    // Exclusive mode cannot change while the device is up.
    FEffectiveOptions = value.With(soExclusive, FEffectiveOptions.Has(soExclusive));
    FDSound->GlobalFocus = FEffectiveOptions.Has(soGlobalFocus);
    FDSound->StickyFocus = FEffectiveOptions.Has(soStickyFocus);
  } else {
    FEffectiveOptions = value;
  }
}

}  // namespace quarn::sound
