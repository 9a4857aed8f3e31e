// Loads any bytes as an MD2 model and exports what loads as glTF, as --export does: its last
// byte chooses float, 8-bit or 16-bit targets. The file goes to /dev/null.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "bots/MD2.h"
#include "convert/GltfExporter.h"

namespace {

// One in-memory file reused for every input, named through /proc so the real loader opens it.
int MemoryFile()
{
  static const int fd = memfd_create("export-input", MFD_CLOEXEC);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace quarn;
  const int fd = MemoryFile();
  if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
  if (size && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  bots::TMD2 model;
  if (!model.LoadFromFile("/proc/self/fd/" + std::to_string(fd))) return 0;
  if (model.GetFrameCount() == 0 || model.GetVertexCount() == 0 ||
      model.GetTriangleCount() == 0 || model.GetFrameCount() > 4096)
    return 0;
  convert::TExportOptions options;
  options.Out = "/dev/null";
  const convert::TQuantize kinds[] = {convert::TQuantize::None, convert::TQuantize::Bits8,
                                      convert::TQuantize::Bits16};
  options.Quantize = kinds[data[size - 1] % 3];
  convert::TGltfExporter exporter(options);
  std::string error;
  if (!exporter.AddModel(model, "model", {}, error)) return 0;
  exporter.AddAnimations(convert::ModelFrameGroups(model));
  convert::TExportSizes sizes;
  exporter.Write(options.Out, sizes, error);
  return 0;
}
