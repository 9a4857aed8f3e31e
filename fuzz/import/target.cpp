// Imports any bytes as a glTF file (.glb when they start as one, else .gltf), as --import does,
// sampled at 10 frames a second, and writes the model's bytes to memory only.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "bots/MD2Writer.h"
#include "convert/GltfImporter.h"

namespace {

// One in-memory file reused for every input, named through /proc so the real loader opens it.
int MemoryFile()
{
  static const int fd = memfd_create("import-input", MFD_CLOEXEC);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace quarn;
  const int fd = MemoryFile();
  if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
  if (size && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  convert::TImportOptions options;
  options.In = "/proc/self/fd/" + std::to_string(fd);
  // The last byte asks for samples, so a file the exporter wrote is also read the other way.
  options.FpsGiven = size > 0 && data[size - 1] % 2 == 1;
  convert::TImportedModel model;
  std::string error;
  if (convert::ImportGltf(options, model, error)) bots::WriteMD2(model.Content);
  return 0;
}
