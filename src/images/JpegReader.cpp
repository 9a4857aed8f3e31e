#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include <new>

#include "images/Image.h"
#include "images/LoadStop.h"

namespace quarn::images {

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

// Warnings about recoverable damage are not printed, except that data ending early (at the end
// of the file or at the next marker) is an error: libjpeg would make up the missing rows, so a few
// bytes claiming a huge image would decode to a huge grey picture.
extern "C" void JpegEmitMessage(j_common_ptr info, int level)
{
  const int code = info->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
    (*info->err->error_exit)(info);
}

// libjpeg's own working memory (progressive images keep every coefficient of the image);
// beyond it decoding fails instead of allocating more.
constexpr long MaxJpegWorkMemory = 128L << 20;

enum class TJpegStage { Done, HeaderFailed, DataFailed, TooLarge };

// Plain C-style decoding: nothing here has a destructor, so the long jump out of libjpeg skips
// nothing. Rows go to the caller one at a time, top row first, as they are decoded, so memory
// grows with the data actually present; `NextRow` gives room for one row of 4-byte pixels, or
// null when there is no memory for it or the load is to stop.
struct TJpegOutput {
  uint8_t* (*NextRow)(void* context, uint32_t width);
  void* Context;
};

TJpegStage DecodeJpegC(const uint8_t* data, size_t size, TJpegOutput output, TJpegError& error)
{
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JpegErrorExit;
  error.Manager.emit_message = JpegEmitMessage;
  error.Message[0] = '\0';

  // volatile: read after a long jump back into this frame.
  volatile TJpegStage stage = TJpegStage::HeaderFailed;
  if (setjmp(error.Jump) != 0) {
    jpeg_destroy_decompress(&info);
    return stage;
  }
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = MaxJpegWorkMemory;
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

  JSAMPARRAY line =
      (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, width * 3, 1);
  while (info.output_scanline < height) {
    jpeg_read_scanlines(&info, line, 1);
    uint8_t* dst = output.NextRow(output.Context, width);
    if (!dst) {
      jpeg_destroy_decompress(&info);
      return TJpegStage::TooLarge;
    }
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

struct TRowsContext {
  TTextureImage* Pixels;
  uint32_t Width;
  uint32_t Rows;
  TStopCheck Stop;
  bool Stopped;
};

uint8_t* NextRow(void* context, uint32_t width)
{
  auto* c = static_cast<TRowsContext*>(context);
  if (c->Stop.Stopped(width)) {
    c->Stopped = true;
    return nullptr;
  }
  const size_t rowBytes = size_t(width) * 4;
  try {
    c->Pixels->resize(c->Pixels->size() + rowBytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  c->Width = width;
  ++c->Rows;
  return c->Pixels->data() + c->Pixels->size() - rowBytes;
}

}  // namespace

TDecodeResult DecodeJPG(TBytes data, TImage& image, std::string* reason)
{
  if (data.empty()) return Refusal(reason, "file is empty");  // libjpeg wants at least one byte
  TTextureImage pixels;
  TRowsContext context{&pixels, 0, 0, {}, false};
  TJpegError error;
  switch (DecodeJpegC(data.data(), data.size(), TJpegOutput{NextRow, &context}, error)) {
    case TJpegStage::HeaderFailed: return Refusal(reason, error.Message);
    case TJpegStage::TooLarge:
      return Refusal(reason, context.Stopped ? StoppedReason : "JPEG image is too large");
    case TJpegStage::DataFailed: throw EImageError(error.Message);
    case TJpegStage::Done: break;
  }
  image.Width = static_cast<int32_t>(context.Width);
  image.Height = static_cast<int32_t>(context.Rows);
  image.BitsPerPixel = 0;
  image.Layout = TPixelLayout::RGBA;
  image.KeepAlpha = false;  // every pixel is opaque
  image.Pixels = std::move(pixels);
  return TDecodeResult::Ok;
}

}  // namespace quarn::images
