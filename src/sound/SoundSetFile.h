#pragma once
#include <cstdint>
#include <string>

#include "formats/SoundSet.h"
#include "sound/Stream.h"

// Reading and writing the sound set stream laid out in formats/SoundSet.h.
namespace quarn::sound {

class TWaveCollection;

class ESoundSetError : public EReadError {
public:
  using EReadError::EReadError;
};

// The most a sound set may hold. Every wave keeps buffers of its own on the device and the
// whole set stays in memory, several times over once on the device: a set beyond these is
// refused (past the size, before anything is read; past the count, keeping the waves read).
inline constexpr int MaxSoundSetWaves = 4096;
inline constexpr int64_t MaxSoundSetBytes = int64_t{8} << 20;

// Appends the items of the stream to `collection` as they are read; on an error the items read
// so far stay.
void ReadSoundSet(TStream& stream, TWaveCollection& collection);
// Writes every item of `collection` (name, Looped, MaxPlayingCount, wave).
void WriteSoundSet(TStream& stream, const TWaveCollection& collection);

}  // namespace quarn::sound
