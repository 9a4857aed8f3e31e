#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sprites/SpriteFrames.h"
#include "sprites/SpriteOptions.h"

namespace quarn::bots {
class TMD2;
}

namespace quarn::sprites {

enum class TRenderStatus {
  Done,
  BadRequest,  // the options ask for something the model lacks (an animation, a size)
  Failed,      // drawing or writing failed
  Stopped      // the program is ending: the files written so far are whole, the rest missing
};

// Frames done of the whole run.
using TProgress = std::function<void(int64_t done, int64_t total)>;

// Renders the chosen animations of loaded models in the current GL context: every pose from
// every direction drawn by the models' own Draw, as the window draws them, into an off-screen
// frame, read back and handed to worker threads that encode and write the files. The models'
// pose and culling, the frame buffer binding and the GL state are as before afterwards.
class TSpriteRenderer {
public:
  TSpriteRenderer(const TSpriteOptions& options, bots::TMD2& body, bots::TMD2* weapon);

  // Chooses the animations and checks what they need; false with a one-line error.
  bool Prepare(std::string& error);
  const std::vector<TSpriteAnimation>& Animations() const { return FAnimations; }
  // Frames of the whole run (after Prepare).
  int64_t FrameCount() const;
  // What the run does otherwise than asked, one line each (after Prepare): frames a GIF or
  // WebP leaves out because they would be too short for players.
  const std::vector<std::string>& Notes() const { return FNotes; }

  // Renders and writes every file; `error` is one line when the status is not Done.
  TRenderStatus Run(std::string& error, const TProgress& progress = nullptr);
  // The same frames drawn and finished, never read back or written: what drawing alone costs.
  TRenderStatus DrawOnly(std::string& error);

private:
  TRenderStatus Render(bool write, std::string& error, const TProgress& progress);
  bool CheckSizes(std::string& error) const;

  TSpriteOptions FOptions;
  bots::TMD2& FBody;
  bots::TMD2* FWeapon;
  std::vector<TSpriteAnimation> FAnimations;
  std::vector<std::vector<TPose>> FPoses;  // of each animation
  std::vector<int32_t> FDirections;        // the directions rendered
  std::vector<std::string> FNotes;
};

}  // namespace quarn::sprites
