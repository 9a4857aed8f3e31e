#include "ImageFiles.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <jpeglib.h>

#include "formats/ByteWriter.h"

namespace quarn::render::testing {

namespace {

void Put16(Bytes& out, size_t at, uint32_t v) { formats::TByteWriter(out).U16At(at, uint16_t(v)); }

void Put32(Bytes& out, size_t at, uint32_t v) { formats::TByteWriter(out).U32At(at, v); }

}  // namespace

Rgba PatternPixel(int x, int y)
{
  return Rgba{uint8_t(10 + x * 20), uint8_t(200 - y * 30), uint8_t(x * 7 + y * 11),
              uint8_t(100 + x + y)};
}

Bytes MakeTga(int width, int height, int bits, bool bottomUp)
{
  const int bpp = bits / 8;
  Bytes out(18 + size_t(width) * height * bpp);
  out[2] = 2;
  Put16(out, 12, uint32_t(width));
  Put16(out, 14, uint32_t(height));
  out[16] = uint8_t(bits);
  if (!bottomUp) out[17] = 0x20;  // descriptor: top row stored first
  size_t at = 18;
  for (int row = 0; row < height; ++row) {
    const int y = bottomUp ? height - 1 - row : row;
    for (int x = 0; x < width; ++x) {
      const Rgba p = PatternPixel(x, y);
      out[at++] = p.b;
      out[at++] = p.g;
      out[at++] = p.r;
      if (bpp == 4) out[at++] = p.a;
    }
  }
  return out;
}

Rgba BmpPaletteColor(int index)
{
  return Rgba{uint8_t(index), uint8_t(index * 3), uint8_t(255 - index), 255};
}

int BmpIndex(int x, int y) { return (x + 7 * y) % 256; }

Bytes MakeBmp(int width, int height, const BmpOptions& o)
{
  const uint32_t colors = o.Bits == 8 ? (o.ColorsUsed ? o.ColorsUsed : 256) : o.ColorsUsed;
  const size_t stride = (size_t(width) * o.Bits + 31) / 32 * 4;
  const size_t tableAt = 14 + o.InfoSize;
  const size_t dataAt = tableAt + colors * 4;
  Bytes out(dataAt + stride * height);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, uint32_t(out.size()));
  Put32(out, 10, uint32_t(dataAt));
  Put32(out, 14, o.InfoSize);
  Put32(out, 18, uint32_t(width));
  Put32(out, 22, uint32_t(o.TopDown ? -height : height));
  Put16(out, 26, 1);
  Put16(out, 28, uint32_t(o.Bits));
  Put32(out, 30, o.Compression);
  Put32(out, 34, uint32_t(stride * height));
  Put32(out, 46, o.ColorsUsed);
  for (uint32_t i = 0; i < colors; ++i) {
    const Rgba c = BmpPaletteColor(int(i));
    out[tableAt + i * 4] = c.b;
    out[tableAt + i * 4 + 1] = c.g;
    out[tableAt + i * 4 + 2] = c.r;
  }
  const bool pixelsWritten = o.Bits == 8 || o.Bits == 24 || o.Bits == 32;
  for (int row = 0; row < height && pixelsWritten; ++row) {
    const int y = o.TopDown ? row : height - 1 - row;
    uint8_t* p = &out[dataAt + row * stride];
    for (int x = 0; x < width; ++x) {
      if (o.Bits == 8) {
        *p++ = uint8_t(BmpIndex(x, y));
        continue;
      }
      const Rgba c = PatternPixel(x, y);
      *p++ = c.b;
      *p++ = c.g;
      *p++ = c.r;
      if (o.Bits == 32) *p++ = 0;
    }
    // padding bytes stay 0xEE so that reading them as pixels shows
    for (uint8_t* pad = p; pad < &out[dataAt + row * stride] + stride; ++pad) *pad = 0xEE;
  }
  return out;
}

Bytes MakeWal(int width, int height)
{
  Bytes out(100 + size_t(width) * height);
  Put32(out, 32, uint32_t(width));
  Put32(out, 36, uint32_t(height));
  Put32(out, 40, 100);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out[100 + size_t(y) * width + x] = uint8_t((x + 3 * y) % 256);
  return out;
}

Bytes MakePalette()
{
  Bytes out(768);
  for (int i = 0; i < 256; ++i) {
    out[i * 3] = uint8_t(i);
    out[i * 3 + 1] = uint8_t(255 - i);
    out[i * 3 + 2] = uint8_t(i / 2);
  }
  return out;
}

Bytes MakeJpeg(int width, int height)
{
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(size_t(width) * 3);
  while (info.next_scanline < info.image_height) {
    const int y = int(info.next_scanline);
    for (int x = 0; x < width; ++x) {
      const bool left = x < width / 2, top = y < height / 2;
      const uint8_t r = (top && left) || (!top && !left) ? 255 : 0;
      const uint8_t g = (top && !left) || (!top && !left) ? 255 : 0;
      const uint8_t b = !top ? 255 : 0;
      row[x * 3] = r;
      row[x * 3 + 1] = g;
      row[x * 3 + 2] = b;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

void WriteFile(const std::string& path, const Bytes& data)
{
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

}  // namespace quarn::render::testing
