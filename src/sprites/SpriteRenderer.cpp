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
#include "sprites/SpriteCamera.h"
#include "sprites/SpriteSheet.h"
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

}  // namespace

TSpriteRenderer::TSpriteRenderer(const TSpriteOptions& options, bots::TMD2& body,
                                 bots::TMD2* weapon)
    : FOptions(options), FBody(body), FWeapon(weapon && weapon->IsLoaded() ? weapon : nullptr)
{
}

bool TSpriteRenderer::Prepare(std::string& error)
{
  FPoses.clear();
  if (!ChooseAnimations(RecordedAnimations(FBody), FBody.GetFrameCount(), FOptions.Animations,
                        FAnimations, error))
    return false;
  for (const TSpriteAnimation& animation : FAnimations) {
    FPoses.push_back(SamplePoses(animation, FOptions.Fps));
    const int64_t sheetPixels = int64_t(FOptions.Width) * FOptions.Height * FOptions.Directions *
                                int64_t(FPoses.back().size());
    if ((FOptions.Sheet || FOptions.Gif) && sheetPixels > MaxSheetPixels) {
      error = std::string(FOptions.Sheet ? "--sheet" : "--gif") + ": the frames of " +
              animation.Name + " would hold " + std::to_string(sheetPixels) +
              " pixels, more than " + std::to_string(MaxSheetPixels) +
              " (fewer frames, directions or a smaller --size)";
      return false;
    }
  }
  return true;
}

int64_t TSpriteRenderer::FrameCount() const
{
  int64_t count = 0;
  for (const auto& poses : FPoses) count += int64_t(poses.size()) * FOptions.Directions;
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

  TSavedGLState savedState;
  TFrameTarget target;
  if (!target.Create(FOptions.Width, FOptions.Height, error)) return TRenderStatus::Failed;
  SetModelState(FOptions);

  TWorkers workers;
  const bool keep = FOptions.Sheet || FOptions.Gif;
  const int64_t total = FrameCount();
  int64_t done = 0;
  const int32_t directions = FOptions.Directions;
  // The program may ask to end (Escape, a termination signal) at any time: between frames
  // the stop poll is asked every few milliseconds' worth of pixels.
  images::TStopCheck stopCheck;
  const size_t frameWork =
      std::max(size_t(FOptions.Width) * size_t(FOptions.Height), images::StopPollWork / 64);
  bool stopped = false;

  for (size_t a = 0; a < FAnimations.size() && !workers.Failed() && !stopped; ++a) {
    const TSpriteAnimation& animation = FAnimations[a];
    const std::vector<TPose>& poses = FPoses[a];
    const int32_t count = int32_t(poses.size());
    auto frames = std::make_shared<TAnimationFrames>();
    frames->Name = animation.Name;
    frames->Directions = directions;
    frames->Count = count;
    frames->Width = FOptions.Width;
    frames->Height = FOptions.Height;
    frames->Duration = FrameDuration(FOptions.Fps);
    if (keep) frames->Frames.resize(size_t(directions) * size_t(count));

    TViewSetup setup;
    setup.Bounds = AnimationBounds(FBody, FWeapon, animation.First, animation.Last);
    setup.Directions = directions;
    setup.Elevation = FOptions.Elevation;
    setup.Width = FOptions.Width;
    setup.Height = FOptions.Height;
    setup.Perspective = FOptions.Perspective;
    setup.FieldOfView = FOptions.Style.FieldOfView;
    TSpriteCamera camera(setup);

    // Reads are collected one frame late: the oldest read is copied out after the next frame
    // has been drawn.
    std::vector<size_t> waiting;  // slots of reads started, oldest first
    auto collect = [&] {
      auto pixels = std::make_shared<images::TFramePixels>();
      target.Collect(*pixels);
      const size_t slot = waiting.front();
      waiting.erase(waiting.begin());
      const int32_t direction = int32_t(slot / size_t(count)),
                    index = int32_t(slot % size_t(count));
      const std::string name = platform::JoinPath(
          folder, FrameFileStem(animation.Name, direction, index, count) + ".png");
      if (keep) frames->Frames[slot] = pixels;
      workers.Post([name, pixels] { return WritePngFile(name, *pixels); });
      if (progress) progress(++done, total);
    };
    for (int32_t direction = 0; direction < directions && !workers.Failed() && !stopped;
         ++direction)
      for (int32_t index = 0; index < count; ++index) {
        if (write && stopCheck.Stopped(frameWork)) {
          stopped = true;
          break;
        }
        target.Bind();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        camera.Apply(direction);
        model::DrawModel(FBody, poses[size_t(index)], FOptions.Style);
        if (FWeapon) model::DrawModel(*FWeapon, poses[size_t(index)], FOptions.Style);
        if (!write) {
          glFinish();
          continue;
        }
        target.StartRead();
        waiting.push_back(size_t(direction) * size_t(count) + size_t(index));
        if (waiting.size() > 1) collect();
      }
    if (stopped) break;  // the reads under way are dropped: only whole files are left
    while (!waiting.empty()) collect();
    if (!write) continue;

    if (FOptions.Sheet)
      workers.Post([frames, folder] {
        const std::string image = frames->Name + ".png";
        std::string failure = WritePngFile(platform::JoinPath(folder, image), BuildSheet(*frames));
        if (failure.empty())
          failure = WriteSpriteFile(platform::JoinPath(folder, frames->Name + ".json"),
                                    SheetIndex(*frames, image));
        return failure;
      });
    if (FOptions.Gif)
      for (int32_t direction = 0; direction < directions; ++direction)
        workers.Post([frames, folder, direction, transparent = FOptions.Transparent] {
          std::vector<const images::TFramePixels*> sequence;
          for (int32_t index = 0; index < frames->Count; ++index)
            sequence.push_back(
                frames->Frames[size_t(direction) * size_t(frames->Count) + size_t(index)].get());
          const std::string name = platform::JoinPath(
              folder, frames->Name + "_dir" + std::to_string(direction) + ".gif");
          std::string gif, reason;
          const int delay = std::max(1, int(std::lround(frames->Duration / 10)));
          if (!EncodeGIF(sequence, std::vector<int>(sequence.size(), delay), transparent, gif,
                         reason))
            return "Cannot write file " + name + ": " + reason;
          return WriteSpriteFile(name, gif);
        });
  }
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
