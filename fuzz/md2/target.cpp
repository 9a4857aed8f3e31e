// Loads any bytes as an MD2 model, then decodes every triangle corner of every frame of every
// built-in animation range, blended from the frame before, as drawing does.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "bots/MD2.h"

namespace {

// One in-memory file reused for every input, named through /proc so the real loader opens it.
int MemoryFile()
{
  static const int fd = memfd_create("md2-input", MFD_CLOEXEC);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using quarn::bots::TMD2;
  const int fd = MemoryFile();
  if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
  if (size && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  TMD2 model;
  if (!model.LoadFromFile("/proc/self/fd/" + std::to_string(fd))) return 0;
  volatile float sink = 0;
  for (size_t n = 0; n < quarn::bots::AnimationTable.size(); ++n) {
    model.SetAnimation(static_cast<int32_t>(n));
    const int32_t step = model.FrameStep;
    for (int32_t frame = model.StartFrame;; frame += step) {
      model.PreviousFrame = frame - step;
      model.CurrentFrame = frame;
      model.Fraction = 0.5f;
      for (int32_t i = 0; i < model.GetTriangleCount(); ++i)
        for (int k = 0; k < 3; ++k) {
          const TMD2::TCorner c = model.GetCorner(i, k);
          sink = sink + c.Position.x + c.Position.y + c.Position.z + c.S + c.T;
        }
      if (frame == model.EndFrame) break;
    }
  }
  return 0;
}
