#pragma once
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

// Appends the items of the stream to `collection` as they are read; on an error the items read
// so far stay.
void ReadSoundSet(TStream& stream, TWaveCollection& collection);
// Writes every item of `collection` (name, Looped, MaxPlayingCount, wave).
void WriteSoundSet(TStream& stream, const TWaveCollection& collection);

}  // namespace quarn::sound
