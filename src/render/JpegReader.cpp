#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "render/ImageFormats.h"

namespace quarn::render {

namespace {

// libjpeg's default error handler ends the process. This one jumps back to the decoding call,
// which then reports the failure; the message is kept for the exception.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr info)
{
  TJpegError* error = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, error->Message);
  std::longjmp(error->Jump, 1);
}

// Warnings about recoverable damage are not printed.
extern "C" void JpegOutputMessage(j_common_ptr) {}

enum class TJpegStage { Done, HeaderFailed, DataFailed, TooLarge };

// Plain C-style decoding: nothing here has a destructor, so the long jump out of libjpeg skips
// nothing. `pixels` is sized by the caller once the header is known, through `reserve`.
struct TJpegOutput {
  uint8_t* (*Reserve)(void* context, uint32_t width, uint32_t height);
  void* Context;
};

TJpegStage DecodeJpegC(const uint8_t* data, size_t size, TJpegOutput output, TJpegError& error)
{
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JpegErrorExit;
  error.Manager.output_message = JpegOutputMessage;
  error.Message[0] = '\0';

  // volatile: read after a long jump back into this frame.
  volatile TJpegStage stage = TJpegStage::HeaderFailed;
  if (setjmp(error.Jump) != 0) {
    jpeg_destroy_decompress(&info);
    return stage;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  if (uint64_t(info.image_width) * info.image_height > MaxImagePixels) {
    jpeg_destroy_decompress(&info);
    return TJpegStage::TooLarge;
  }

  stage = TJpegStage::DataFailed;
  info.out_color_space = JCS_RGB;  // 8 bits per channel, full size (scale 1/1 is the default)
  jpeg_start_decompress(&info);
  const uint32_t width = info.output_width;
  const uint32_t height = info.output_height;
  uint8_t* pixels = output.Reserve(output.Context, width, height);

  // Scanlines arrive top row first; the image is stored bottom row first, 4 bytes per pixel.
  JSAMPARRAY line = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                              width * 3, 1);
  while (info.output_scanline < height) {
    const uint32_t y = info.output_scanline;
    jpeg_read_scanlines(&info, line, 1);
    uint8_t* dst = pixels + size_t(height - 1 - y) * width * 4;
    const uint8_t* src = line[0];
    for (uint32_t x = 0; x < width; ++x) {
      *dst++ = *src++;
      *dst++ = *src++;
      *dst++ = *src++;
      *dst++ = 255;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return TJpegStage::Done;
}

struct TReserveContext {
  TTextureImage* Pixels;
  uint32_t Width;
  uint32_t Height;
};

uint8_t* ReservePixels(void* context, uint32_t width, uint32_t height)
{
  auto* c = static_cast<TReserveContext*>(context);
  c->Width = width;
  c->Height = height;
  c->Pixels->assign(size_t(width) * height * 4, 0);
  return c->Pixels->data();
}

}  // namespace

TDecodeResult DecodeJPG(TBytes data, TImage& image)
{
  if (data.empty()) return TDecodeResult::Refused;  // libjpeg wants at least one byte
  TTextureImage pixels;
  TReserveContext context{&pixels, 0, 0};
  TJpegError error;
  switch (DecodeJpegC(data.data(), data.size(), TJpegOutput{ReservePixels, &context}, error)) {
    case TJpegStage::HeaderFailed:
    case TJpegStage::TooLarge: return TDecodeResult::Refused;
    case TJpegStage::DataFailed: throw EImageError(error.Message);
    case TJpegStage::Done: break;
  }
  image.Width = static_cast<int32_t>(context.Width);
  image.Height = static_cast<int32_t>(context.Height);
  image.BitsPerPixel = 0;
  image.Layout = TPixelLayout::RGBA;
  image.KeepAlpha = false;  // every pixel is opaque
  image.Pixels = std::move(pixels);
  return TDecodeResult::Ok;
}

}  // namespace quarn::render
