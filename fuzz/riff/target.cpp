// RIFF WAVE reading: any input either loads or fails with a stream or wave error; a loaded wave
// saves and loads back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sound/Wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace quarn::sound;
  TMemoryStream stream(data, size);
  TWave wave;
  try {
    wave.LoadFromStream(stream);
  } catch (const EReadError&) {
    return 0;
  } catch (const EWaveStreamError&) {
    return 0;
  }
  // Nothing is reserved beyond the input's own size (rounded up to a block).
  if (wave.Capacity() > static_cast<int64_t>(size) + TWave::BlockSize) std::abort();

  TMemoryStream saved;
  wave.SaveToStream(saved);
  if (wave.Size() == 0 || wave.FormatSize() == 0) {
    if (!saved.Bytes().empty()) std::abort();
    return 0;
  }
  saved.SetPosition(0);
  TWave again;
  again.LoadFromStream(saved);
  if (again.Size() != wave.Size() || again.FormatSize() != wave.FormatSize() ||
      std::memcmp(again.Data(), wave.Data(), static_cast<size_t>(wave.Size())) != 0 ||
      std::memcmp(again.Format(), wave.Format(), static_cast<size_t>(wave.FormatSize())) != 0)
    std::abort();
  return 0;
}
