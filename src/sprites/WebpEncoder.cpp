#include "sprites/WebpEncoder.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

namespace quarn::sprites {

namespace {

// libwebp's lossless effort, 0 (fastest) to 9 (smallest): every frame of a run goes through
// here. Level 0 made files several times larger; the levels above 1 took up to three times
// as long for files no smaller.
constexpr int LosslessLevel = 1;
constexpr int LoopForever = 0;
constexpr size_t Rgba = 4;

struct TEncoderDeleter {
  void operator()(WebPAnimEncoder* encoder) const { WebPAnimEncoderDelete(encoder); }
};
using TEncoder = std::unique_ptr<WebPAnimEncoder, TEncoderDeleter>;

// A picture whose pixels libwebp owns, freed with it.
struct TPicture {
  WebPPicture Picture{};
  bool Ready = false;
  TPicture() { Ready = WebPPictureInit(&Picture) != 0; }
  ~TPicture() { WebPPictureFree(&Picture); }
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;
};

const char* PictureError(WebPEncodingError error)
{
  switch (error) {
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY: return "out of memory";
    case VP8_ENC_ERROR_BAD_DIMENSION: return "the frames are too large";
    default: return "libwebp cannot encode a frame";
  }
}

}  // namespace

bool EncodeWebP(const std::vector<const images::TFramePixels*>& frames,
                const std::vector<int>& delaysMs, std::string& webp, std::string& reason)
{
  webp.clear();
  if (frames.empty() || !frames[0] || frames[0]->Width <= 0 || frames[0]->Height <= 0) {
    reason = "there are no frames";
    return false;
  }
  if (delaysMs.size() != frames.size()) {
    reason = "there are " + std::to_string(delaysMs.size()) + " delays for " +
             std::to_string(frames.size()) + " frames";
    return false;
  }
  int64_t total = 0;
  for (const int delay : delaysMs) {
    if (delay < 1 || delay > WebpMaximumDelay) {
      reason = "a delay of " + std::to_string(delay) + " ms is outside 1-" +
               std::to_string(WebpMaximumDelay);
      return false;
    }
    total += delay;
  }
  if (total > std::numeric_limits<int>::max()) {
    reason = "the frames last too long";
    return false;
  }
  const int width = frames[0]->Width, height = frames[0]->Height;
  WebPAnimEncoderOptions options;
  WebPConfig config;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config) ||
      !WebPConfigLosslessPreset(&config, LosslessLevel)) {
    reason = "libwebp is not the version Quarn was built with";
    return false;
  }
  options.anim_params.loop_count = LoopForever;
  options.allow_mixed = 0;  // every frame lossless
  TEncoder encoder(WebPAnimEncoderNew(width, height, &options));
  if (!encoder) {
    reason = "out of memory";
    return false;
  }
  TPicture picture;  // importing allocates its pixels
  picture.Picture.use_argb = 1;
  picture.Picture.width = width;
  picture.Picture.height = height;
  if (!picture.Ready) {
    reason = "libwebp is not the version Quarn was built with";
    return false;
  }
  const size_t row = size_t(width) * Rgba;
  int timestamp = 0;
  for (size_t index = 0; index < frames.size(); ++index) {
    const images::TFramePixels* frame = frames[index];
    if (!frame || frame->Width != width || frame->Height != height || !frame->Alpha ||
        frame->Rgb.size() != row * size_t(height)) {
      reason = "the frames differ in size";
      return false;
    }
    // WebP rows run top down; the frames are read bottom up, so the last row comes first.
    const int stride = -int(row);
    const uint8_t* top = frame->Rgb.data() + row * size_t(height - 1);
    if (!WebPPictureImportRGBA(&picture.Picture, top, stride) ||
        !WebPAnimEncoderAdd(encoder.get(), &picture.Picture, timestamp, &config)) {
      const char* error = WebPAnimEncoderGetError(encoder.get());
      reason = error && *error ? error : PictureError(picture.Picture.error_code);
      return false;
    }
    timestamp += delaysMs[index];
  }
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr) ||
      !WebPAnimEncoderAssemble(encoder.get(), &data)) {
    const char* error = WebPAnimEncoderGetError(encoder.get());
    reason = error && *error ? error : "libwebp cannot assemble the animation";
    WebPDataClear(&data);
    return false;
  }
  webp.assign(reinterpret_cast<const char*>(data.bytes), data.size);
  WebPDataClear(&data);
  return true;
}

}  // namespace quarn::sprites
