#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bots/Bot.h"
#include "platform/Clock.h"
#include "render/Camera.h"
#include "script/Script.h"
#include "shell/ModelViewer.h"

namespace quarn::render {
class TConsole;
class TGLFont;
}  // namespace quarn::render
namespace quarn::bots {
class TSoundManager;
}

namespace quarn::shell {

// The scene: the target camera turned by the mouse, the movement keys steering the bot, the
// bot itself, the frame-number overlay and animation-file playback.
class TBotHost {
public:
  TBotHost();
  ~TBotHost();
  TBotHost(const TBotHost&) = delete;
  TBotHost& operator=(const TBotHost&) = delete;

  void CreateCamera(int viewportWidth, int viewportHeight);
  // Puts the eye, the point looked at and the turns back as they were at start-up.
  void ResetCamera();
  // Moves the eye toward the point looked at (positive) or away, within fixed distances.
  void Zoom(int notches);
  void CreateKeyMapAndBot();
  // Frees the bot and the camera while the GL context still exists.
  void Release();

  void MouseLook();
  void AdvanceAndDrawBot();
  // The window pixels the last AdvanceAndDrawBot may have touched.
  render::TScreenArea DrawnArea() const { return FDrawnArea; }
  void DrawFrameNumberOverlay(render::TGLFont& font);
  // "Frame:" and the body model's frame, or "-" while no bot is loaded.
  std::string FrameNumberText() const;

  // Sets or clears the movement mask of `key` in the held-down mask.
  void MovementKey(uint16_t key, bool down);
  // The key map: the action number of each virtual-key code (0: none). Rebinding a key that is
  // held down drops its old movement from the held-down mask, so its key-up leaves none behind.
  uint8_t KeyAction(uint16_t key) const { return key < 256 ? FKeyMap[key] : 0; }
  void SetKeyAction(uint16_t key, uint8_t action);
  // Hands the held-down mask to the bot, if there is one.
  void SteerBot();

  // Replaces the bot by one loaded from `fileName`, reporting on `console`.
  void LoadBot(const std::string& fileName, render::TConsole& console, bots::TSoundManager* sounds);
  // Replaces the bot by one built from a bot file's text held in memory, its file names
  // relative to `baseDir`; `name` stands for the file in messages.
  void LoadBotText(const std::string& name, const std::string& text, const std::string& baseDir,
                   render::TConsole& console, bots::TSoundManager* sounds);
  // Replaces the bot by the viewer's bot for `request` (skins found as FindSkin says) and
  // frames it; every problem is a console line.
  void ViewModel(const TViewRequest& request, render::TConsole& console,
                 bots::TSoundManager* sounds);
  // Points the camera at the front (+x) of the body and weapon, all of them in view over the
  // frames of the body's current animation; false with a reason when no model is loaded.
  bool FitCamera(std::string& reason);
  // Raises EScriptError when the file cannot be read or is not text, and for a first line
  // that is no mask (naming the file and the line; playback then retries it at the next
  // state change).
  void LoadAnimationFile(const std::string& name);

  bool ShowFrameNumber() const { return FShowFrameNumber; }
  void SetShowFrameNumber(bool value)
  {
    FShowFrameNumber = value;
    FShowFrameName = false;
  }
  // The overlay as "Frame: N name", with the frame's recorded name; switching either form
  // on or off switches the overlay.
  bool ShowFrameName() const { return FShowFrameNumber && FShowFrameName; }
  void SetShowFrameName(bool value) { FShowFrameNumber = FShowFrameName = value; }

  // Whether the bot's models leave out the triangles turned away from the eye: on for a
  // viewed model, off for a bot file (its pictures stay as they have always been) until
  // SetCulling changes it.
  bool Culling() const { return FCulling; }
  void SetCulling(bool value);

  bots::TBot& Bot() { return *FBot; }
  render::TTargetCamera& Camera() { return *FCamera; }
  uint16_t KeyState() const { return FKeyState; }
  bool AnimPlaying() const { return FAnimPlaying; }
  int32_t AnimIndex() const { return FAnimIndex; }
  // The bot's millisecond clock (replaceable for tests).
  platform::ClockFunc TickClock = platform::GetTickCount;

private:
  std::unique_ptr<bots::TBot> NewBot();
  // The rotation about y at which the view looks level at the model.
  float LevelPitch() const;
  // Called by the bot each time it enters a state: advances animation-file playback.
  void BotStateChanged();
  // The mask on the animation file's line `index` (0-based); EScriptError naming the file and
  // the line when it is no integer.
  uint16_t AnimationMask(std::string_view line, int32_t index) const;
  void StopAnimation();

  script::TScript FBotScript;  // runs bot files; the bot lends it its own registry
  std::unique_ptr<render::TTargetCamera> FCamera;
  std::unique_ptr<bots::TBot> FBot;  // never null after start-up
  render::TScreenArea FDrawnArea;
  bool FShowFrameNumber = false;
  bool FShowFrameName = false;   // the overlay's named form
  bool FFitPending = false;      // frame the viewed model once it has been updated
  bool FCulling = false;
  render::TVector FFitCentre{};  // the framed model's centre, the camera's target once fitted
  uint8_t FKeyMap[256] = {};     // action number of each virtual-key code
  uint16_t FKeyState = 0;        // movement mask held down
  std::string FAnimText;         // the animation file being played
  size_t FAnimNext = 0;          // where its next line to apply starts
  bool FAnimPlaying = false;
  int32_t FAnimIndex = 0;
  std::string FAnimName;  // the file's name, for messages
  // The first line came before the bot had a state: it applies when the bot enters one.
  bool FAnimWaitsForState = false;
};

}  // namespace quarn::shell
