#include "shell/BotHost.h"

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/Application.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"
#include "model/Animations.h"
#include "render/Console.h"
#include "render/GLFont.h"

namespace quarn::shell {

namespace {

struct KeyBinding {
  uint16_t key;
  uint8_t action;
};
// The default key map; every other key has action 0 (no movement).
constexpr KeyBinding DefaultKeyMap[] = {
    {platform::VK_UP, 1},    // forward
    {platform::VK_DOWN, 2},  // back
    {platform::VK_SPACE, DefaultJumpAction},
    {platform::VK_NUMPAD0, 8},  // crouch
    {platform::VK_RETURN, 9},   // primary attack
};

}  // namespace

TBotHost::TBotHost()
{
  FBotScript.Exceptions = true;
  FBotScript.Blocking = false;
}

void TBotHost::CreateCamera(int viewportWidth, int viewportHeight)
{
  FCameraControl.Create(viewportWidth, viewportHeight);
}

void TBotHost::MouseLook()
{
  // The viewer shows the cursor and turns the camera only while the left button is held, so
  // the mouse can go to the window's edges without turning the model.
  FCameraControl.MouseLook(FViewer.Viewing());
}

bool TBotHost::FitCamera(std::string& reason) { return FCameraControl.Fit(*FBot, reason); }

void TBotHost::CreateKeyMapAndBot()
{
  std::fill(std::begin(FKeyMap), std::end(FKeyMap), uint8_t{0});
  for (const KeyBinding& binding : DefaultKeyMap) FKeyMap[binding.key] = binding.action;
  FAnimationFile.Clear();
  FBot = NewBot();
}

void TBotHost::Release()
{
  FAnimationFile.Clear();
  FBot.reset();
  FCameraControl.Release();
}

std::unique_ptr<bots::TBot> TBotHost::NewBot()
{
  auto bot = std::make_unique<bots::TBot>();
  bot->OnStateChange = [this] { BotStateChanged(); };
  bot->SetKeys(FKeyState);  // keys held while it loads count from its first state
  return bot;
}

void TBotHost::AdvanceAndDrawBot()
{
  FDrawnArea = {};
  if (!FBot->Active()) return;
  FPlayback.Advance(*FBot, TickClock());
  if (FFitPending) {
    FFitPending = false;
    std::string reason;
    if (FitCamera(reason)) {
      FCameraControl.KeepStartView();  // ResetCamera comes back to it
      FCameraControl.Camera().Apply();
    }
  }
  FBot->Model().Style = FStyle;
  FBot->Weapon().Style = FStyle;
  FBot->Draw();
  FDrawnArea = FBot->DrawnArea();
}

void TBotHost::DrawFrameNumberOverlay(render::TGLFont& font, int32_t row)
{
  if (FShowFrameNumber) font.Print(0, FShowPlayback ? row - 1 : row, FrameNumberText(), 1);
}

std::string TBotHost::FrameNumberText() const
{
  if (!FBot->Active()) return "Frame:-";
  const bots::TMD2& model = FBot->Model();
  if (FShowPlayback) {
    const std::string group = FPlayback.GroupAt(model.CurrentFrame);
    return "Frame: " + FPlayback.Text(model, group.empty() ? "-" : group);
  }
  if (FShowFrameName)
    return "Frame: " + std::to_string(model.CurrentFrame) + " " +
           model.FrameName(model.CurrentFrame);
  return "Frame:" + std::to_string(model.CurrentFrame);
}

void TBotHost::MovementKey(uint16_t key, bool down)
{
  const uint16_t bits = key < 256 ? bots::MovementMask(FKeyMap[key]) : 0;
  FKeyState =
      down ? static_cast<uint16_t>(FKeyState | bits) : static_cast<uint16_t>(FKeyState & ~bits);
}

void TBotHost::SetKeyAction(uint16_t key, uint8_t action)
{
  if (key >= 256) return;
  FKeyState = static_cast<uint16_t>(FKeyState & ~bots::MovementMask(FKeyMap[key]));
  FKeyMap[key] = action;
}

void TBotHost::SetCulling(bool value)
{
  FStyle.Culling = value;
  if (FBot) FBot->Model().Culling = FBot->Weapon().Culling = value;
}

void TBotHost::SteerBot()
{
  if (FBot) FBot->SetKeys(FKeyState);
}

void TBotHost::LoadBot(const std::string& fileName, render::TConsole& console,
                       bots::TSoundManager* sounds)
{
  FBot = NewBot();
  FBot->SoundManager = sounds;
  FFitPending = false;
  FCameraControl.ForgetStartView();
  SetCulling(false);
  FViewer.Leave();
  try {
    FBot->Load(FBotScript, console, fileName);
  } catch (...) {
    BotLoaded();
    throw;
  }
  BotLoaded();
}

void TBotHost::BotLoaded()
{
  FPlayback.Reset(FBot->Model().IsLoaded() ? model::RecordedAnimations(FBot->Model())
                                          : std::vector<model::TAnimation>{});
  // A load frees the last bot's decoded models and skins and makes the new one's: the heap's
  // free pieces would otherwise be kept by the allocator and grow with every load.
  malloc_trim(0);
}

void TBotHost::LoadBotText(const std::string& name, const std::string& text,
                           const std::string& baseDir, render::TConsole& console,
                           bots::TSoundManager* sounds)
{
  FBot = NewBot();
  FBot->SoundManager = sounds;
  FBot->BaseDir = baseDir;
  FBot->SummariseStates = true;  // the program's own bot file: its states are no news
  FBot->LoadText(FBotScript, console, name, text);
  BotLoaded();
}

void TBotHost::ViewModel(const TViewRequest& request, render::TConsole& console,
                         bots::TSoundManager* sounds)
{
  TViewerBot viewed;
  if (!FViewer.Prepare(request, console, viewed)) return;
  LoadBotText(viewed.Name, viewed.Text, "", console, sounds);
  if (!FBot->Active() && viewed.Skinned) {
    console.AddWrapped("The skins could not be loaded; the models are drawn untextured");
    LoadBotText(viewed.Name, viewed.PlainText, "", console, sounds);
  }
  // Framed after the first frame, once the bot shows its first state's animation.
  if (FBot->Active()) FFitPending = true;
  SetCulling(true);
  // Space pauses and resumes in the viewer instead of jumping.
  if (KeyAction(platform::VK_SPACE) == DefaultJumpAction) SetKeyAction(platform::VK_SPACE, 0);
  FViewer.Shown(request.Model, *FBot, FKeyMap, console);
}

void TBotHost::LoadAnimationFile(const std::string& name)
{
  FAnimationFile.Load(name, *FBot, FKeyState);
}

std::string TBotHost::TakeFailureReason(const std::string& message)
{
  return FAnimationFile.TakeFailureReason(message);
}

void TBotHost::BotStateChanged() { FAnimationFile.StateChanged(*FBot, FKeyState); }

}  // namespace quarn::shell
