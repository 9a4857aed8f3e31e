#pragma once
// The robot's skins: painted from the mesh's cells, written as TGA, BMP, WAL with its palette,
// PCX and JPEG. Row 0 of a canvas is the image's top row: texture row t = 0, where the models'
// texture coordinates start counting.
#include <cstdint>
#include <string>
#include <vector>

#include "Rig.h"

namespace quarn::tools::make_bot {

struct TCanvas {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Rgb;  // Width * Height * 3, top row (row 0) first

  TCanvas(int width, int height) : Width(width), Height(height), Rgb(size_t(width) * height * 3, 0)
  {
  }
  uint8_t* At(int x, int y) { return &Rgb[(size_t(y) * Width + x) * 3]; }
};

// Paints every cell of the mesh, and the spare skin around them, in the look of its part.
TCanvas PaintSkin(const TMesh& mesh, int width, int height);

bool WriteTGA(const std::string& fileName, const TCanvas& canvas);
bool WriteBMP(const std::string& fileName, const TCanvas& canvas);
// The WAL file holds palette indices (four mip levels); its palette is a file of 256 RGB triples.
bool WriteWAL(const std::string& fileName, const std::string& paletteFileName,
              const TCanvas& canvas);
// 8-bit indexed PCX with the same palette and indices as the WAL file.
bool WritePCX(const std::string& fileName, const TCanvas& canvas);
bool WriteJPEG(const std::string& fileName, const TCanvas& canvas, int quality);

}  // namespace quarn::tools::make_bot
