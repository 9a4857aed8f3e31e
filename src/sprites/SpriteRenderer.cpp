#include "sprites/SpriteRenderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <system_error>

#include "bots/MD2.h"
#include "images/LoadStop.h"
#include "model/Drawing.h"
#include "platform/Paths.h"
#include "sprites/FrameTarget.h"
#include "sprites/GifEncoder.h"
#include "sprites/PixelFilters.h"
#include "sprites/SpriteCamera.h"
#include "sprites/SpriteSheet.h"
#include "sprites/Timing.h"
#include "sprites/WebpEncoder.h"
#include "sprites/Workers.h"

namespace quarn::sprites {

namespace {

// The GL state of the caller (the window's, for the console command), put back at the end.
struct TSavedGLState {
  TSavedGLState()
  {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
  }
  ~TSavedGLState()
  {
    TFrameTarget::Unbind();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
  }
  TSavedGLState(const TSavedGLState&) = delete;
  TSavedGLState& operator=(const TSavedGLState&) = delete;
};

// The window's fixed state for drawing models, on the options' background.
void SetModelState(const TSpriteOptions& options)
{
  model::SetModelDrawingState();
  const float* background = options.Style.Background;
  glClearColor(background[0], background[1], background[2], options.Transparent ? 0.0f : 1.0f);
}

// A frame as read (and filtered down) made into the sprite: brightened and outlined.
std::shared_ptr<const images::TFramePixels> FinishFrame(
    std::shared_ptr<images::TFramePixels> frame, const TSpriteOptions& options)
{
  if (options.Brightness != 1) {
    uint8_t scaled[256];
    for (int value = 0; value < 256; ++value)
      scaled[value] = uint8_t(std::min(255.0, std::round(value * options.Brightness)));
    uint8_t* p = frame->Rgb.data();
    for (size_t i = 0; i < frame->Rgb.size(); i += 4)
      for (size_t c = 0; c < 3; ++c) p[i + c] = scaled[p[i + c]];
  }
  if (options.Outline > 0) DrawOutline(*frame, options.Outline, options.OutlineColour);
  return frame;
}

// The kept frames of one direction of an animation, in order.
std::vector<const images::TFramePixels*> Sequence(const TAnimationFrames& frames,
                                                  int32_t rendered,
                                                  const std::vector<int32_t>& kept)
{
  std::vector<const images::TFramePixels*> sequence;
  for (const int32_t index : kept)
    sequence.push_back(
        frames.Frames[size_t(rendered) * size_t(frames.Count) + size_t(index)].get());
  return sequence;
}

TSheetLayout SheetLayout(const TSpriteOptions& options)
{
  TSheetLayout layout;
  layout.MaxWidth = options.MaxWidth;
  layout.Columns = options.Columns;
  layout.Padding = options.Padding;
  layout.Extrude = options.Extrude;
  layout.Trim = options.Trim;
  return layout;
}

// Packs and writes an atlas and its index: NAME.png and NAME.json (or .tres).
std::string WriteAtlas(const std::vector<std::shared_ptr<TAnimationFrames>>& animations,
                       const std::string& folder, const std::string& name,
                       const TSpriteOptions& options)
{
  std::vector<const TAnimationFrames*> list;
  for (const auto& animation : animations) list.push_back(animation.get());
  TAtlas atlas;
  std::string error;
  if (!PackAtlas(list, SheetLayout(options), atlas, error)) return "--sheet: " + error;
  const std::string image = name + ".png";
  error = WritePngFile(platform::JoinPath(folder, image), atlas.Image);
  if (!error.empty()) return error;
  return WriteSpriteFile(platform::JoinPath(folder, name + IndexExtension(options.Format)),
                         AtlasIndex(list, atlas, image, options.Format));
}

}  // namespace

TSpriteRenderer::TSpriteRenderer(const TSpriteOptions& options, bots::TMD2& body,
                                 bots::TMD2* weapon)
    : FOptions(options), FBody(body), FWeapon(weapon && weapon->IsLoaded() ? weapon : nullptr)
{
}

bool TSpriteRenderer::Prepare(std::string& error)
{
  FPoses.clear();
  FNotes.clear();
  FDirections = FOptions.DirectionList;
  if (FDirections.empty())
    for (int32_t direction = 0; direction < FOptions.Directions; ++direction)
      FDirections.push_back(direction);
  if (!ChooseAnimations(RecordedAnimations(FBody), FBody.GetFrameCount(), FOptions.Animations,
                        FAnimations, error))
    return false;
  int64_t frames = 0, kept = 0;
  for (const TSpriteAnimation& animation : FAnimations) {
    FPoses.push_back(SamplePoses(animation, FOptions.Fps));
    const int32_t count = int32_t(FPoses.back().size());
    frames += count;
    kept += int64_t(KeepFrames(count, FOptions.Fps, animation.Last - animation.First + 1,
                               FOptions.Gif ? GifDelayUnitMs : WebpDelayUnitMs, ShortestDelayMs)
                        .Frames.size());
  }
  if ((FOptions.Gif || FOptions.Webp) && kept < frames)
    FNotes.push_back(std::string(FOptions.Gif ? "--gif" : "--webp") + ": at " +
                     std::to_string(FOptions.Fps) + " frames a second some frames would last " +
                     "less than " + std::to_string(ShortestDelayMs) +
                     " ms, which players slow down: the animations keep " +
                     std::to_string(kept) + " of their " + std::to_string(frames) +
                     " frames, at their times");
  return CheckSizes(error);
}

// Frames too many to hold for a sheet or an animated file are refused before drawing.
bool TSpriteRenderer::CheckSizes(std::string& error) const
{
  std::vector<TAnimationFrames> shapes(FAnimations.size());
  std::vector<const TAnimationFrames*> atlas;
  for (size_t a = 0; a < FAnimations.size(); ++a) {
    TAnimationFrames& shape = shapes[a];
    shape.Name = FAnimations[a].Name;
    shape.Directions = int32_t(FDirections.size());
    shape.Count = int32_t(FPoses[a].size());
    shape.Width = FOptions.Width;
    shape.Height = FOptions.Height;
    const int64_t pixels = int64_t(shape.Width) * shape.Height * shape.Directions * shape.Count;
    if ((FOptions.Gif || FOptions.Webp) && pixels > MaxSheetPixels) {
      error = std::string(FOptions.Gif ? "--gif" : "--webp") + ": the frames of " + shape.Name +
              " would hold " + std::to_string(pixels) + " pixels, more than " +
              std::to_string(MaxSheetPixels) + " (fewer frames, directions or a smaller --size)";
      return false;
    }
    if (!FOptions.Sheet) continue;
    atlas.push_back(&shape);
    if (FOptions.Atlas && a + 1 < FAnimations.size()) continue;
    int64_t width = 0, height = 0;
    if (!AtlasSize(atlas, SheetLayout(FOptions), width, height, error)) {
      error = "--sheet: " + error;
      return false;
    }
    if (width * height > MaxSheetPixels) {
      error = "--sheet: the frames of " + (FOptions.Atlas ? std::string("the run") : shape.Name) +
              " would make a " + std::to_string(width) + "x" + std::to_string(height) +
              " sheet, more than " + std::to_string(MaxSheetPixels) +
              " pixels (fewer frames, directions, a smaller --size or a wider --max-width)";
      return false;
    }
    atlas.clear();
  }
  return true;
}

int64_t TSpriteRenderer::FrameCount() const
{
  int64_t count = 0;
  for (const auto& poses : FPoses) count += int64_t(poses.size()) * int64_t(FDirections.size());
  return count;
}

TRenderStatus TSpriteRenderer::Run(std::string& error, const TProgress& progress)
{
  return Render(true, error, progress);
}

TRenderStatus TSpriteRenderer::DrawOnly(std::string& error)
{
  return Render(false, error, nullptr);
}

TRenderStatus TSpriteRenderer::Render(bool write, std::string& error, const TProgress& progress)
{
  if (FPoses.size() != FAnimations.size() || FAnimations.empty()) {
    if (!Prepare(error)) return TRenderStatus::BadRequest;
  }
  const std::string& folder = FOptions.OutDir;
  if (write) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code || !std::filesystem::is_directory(folder, code)) {
      error = "Cannot make folder " + folder + ": " +
              (code ? code.message() : std::string("a file of that name is in the way"));
      return TRenderStatus::Failed;
    }
  }

  // Frames are drawn at Samples times the size and filtered down.
  const int32_t samples = FOptions.Samples;
  TSavedGLState savedState;
  TFrameTarget target;
  if (!target.Create(FOptions.Width * samples, FOptions.Height * samples, error)) {
    if (samples > 1) error += " (at --samples " + std::to_string(samples) + ")";
    return TRenderStatus::Failed;
  }
  SetModelState(FOptions);
  {
    // Only the area the models cover is read back: the rest is the clear colour, as the
    // frame stores it (and as filtering leaves it: nothing where it is transparent).
    target.Bind();
    glClear(GL_COLOR_BUFFER_BIT);
    uint8_t clear[4] = {0, 0, 0, 0};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, clear);
    if (clear[3] == 0 && samples > 1) clear[0] = clear[1] = clear[2] = 0;
    target.SetCollecting(samples, clear);
  }

  TWorkers workers;
  const bool keep = FOptions.Sheet || FOptions.Gif || FOptions.Webp;
  const int64_t total = FrameCount();
  int64_t done = 0;
  const int32_t rendered = int32_t(FDirections.size());
  // The program may ask to end (Escape, a termination signal) at any time: between frames
  // the stop poll is asked every few milliseconds' worth of pixels.
  images::TStopCheck stopCheck;
  const size_t frameWork = std::max(size_t(FOptions.Width) * size_t(FOptions.Height) *
                                        size_t(samples) * size_t(samples),
                                    images::StopPollWork / 64);
  bool stopped = false;

  TViewSetup setup;
  setup.Directions = FOptions.Directions;
  setup.Yaw = FOptions.Yaw;
  setup.Elevation = FOptions.Elevation;
  setup.Width = FOptions.Width * samples;
  setup.Height = FOptions.Height * samples;
  setup.PixelsPerUnit = FOptions.PixelsPerUnit * samples;
  setup.Perspective = FOptions.Perspective;
  setup.FieldOfView = FOptions.Style.FieldOfView;
  // One scale and one ground for every frame of the model, so that a character's animations
  // line up, whichever a run renders; or each animation framed on its own.
  const bool perAnimation = FOptions.Fit == TSpriteOptions::TFit::Animation;
  std::unique_ptr<TSpriteCamera> camera;
  if (!perAnimation) {
    setup.Bounds = ModelBounds(FBody, FWeapon);
    setup.Points = FramePoints(FBody, FWeapon, 0, FBody.GetFrameCount() - 1);
    camera = std::make_unique<TSpriteCamera>(setup);
  }
  std::vector<std::shared_ptr<TAnimationFrames>> atlas;  // with --atlas: every animation

  for (size_t a = 0; a < FAnimations.size() && !workers.Failed() && !stopped; ++a) {
    const TSpriteAnimation& animation = FAnimations[a];
    const std::vector<TPose>& poses = FPoses[a];
    const int32_t count = int32_t(poses.size());
    const int32_t keyframes = animation.Last - animation.First + 1;
    if (perAnimation) {
      setup.Bounds = AnimationBounds(FBody, FWeapon, animation.First, animation.Last);
      setup.Points = FramePoints(FBody, FWeapon, animation.First, animation.Last);
      camera = std::make_unique<TSpriteCamera>(setup);
    }
    auto frames = std::make_shared<TAnimationFrames>();
    frames->Name = animation.Name;
    frames->Directions = rendered;
    frames->DirectionNumbers = FDirections;
    frames->AllDirections = FOptions.Directions;
    frames->Count = count;
    frames->Width = FOptions.Width;
    frames->Height = FOptions.Height;
    frames->Duration = FrameDuration(FOptions.Fps);
    frames->Durations = FrameDurationsMs(count, FOptions.Fps, keyframes);
    for (const int32_t direction : FDirections) {
      const TPixelPoint pivot = camera->Pivot(direction);
      frames->Pivots.push_back({pivot.X / samples, pivot.Y / samples});
    }
    if (keep) frames->Frames.resize(size_t(rendered) * size_t(count));

    // Reads are collected one frame late: the oldest read is filtered down out of its buffer
    // after the next frame has been drawn. The workers finish, encode and write it.
    std::vector<size_t> waiting;  // slots of reads started, oldest first
    auto collect = [&] {
      auto pixels = std::make_shared<images::TFramePixels>();
      target.Collect(*pixels);
      const size_t slot = waiting.front();
      waiting.erase(waiting.begin());
      const int32_t direction = int32_t(slot / size_t(count)),
                    index = int32_t(slot % size_t(count));
      const std::string name =
          platform::JoinPath(folder, frames->FileStem(direction, index) + ".png");
      workers.Post([name, pixels, frames, slot, keep, &options = FOptions] {
        std::shared_ptr<const images::TFramePixels> sprite = FinishFrame(pixels, options);
        if (keep) frames->Frames[slot] = sprite;
        return WritePngFile(name, *sprite);
      });
      if (progress) progress(++done, total);
    };
    for (int32_t direction = 0; direction < rendered && !workers.Failed() && !stopped;
         ++direction)
      for (int32_t index = 0; index < count; ++index) {
        if (write && stopCheck.Stopped(frameWork)) {
          stopped = true;
          break;
        }
        target.Bind();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        camera->Apply(FDirections[size_t(direction)]);
        model::DrawModel(FBody, poses[size_t(index)], FOptions.Style);
        if (FWeapon) model::DrawModel(*FWeapon, poses[size_t(index)], FOptions.Style);
        if (!write) {
          glFinish();
          continue;
        }
        target.StartRead(FWeapon ? FBody.DrawnArea().United(FWeapon->DrawnArea())
                                 : FBody.DrawnArea());
        waiting.push_back(size_t(direction) * size_t(count) + size_t(index));
        if (waiting.size() > 1) collect();
      }
    if (stopped) break;  // the reads under way are dropped: only whole files are left
    while (!waiting.empty()) collect();
    if (!write || !keep) continue;
    // The sheets and animated files need every frame of the animation finished.
    workers.Wait();

    if (FOptions.Atlas)
      atlas.push_back(frames);
    else if (FOptions.Sheet)
      workers.Post([frames, folder, &options = FOptions] {
        return WriteAtlas({frames}, folder, frames->Name, options);
      });
    for (int32_t direction = 0; direction < rendered; ++direction) {
      const std::string stem = platform::JoinPath(folder, frames->DirectionStem(direction));
      if (FOptions.Gif)
        workers.Post([frames, stem, direction, keyframes, transparent = FOptions.Transparent,
                      fps = FOptions.Fps] {
          const TTimedFrames timed =
              KeepFrames(frames->Count, fps, keyframes, GifDelayUnitMs, ShortestDelayMs);
          const std::string name = stem + ".gif";
          std::string gif, reason;
          if (!EncodeGIF(Sequence(*frames, direction, timed.Frames), timed.Delays, transparent,
                         gif, reason))
            return "Cannot write file " + name + ": " + reason;
          return WriteSpriteFile(name, gif);
        });
      if (FOptions.Webp)
        workers.Post([frames, stem, direction, keyframes, fps = FOptions.Fps] {
          const TTimedFrames timed = KeepFrames(frames->Count, fps, keyframes, WebpDelayUnitMs, ShortestDelayMs);
          const std::string name = stem + ".webp";
          std::string webp, reason;
          if (!EncodeWebP(Sequence(*frames, direction, timed.Frames), timed.Delays, webp, reason))
            return "Cannot write file " + name + ": " + reason;
          return WriteSpriteFile(name, webp);
        });
    }
  }
  if (FOptions.Atlas && !stopped && !atlas.empty())
    workers.Post([atlas, folder, &options = FOptions] {
      return WriteAtlas(atlas, folder, "atlas", options);
    });
  if (stopped) {
    workers.Cancel();
    workers.Wait();
    error = "stopped after " + std::to_string(done) + " of " + std::to_string(total) +
            " frames; the files written are whole";
    return TRenderStatus::Stopped;
  }
  const std::string failure = workers.Wait();
  if (!failure.empty()) {
    error = failure;
    return TRenderStatus::Failed;
  }
  if (glGetError() == GL_OUT_OF_MEMORY) {
    error = "OpenGL ran out of memory";
    return TRenderStatus::Failed;
  }
  return TRenderStatus::Done;
}

}  // namespace quarn::sprites
