#include "shell/BotHost.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/VirtualKeys.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "script/Errors.h"
#include "script/Text.h"

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

TBotHost::TBotHost()
{
  FBotScript.Exceptions = true;
  FBotScript.Blocking = false;
}

TBotHost::~TBotHost() = default;

void TBotHost::CreateCamera(int viewportWidth, int viewportHeight)
{
  FCamera = std::make_unique<render::TTargetCamera>();
  FCamera->ViewVolume.ViewportWidth = viewportWidth;
  FCamera->ViewVolume.ViewportHeight = viewportHeight;
  FCamera->ViewVolume.NearPlane = 1.0;
  FCamera->ViewVolume.FarPlane = 1000.0;
  FCamera->LookAtFirst = true;
  FCamera->Eye = render::Vector(-200, 100, 0);
  FCamera->Center = render::Vector(0, 30, 0);
  FCamera->Rotation = render::Vector(-90, 23, 0);
  FCamera->Turn = 0;
}

void TBotHost::CreateKeyMapAndBot()
{
  std::fill(std::begin(FKeyMap), std::end(FKeyMap), uint8_t{0});
  for (const KeyBinding& binding : kDefaultKeyMap) FKeyMap[binding.key] = binding.action;
  FAnimLines.clear();
  FAnimPlaying = false;
  FBot = NewBot();
}

void TBotHost::Release()
{
  FAnimLines.clear();
  FBot.reset();
  FCamera.reset();
}

std::unique_ptr<bots::TBot> TBotHost::NewBot()
{
  auto bot = std::make_unique<bots::TBot>();
  bot->OnStateChange = [this] { BotStateChanged(); };
  return bot;
}

void TBotHost::MouseLook()
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

void TBotHost::AdvanceAndDrawBot()
{
  if (!FBot->Active()) return;
  FBot->Update(TickClock());
  FBot->Draw();
}

void TBotHost::DrawFrameNumberOverlay(render::TGLFont& font)
{
  if (FShowFrameNumber) font.Print(0, 17, "Frame:" + std::to_string(FBot->Model().CurrentFrame), 1);
}

void TBotHost::MovementKey(uint16_t key, bool down)
{
  const uint16_t bits = key < 256 ? bots::MovementMask(FKeyMap[key]) : 0;
  FKeyState = down ? static_cast<uint16_t>(FKeyState | bits) : static_cast<uint16_t>(FKeyState & ~bits);
}

void TBotHost::SetKeyAction(uint16_t key, uint8_t action)
{
  if (key >= 256) return;
  FKeyState = static_cast<uint16_t>(FKeyState & ~bots::MovementMask(FKeyMap[key]));
  FKeyMap[key] = action;
}

void TBotHost::SteerBot()
{
  if (FBot) FBot->SetKeys(FKeyState);
}

void TBotHost::LoadBot(const std::string& fileName, render::TConsole& console, bots::TSoundManager* sounds)
{
  FBot = NewBot();
  FBot->SoundManager = sounds;
  FBot->Load(FBotScript, console, fileName);
}

void TBotHost::LoadAnimationFile(const std::string& name)
{
  // Only regular files: a device or FIFO would be read forever or block the program.
  std::string text;
  if (!platform::ReadWholeFile(name, text, platform::TFileKinds::Regular))
    throw script::EScriptError("Animation file" + name + " not found");
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

void TBotHost::BotStateChanged()
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
