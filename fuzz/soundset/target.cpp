// Sound set reading: any input either loads or fails with a read or wave error, never anything
// else; every item read can be found by its name, and a loaded set writes and reads back.
#include <cstdint>
#include <cstdlib>

#include "sound/SoundSetFile.h"
#include "sound/WaveCollection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace quarn::sound;
  TMemoryStream stream(data, size);
  TWaveCollection waves;
  bool complete = true;
  try {
    waves.LoadFromStream(stream);
  } catch (const EReadError&) {
    complete = false;
  } catch (const EWaveStreamError&) {
    complete = false;
  }
  for (int i = 0; i < waves.Count(); ++i) {
    const int found = waves.IndexOf(waves.Items(i).Name());
    if (found < i) std::abort();  // the item itself, or a later one of the same name
    if (waves.Items(i).Wave().Capacity() > static_cast<int64_t>(size) + TWave::BlockSize)
      std::abort();
  }
  if (!complete) return 0;

  TMemoryStream written;
  WriteSoundSet(written, waves);
  written.SetPosition(0);
  TWaveCollection again;
  again.LoadFromStream(written);
  if (again.Count() != waves.Count()) std::abort();
  return 0;
}
