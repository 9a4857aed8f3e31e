#include "shell/BotHost.h"

#include <algorithm>
#include <cmath>

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
// The mouse wheel moves the eye along its line to the point looked at, a tenth closer per
// notch, between these distances (model units; the far plane is at 1000).
constexpr float kZoomPerNotch = 0.9f;
constexpr float kMinDistance = 20.0f;
constexpr float kMaxDistance = 800.0f;
// How far the view may tilt above or below level, in degrees: short of straight down or up,
// so the camera never passes over the top of the model or under it.
constexpr float kMaxPitch = 85.0f;
constexpr float kRadiansPerDegree = 3.14159265358979f / 180.0f;
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
  ResetCamera();
}

void TBotHost::ResetCamera()
{
  FCamera->Eye = render::Vector(-200, 100, 0);
  FCamera->Center = render::Vector(0, 30, 0);
  FCamera->Rotation = render::Vector(-90, 23, 0);
  FCamera->Turn = 0;
}

void TBotHost::Zoom(int notches)
{
  if (notches == 0) return;
  render::TVector& eye = FCamera->Eye;
  const render::TVector& center = FCamera->Center;
  const float dx = eye.x - center.x, dy = eye.y - center.y, dz = eye.z - center.z;
  const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (!(distance > 0)) return;
  const float wanted = distance * std::pow(kZoomPerNotch, static_cast<float>(notches));
  const float scale = std::clamp(wanted, kMinDistance, kMaxDistance) / distance;
  eye.x = center.x + dx * scale;
  eye.y = center.y + dy * scale;
  eye.z = center.z + dz * scale;
}

float TBotHost::LevelPitch() const
{
  // The model's up axis turns about its y axis by Rotation.y and then by -90 about x, which
  // lays it in the x-y plane of the look-at space at Rotation.y degrees from y toward x; the
  // view is level when that axis is square to the line of sight.
  const float dx = FCamera->Center.x - FCamera->Eye.x, dy = FCamera->Center.y - FCamera->Eye.y;
  if (dx == 0 && dy == 0) return 0;
  return std::atan2(-dy, dx) / kRadiansPerDegree;
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
  const float level = LevelPitch();
  rotation.y = std::clamp(rotation.y, level - kMaxPitch, level + kMaxPitch);
  rotation.z = 0;
  FCamera->Rotation = rotation;
  FCamera->Turn += static_cast<float>(kCursorCentreX - x) * kDegreesPerPixel;
  Zoom(platform::TakeMouseWheel());
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
