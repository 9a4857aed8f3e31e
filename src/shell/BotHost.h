#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bots/Bot.h"
#include "platform/Clock.h"
#include "render/Camera.h"
#include "render/DrawStyle.h"
#include "script/Script.h"
#include "shell/AnimationFile.h"
#include "shell/AnimationPlayback.h"
#include "shell/CameraControl.h"
#include "shell/ModelReport.h"
#include "shell/ModelViewer.h"

namespace quarn::render {
class TConsole;
class TGLFont;
}  // namespace quarn::render
namespace quarn::bots {
class TSoundManager;
}

namespace quarn::shell {

// The key map's action for the jump key (KEY_JUMP), Space's by default.
inline constexpr uint8_t DefaultJumpAction = 7;

// The scene: the camera (TCameraControl), the movement keys steering the bot, the bot itself,
// how it plays (TAnimationPlayback, TAnimationFile) and is drawn, and the frame-number overlay.
class TBotHost {
public:
  TBotHost();
  // Neither moved nor copied: the bot's state-change callback holds `this`.
  TBotHost(TBotHost&&) = delete;

  void CreateCamera(int viewportWidth, int viewportHeight);
  // Puts the eye, the point looked at and the turns back as they were at start-up.
  void ResetCamera() { FCameraControl.Reset(); }
  // Moves the eye toward the point looked at (positive) or away, within fixed distances.
  void Zoom(int notches) { FCameraControl.Zoom(notches); }
  void CreateKeyMapAndBot();
  // Frees the bot and the camera while the GL context still exists.
  void Release();

  void MouseLook();
  void AdvanceAndDrawBot();
  // The window pixels the last AdvanceAndDrawBot may have touched.
  render::TScreenArea DrawnArea() const { return FDrawnArea; }
  // The frame overlay on text row `row` (the playback form one row higher, clear of the FPS
  // overlay's row).
  void DrawFrameNumberOverlay(render::TGLFont& font, int32_t row);
  // "Frame:" and the body model's frame, or "-" while no bot is loaded.
  std::string FrameNumberText() const;

  // Sets or clears the movement mask of `key` in the held-down mask.
  void MovementKey(uint16_t key, bool down);
  // The key map: the action number of each virtual-key code (0: none). Rebinding a key that is
  // held down drops its old movement from the held-down mask, so its key-up leaves none behind.
  uint8_t KeyAction(uint16_t key) const { return key < 256 ? FKeyMap[key] : 0; }
  const TKeyMap& KeyMap() const { return FKeyMap; }
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
  // Plays an animation file (TAnimationFile) on the bot; EScriptError as TAnimationFile::Load
  // raises it.
  void LoadAnimationFile(const std::string& name);
  // For an error just reported with `message`: the line saying where it came from (the
  // animation file and its line), once; "" when there is none.
  std::string TakeFailureReason(const std::string& message);

  bool ShowFrameNumber() const { return FShowFrameNumber; }
  void SetShowFrameNumber(bool value)
  {
    FShowFrameNumber = value;
    FShowFrameName = FShowPlayback = false;
  }
  // The overlay as "Frame: N name", with the frame's recorded name; switching either form
  // on or off switches the overlay.
  bool ShowFrameName() const { return FShowFrameNumber && FShowFrameName; }
  void SetShowFrameName(bool value)
  {
    FShowFrameNumber = FShowFrameName = value;
    FShowPlayback = false;
  }

  // Whether the bot's models leave out the triangles turned away from the eye: on for a
  // viewed model, off for a bot file (its pictures stay as they have always been) until
  // SetCulling changes it.
  bool Culling() const { return FStyle.Culling; }
  void SetCulling(bool value);
  // How the models are drawn; handed to them before each draw. The background and field of
  // view are applied by SetFieldOfView and the window's frame.
  render::TDrawStyle& Style() { return FStyle; }
  void SetFieldOfView(double degrees);

  // The animation playback: the state machine or a chosen range, pause, speed, loop.
  TAnimationPlayback& Playback() { return FPlayback; }
  // The body's recorded animations (its frame groups), found when the bot was loaded.
  const std::vector<model::TAnimation>& Groups() const { return FPlayback.Groups(); }
  // Plays the group named `name` (matched as model::FindAnimations matches: any case, and a
  // repeated name plays its first run) or frames first..last of the body; false with the
  // reason when there is no such group or the frames are not the body's.
  bool PlayGroup(const std::string& name, std::string& reason);
  bool PlayFrames(int32_t first, int32_t last, std::string& reason);
  // A viewer key (TModelViewer::ViewerKey) on the bot and its playback; when it is one, the
  // overlay switches to its playback form.
  bool ViewerKey(uint16_t key, std::string& message);
  // The overlay as "Frame: " and the playback's text (group, frame, place, blend).
  bool ShowPlayback() const { return FShowFrameNumber && FShowPlayback; }
  void SetShowPlayback(bool value)
  {
    FShowFrameNumber = FShowPlayback = value;
    FShowFrameName = false;
  }

  // The viewing of a model (ViewModel): its skins, keys and what it lacks.
  TModelViewer& Viewer() { return FViewer; }
  // The window's client area changed: the camera's viewport follows.
  void Resize(int viewportWidth, int viewportHeight);

  bots::TBot& Bot() { return *FBot; }
  render::TTargetCamera& Camera() { return FCameraControl.Camera(); }
  uint16_t KeyState() const { return FKeyState; }
  bool AnimPlaying() const { return FAnimationFile.Playing(); }
  int32_t AnimIndex() const { return FAnimationFile.Index(); }
  // The bot's millisecond clock (replaceable for tests).
  platform::ClockFunc TickClock = platform::GetTickCount;

private:
  std::unique_ptr<bots::TBot> NewBot();
  // Called by the bot each time it enters a state: advances animation-file playback.
  void BotStateChanged();
  // After a bot is loaded: its frame groups, the playback back to the state machine.
  void BotLoaded();

  script::TScript FBotScript;  // runs bot files; the bot lends it its own registry
  TCameraControl FCameraControl;
  std::unique_ptr<bots::TBot> FBot;  // never null after start-up
  render::TScreenArea FDrawnArea;
  bool FShowFrameNumber = false;
  bool FShowFrameName = false;  // the overlay's named form
  bool FFitPending = false;     // frame the viewed model once it has been updated
  render::TDrawStyle FStyle;
  TAnimationPlayback FPlayback;
  bool FShowPlayback = false;  // the overlay's playback form
  TModelViewer FViewer;
  TKeyMap FKeyMap = {};    // action number of each virtual-key code
  uint16_t FKeyState = 0;  // movement mask held down
  TAnimationFile FAnimationFile;
};

}  // namespace quarn::shell
