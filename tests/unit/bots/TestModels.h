#pragma once
// Small models written to a private temporary folder for the tests of this folder.
#include <string>
#include <vector>

#include "bots/MD2Writer.h"
#include "support/ScratchFolder.h"

namespace quarn::bots::test {

// A folder removed with everything in it when the object goes away.
class TTempDir : public quarn::test::TScratchFolder {
public:
  TTempDir() : TScratchFolder("quarn-bots-") {}
  std::string File(const std::string& name) const { return Path + name; }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
  {
    SaveBytes(File(name), bytes);
    return File(name);
  }
};

// One triangle over three vertices at (f, 0, 0), (f, 1, 0), (f, 0, 1) in frame f (scale 1,
// translate 0), so the frame a position was decoded from is its x.
inline TMD2Content TriangleModel(int frames)
{
  TMD2Content c;
  c.SkinWidth = 64;
  c.SkinHeight = 32;
  c.TexCoords = {{0, 0}, {64, 0}, {32, 16}};
  c.Triangles = {{{0, 1, 2}, {0, 1, 2}}};
  for (int f = 0; f < frames; ++f) {
    TMD2RawFrame frame;
    const auto b = static_cast<uint8_t>(f);
    frame.Vertices = {{b, 0, 0}, {b, 1, 0}, {b, 0, 1}};
    frame.Name = "frame" + std::to_string(f);
    c.Frames.push_back(frame);
  }
  return c;
}

}  // namespace quarn::bots::test
