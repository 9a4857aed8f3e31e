// The scene: the target camera turned by the mouse, the movement keys steering the bot, the
// bot itself, the frame-number overlay and animation-file playback.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/Application.h"
#include "platform/Paths.h"
#include "platform/VirtualKeys.h"
#include "script/Errors.h"
#include "script/Text.h"
#include "script/HostArgs.h"
#include "shell/MainForm.h"

namespace quarn::shell {

namespace {

struct KeyBinding {
  uint16_t key;
  uint8_t action;
};
// The default key map; every other key has action 0 (no movement).
constexpr KeyBinding kDefaultKeyMap[] = {
    {platform::VK_UP, 1},       // forward
    {platform::VK_DOWN, 2},     // back
    {platform::VK_SPACE, 7},    // jump
    {platform::VK_NUMPAD0, 8},  // crouch
    {platform::VK_RETURN, 9},   // primary attack
};

constexpr float kDegreesPerPixel = 5.0f / 100.0f;
constexpr int kCursorCentreX = 320;
constexpr int kCursorCentreY = 240;

}  // namespace

void TMainForm::CreateCamera()
{
  FCamera = std::make_unique<render::TTargetCamera>();
  FCamera->ViewVolume.ViewportWidth = FWindow->ClientWidth();
  FCamera->ViewVolume.ViewportHeight = FWindow->ClientHeight();
  FCamera->ViewVolume.NearPlane = 1.0;
  FCamera->ViewVolume.FarPlane = 1000.0;
  FCamera->LookAtFirst = true;
  FCamera->Eye = render::Vector(-200, 100, 0);
  FCamera->Center = render::Vector(0, 30, 0);
  FCamera->Rotation = render::Vector(-90, 23, 0);
  FCamera->Turn = 0;
}

void TMainForm::CreateKeyMapAndBot()
{
  std::fill(std::begin(FKeyMap), std::end(FKeyMap), uint8_t{0});
  for (const KeyBinding& binding : kDefaultKeyMap) FKeyMap[binding.key] = binding.action;
  FAnimLines.clear();
  FAnimPlaying = false;
  FBot = NewBot();
}

std::unique_ptr<bots::TBot> TMainForm::NewBot()
{
  auto bot = std::make_unique<bots::TBot>();
  bot->OnStateChange = [this] { BotStateChanged(); };
  return bot;
}

void TMainForm::MouseLook()
{
  // Relative motion stands in for reading the cursor and moving it back to the centre.
  int dx = 0, dy = 0;
  platform::TakeMouseMotion(dx, dy);
  const int x = kCursorCentreX + dx, y = kCursorCentreY + dy;
  render::TVector rotation = FCamera->Rotation;
  rotation.y += static_cast<float>(kCursorCentreY - y) * kDegreesPerPixel;
  rotation.z = 0;
  FCamera->Rotation = rotation;
  FCamera->Turn += static_cast<float>(kCursorCentreX - x) * kDegreesPerPixel;
  FCamera->Apply();
}

void TMainForm::AdvanceAndDrawBot()
{
  if (!FBot->Active()) return;
  FBot->Update(TickClock());
  FBot->Draw();
}

void TMainForm::DrawFrameNumberOverlay()
{
  if (FShowFrameNumber)
    FFont->Print(0, 17, "Frame:" + std::to_string(FBot->Model().CurrentFrame), 1);
}

void TMainForm::MovementKey(uint16_t key, bool down)
{
  const uint16_t bits = key < 256 ? bots::MovementMask(FKeyMap[key]) : 0;
  FKeyState = down ? static_cast<uint16_t>(FKeyState | bits) : static_cast<uint16_t>(FKeyState & ~bits);
}

void TMainForm::LoadBotFuncEval(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  FBot = NewBot();
  LinkBotSound(*FBot);
  FBot->Load(BotScript, *FConsole, platform::ExeDir() + name);
}

void TMainForm::FrameNoFuncEval(const script::TArgList& args)
{
  FShowFrameNumber = script::ArgBoolean(args, 0);
}

void TMainForm::LoadAnimationFileFuncEval(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  // Only regular files: a device or FIFO would be read forever or block the program.
  std::error_code kind;
  if (!std::filesystem::is_regular_file(name, kind))
    throw script::EScriptError("Animation file" + name + " not found");
  std::ifstream in(name, std::ios::binary);
  if (!in) throw script::EScriptError("Animation file" + name + " not found");
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  FAnimLines = render::SplitLines(text);
  FAnimPlaying = true;
  FAnimIndex = 0;
  if (FAnimLines.size() > 1) {
    FBot->SetKeys(static_cast<uint16_t>(script::StrToInt(FAnimLines[0])));
    FAnimIndex = 1;
  } else {
    FAnimPlaying = false;
  }
}

void TMainForm::BotStateChanged()
{
  if (!FAnimPlaying) return;
  // The last line is never applied: playback ends at the state change after the one before it.
  if (static_cast<size_t>(FAnimIndex) + 1 < FAnimLines.size()) {
    FBot->SetKeys(static_cast<uint16_t>(script::StrToInt(FAnimLines[static_cast<size_t>(FAnimIndex)])));
    ++FAnimIndex;
  } else {
    FAnimPlaying = false;
  }
}

}  // namespace quarn::shell
