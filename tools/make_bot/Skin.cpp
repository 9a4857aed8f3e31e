#include "Skin.h"

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>

#include "bots/MD2Writer.h"
#include "formats/Bmp.h"
#include "formats/ByteWriter.h"
#include "formats/Pcx.h"
#include "formats/Tga.h"
#include "formats/Wal.h"

namespace quarn::tools::make_bot {

namespace {

struct TColor {
  float r, g, b;
};

constexpr TColor Steel{150, 162, 178}, DarkSteel{74, 80, 92}, OrangeColor{232, 128, 24},
    Black{22, 26, 34}, Cyan{90, 235, 255}, Rubber{46, 46, 52}, Red{240, 40, 30},
    GunMetal{92, 98, 110}, Green{90, 255, 110};

TColor Mix(TColor a, TColor b, float t)
{
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

TColor Times(TColor c, float k) { return {c.r * k, c.g * k, c.b * k}; }

// Deterministic grain so flat metal does not look like plastic.
float Grain(int x, int y)
{
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float((h >> 16) & 0xff) / 255.0f;
}

// Position inside the face: u, v in 0..1 (v = 0 at the face's bottom edge), and its size in
// pixels, for effects that must not stretch with the cell's shape.
struct TPixel {
  float u, v;
  float w, h;
  float Px() const { return u * w; }
  float Py() const { return v * h; }
};

bool InDisc(const TPixel& p, float cu, float cv, float radiusPx)
{
  const float dx = (p.u - cu) * p.w, dy = (p.v - cv) * p.h;
  return dx * dx + dy * dy <= radiusPx * radiusPx;
}

float DiscFade(const TPixel& p, float cu, float cv, float radiusPx)
{
  const float dx = (p.u - cu) * p.w, dy = (p.v - cv) * p.h;
  return std::clamp(1 - std::sqrt(dx * dx + dy * dy) / radiusPx, 0.0f, 1.0f);
}

float EdgeDistance(const TPixel& p)
{
  return std::min({p.Px(), p.w - p.Px(), p.Py(), p.h - p.Py()});
}

// Light baked in by face direction: no normals are drawn, so shape comes from the skin.
float FaceLight(int side, float u)
{
  switch (side) {
    case 0: return 1.0f;                                                  // front
    case 1: return 0.72f;                                                 // back
    case 2: return 0.9f;                                                  // left
    case 3: return 0.8f;                                                  // right
    case 4: return 1.15f;                                                 // top
    case 5: return 0.55f;                                                 // bottom
    default: return 0.7f + 0.35f * std::cos((u - 0.35f) * 2 * 3.14159f);  // round surface
  }
}

TColor Panel(TColor base, const TPixel& p)
{
  // Panel seams across the middle and rivets near the corners.
  if (std::fabs(p.Py() - p.h * 0.5f) < 0.6f && p.h > 12) return Times(base, 0.6f);
  for (float cu : {0.15f, 0.85f})
    for (float cv : {0.15f, 0.85f})
      if (p.w > 14 && p.h > 14 && InDisc(p, cu, cv, 1.1f)) return Times(base, 1.3f);
  return base;
}

TColor HeadColor(int side, const TPixel& p)
{
  if (side == 0) {
    if (p.v > 0.42f && p.v < 0.74f && p.u > 0.07f && p.u < 0.93f) {
      TColor c = Black;
      for (float cu : {0.3f, 0.7f}) {
        const float glow = DiscFade(p, cu, 0.58f, 4.5f);
        if (glow > 0) c = Mix(c, Cyan, std::min(1.0f, glow * 2.2f));
        if (InDisc(p, cu, 0.58f, 1.2f)) c = {230, 255, 255};
      }
      return c;
    }
    if (p.v > 0.1f && p.v < 0.3f && p.u > 0.25f && p.u < 0.75f)
      return int(p.Py()) % 2 ? Black : DarkSteel;  // mouth grille
    return Panel(Steel, p);
  }
  if ((side == 2 || side == 3) && InDisc(p, 0.45f, 0.55f, 4.5f))
    return InDisc(p, 0.45f, 0.55f, 2) ? DarkSteel : OrangeColor;                      // ear bolts
  if (side == 4 && p.u > 0.35f && p.u < 0.65f) return Mix(Steel, OrangeColor, 0.8f);  // crest
  return Panel(Steel, p);
}

TColor ChestColor(int side, const TPixel& p)
{
  if (side == 0) {
    if (EdgeDistance(p) < 3.5f) return OrangeColor;
    const float glow = DiscFade(p, 0.5f, 0.62f, 8);
    if (glow > 0)
      return Mix(Mix(Cyan, {255, 255, 255}, glow * glow), Black, glow < 0.25f ? 0.6f : 0);
    if (p.v > 0.16f && p.v < 0.34f && p.u > 0.2f && p.u < 0.8f)
      return int(p.Px()) % 3 == 0 ? Black : DarkSteel;  // vents
    return Panel(Steel, p);
  }
  if (side == 4 || side == 5) return Panel(Steel, p);
  if (p.v > 0.3f && p.v < 0.42f) return OrangeColor;  // stripe around the chest
  return Panel(Steel, p);
}

TColor LookColor(TLook look, int side, const TPixel& p)
{
  switch (look) {
    case TLook::Steel:
      if (side == 6 && std::fabs(p.v - 0.8f) * p.h < 1.2f) return DarkSteel;
      return Panel(Steel, p);
    case TLook::DarkSteel: return Panel(DarkSteel, p);
    case TLook::Orange:
      if (side < 4 && std::fabs(p.v - 0.5f) * p.h < 1.5f) return Black;  // hazard line
      return OrangeColor;
    case TLook::Visor: return HeadColor(side, p);
    case TLook::Chest: return ChestColor(side, p);
    case TLook::Backpack:
      if (side == 1 && p.v > 0.2f && p.v < 0.8f && int(p.Py()) % 4 < 2) return Black;  // vents
      if (side == 4 && InDisc(p, 0.5f, 0.5f, 3)) return Red;
      return Panel(DarkSteel, p);
    case TLook::Joint: return int(p.Py()) % 3 == 0 ? Black : DarkSteel;  // ribbed
    case TLook::Rubber: return int(p.Px() + p.Py()) % 5 == 0 ? Black : Rubber;
    case TLook::Antenna: return Mix(Red, {255, 200, 160}, DiscFade(p, 0.5f, 0.5f, 4));
    case TLook::GunBody:
      if (side < 4 && p.v > 0.45f && p.v < 0.6f) return OrangeColor;
      return Panel(GunMetal, p);
    case TLook::GunBarrel: return int(p.Py()) % 6 == 0 ? Black : Times(GunMetal, 0.75f);
    case TLook::GunCell: return Mix(Green, {220, 255, 220}, DiscFade(p, 0.5f, 0.5f, 5));
  }
  return Steel;
}

void PaintCell(TCanvas& canvas, const TFaceCell& face, int padding)
{
  const TRect& c = face.Cell;
  for (int y = c.y - padding; y < c.y + c.h + padding; ++y) {
    for (int x = c.x - padding; x < c.x + c.w + padding; ++x) {
      if (x < 0 || y < 0 || x >= canvas.Width || y >= canvas.Height) continue;
      TPixel p;
      p.w = float(c.w);
      p.h = float(c.h);
      p.u = std::clamp((float(x - c.x) + 0.5f) / p.w, 0.0f, 1.0f);
      p.v = std::clamp((float(y - c.y) + 0.5f) / p.h, 0.0f, 1.0f);
      TColor color = LookColor(face.Look, face.Side, p);
      float light = FaceLight(face.Side, p.u);
      if (EdgeDistance(p) < 1.0f) light *= 0.75f;  // bevel
      light *= 0.93f + 0.1f * Grain(x, y);
      color = Times(color, light);
      uint8_t* out = canvas.At(x, y);
      out[0] = uint8_t(std::clamp(color.r, 0.0f, 255.0f));
      out[1] = uint8_t(std::clamp(color.g, 0.0f, 255.0f));
      out[2] = uint8_t(std::clamp(color.b, 0.0f, 255.0f));
    }
  }
}

bool Save(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
  return bots::SaveBytes(fileName, bytes);
}

// The canvas as palette indices, top row first.
struct TIndexed {
  std::vector<std::array<int, 3>> Palette;  // 256 R, G, B entries
  std::vector<uint8_t> Indices;             // one per pixel
};

TIndexed Quantize(const TCanvas& canvas)
{
  // Palette: the 256 most used colours at 5 bits per channel, each pixel mapped to the nearest.
  std::map<uint32_t, int> counts;
  auto key = [](const uint8_t* p) {
    return uint32_t(p[0] >> 3) << 10 | uint32_t(p[1] >> 3) << 5 | (p[2] >> 3);
  };
  for (size_t i = 0; i < canvas.Rgb.size(); i += 3) ++counts[key(&canvas.Rgb[i])];
  std::vector<std::pair<int, uint32_t>> byUse;
  for (const auto& [k, n] : counts) byUse.emplace_back(-n, k);
  std::sort(byUse.begin(), byUse.end());
  std::vector<std::array<int, 3>> palette;
  for (const auto& entry : byUse) {
    if (palette.size() == 256) break;
    const uint32_t k = entry.second;
    palette.push_back(
        {int((k >> 10) & 31) * 255 / 31, int((k >> 5) & 31) * 255 / 31, int(k & 31) * 255 / 31});
  }
  palette.resize(256, {0, 0, 0});
  std::map<uint32_t, uint8_t> nearest;
  std::vector<uint8_t> indices;
  for (size_t i = 0; i < canvas.Rgb.size(); i += 3) {
    const uint8_t* p = &canvas.Rgb[i];
    auto [it, added] = nearest.try_emplace(key(p), 0);
    if (added) {
      int best = 0, bestDistance = 1 << 30;
      for (int e = 0; e < 256; ++e) {
        const int dr = palette[size_t(e)][0] - p[0], dg = palette[size_t(e)][1] - p[1],
                  db = palette[size_t(e)][2] - p[2];
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) bestDistance = d, best = e;
      }
      it->second = uint8_t(best);
    }
    indices.push_back(it->second);
  }
  return {palette, indices};
}

}  // namespace

TCanvas PaintSkin(const TMesh& mesh, int width, int height)
{
  TCanvas canvas(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = canvas.At(x, y);
      p[0] = 60, p[1] = 64, p[2] = 72;
    }
  for (const TFaceCell& face : mesh.Cells()) PaintCell(canvas, face, 2);
  return canvas;
}

bool WriteTGA(const std::string& fileName, const TCanvas& canvas)
{
  std::vector<uint8_t> out;
  formats::TByteWriter w(out);
  w.Bytes(formats::tga::RequiredStart);  // uncompressed true colour
  w.U16(uint16_t(canvas.Width));
  w.U16(uint16_t(canvas.Height));
  w.U8(24);
  w.U8(0);  // origin bottom left: the bottom row is stored first
  for (int y = canvas.Height - 1; y >= 0; --y)
    for (int x = 0; x < canvas.Width; ++x) {
      const uint8_t* p = &canvas.Rgb[(size_t(y) * canvas.Width + x) * 3];
      out.insert(out.end(), {p[2], p[1], p[0]});
    }
  return Save(fileName, out);
}

bool WriteBMP(const std::string& fileName, const TCanvas& canvas)
{
  const uint32_t stride = (uint32_t(canvas.Width) * 3 + 3) & ~3u;
  const uint32_t dataSize = stride * uint32_t(canvas.Height);
  constexpr uint32_t headers = formats::bmp::FileHeaderSize + formats::bmp::InfoHeaderSize;
  std::vector<uint8_t> out;
  formats::TByteWriter w(out);
  w.Chars("BM");
  w.U32(headers + dataSize);
  w.U32(0);
  w.U32(headers);
  w.U32(formats::bmp::InfoHeaderSize);
  w.U32(uint32_t(canvas.Width));
  w.U32(uint32_t(canvas.Height));  // positive: bottom row first
  w.U16(1);
  w.U16(24);
  // compression, image size, resolution (72 dpi), colours used, important colours
  for (uint32_t v : {formats::bmp::BI_RGB, dataSize, 2835u, 2835u, 0u, 0u}) w.U32(v);
  for (int y = canvas.Height - 1; y >= 0; --y) {
    const size_t start = out.size();
    for (int x = 0; x < canvas.Width; ++x) {
      const uint8_t* p = &canvas.Rgb[(size_t(y) * canvas.Width + x) * 3];
      out.insert(out.end(), {p[2], p[1], p[0]});
    }
    out.resize(start + stride, 0);
  }
  return Save(fileName, out);
}

bool WriteWAL(const std::string& fileName, const std::string& paletteFileName,
              const TCanvas& canvas)
{
  const auto [palette, indices] = Quantize(canvas);
  std::vector<uint8_t> out;
  formats::TByteWriter writer(out);
  writer.Text("robot", formats::wal::NameSize);
  const uint32_t w = uint32_t(canvas.Width), h = uint32_t(canvas.Height);
  writer.U32(w);
  writer.U32(h);
  uint32_t offset = formats::wal::HeaderSize;
  for (size_t level = 0; level < formats::wal::MipLevels; ++level) {
    writer.U32(offset);
    offset += (w >> level) * (h >> level);
  }
  writer.PadTo(formats::wal::HeaderSize);  // animation name, flags, contents, value
  for (int level = 0; level < 4; ++level)
    for (uint32_t y = 0; y < (h >> level); ++y)
      for (uint32_t x = 0; x < (w >> level); ++x)
        out.push_back(indices[(size_t(y) << level) * w + (x << level)]);
  std::vector<uint8_t> pal;
  for (const auto& c : palette)
    pal.insert(pal.end(), {uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2])});
  return Save(fileName, out) && Save(paletteFileName, pal);
}

bool WritePCX(const std::string& fileName, const TCanvas& canvas)
{
  namespace pcx = formats::pcx;
  const auto [palette, indices] = Quantize(canvas);
  const size_t width = size_t(canvas.Width);
  const size_t bytesPerLine = (width + 1) & ~size_t(1);  // even, as readers expect
  std::vector<uint8_t> out;
  formats::TByteWriter w(out);
  w.U8(pcx::ZSoft);
  w.U8(pcx::PaletteVersion);
  w.U8(pcx::RunLength);
  w.U8(8);
  for (int v : {0, 0, canvas.Width - 1, canvas.Height - 1, 72, 72})
    w.U16(uint16_t(v));  // window, dpi
  w.PadTo(pcx::Planes);
  w.U8(1);
  w.U16(uint16_t(bytesPerLine));
  w.U16(1);  // colour palette
  w.PadTo(pcx::HeaderSize);
  std::vector<uint8_t> line(bytesPerLine, 0);
  for (size_t y = 0; y < size_t(canvas.Height); ++y) {  // top row first
    std::copy_n(indices.begin() + long(y * width), width, line.begin());
    for (size_t x = 0; x < bytesPerLine;) {
      size_t run = 1;
      while (x + run < bytesPerLine && run < pcx::LongestRun && line[x + run] == line[x]) ++run;
      if (run > 1 || (line[x] & pcx::RunMark) == pcx::RunMark) w.U8(uint8_t(pcx::RunMark | run));
      w.U8(line[x]);
      x += run;
    }
  }
  w.U8(pcx::PaletteMark);
  for (const auto& c : palette)
    for (int channel : c) w.U8(uint8_t(channel));
  return Save(fileName, out);
}

bool WriteJPEG(const std::string& fileName, const TCanvas& canvas, int quality)
{
  FILE* file = std::fopen(fileName.c_str(), "wb");
  if (!file) return false;
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = JDIMENSION(canvas.Width);
  info.image_height = JDIMENSION(canvas.Height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  // JPEG scanlines run top row first.
  while (info.next_scanline < info.image_height) {
    const int row = int(info.next_scanline);
    JSAMPROW line = const_cast<uint8_t*>(&canvas.Rgb[size_t(row) * canvas.Width * 3]);
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(file) == 0;
}

}  // namespace quarn::tools::make_bot
