#include "shell/BotHost.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "script/Errors.h"
#include "script/Text.h"

namespace quarn::shell {

namespace {

constexpr uint8_t DefaultJumpAction = 7;

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

constexpr float FitElevation = 15.0f;  // degrees the fitted camera looks down at the model
constexpr float FitMargin = 1.05f;     // room around the model's bounding sphere
constexpr double Pi = 3.14159265358979323846;

constexpr float DegreesPerPixel = 5.0f / 100.0f;
// The mouse wheel moves the eye along its line to the point looked at, a tenth closer per
// notch, between these distances (model units; the far plane is at 1000).
constexpr float ZoomPerNotch = 0.9f;
constexpr float MinDistance = 20.0f;
constexpr float MaxDistance = 800.0f;
// How far the view may tilt above or below level, in degrees: short of straight down or up,
// so the camera never passes over the top of the model or under it.
constexpr float MaxPitch = 85.0f;
constexpr float RadiansPerDegree = 3.14159265358979f / 180.0f;
constexpr int CursorCentreX = 320;
constexpr int CursorCentreY = 240;

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
  const float wanted = distance * std::pow(ZoomPerNotch, static_cast<float>(notches));
  const float scale = std::clamp(wanted, MinDistance, MaxDistance) / distance;
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
  return std::atan2(-dy, dx) / RadiansPerDegree;
}

void TBotHost::CreateKeyMapAndBot()
{
  std::fill(std::begin(FKeyMap), std::end(FKeyMap), uint8_t{0});
  for (const KeyBinding& binding : DefaultKeyMap) FKeyMap[binding.key] = binding.action;
  FAnimText.clear();
  FAnimNext = 0;
  FAnimPlaying = false;
  FBot = NewBot();
}

void TBotHost::Release()
{
  FAnimText.clear();
  FAnimNext = 0;
  FBot.reset();
  FCamera.reset();
}

std::unique_ptr<bots::TBot> TBotHost::NewBot()
{
  auto bot = std::make_unique<bots::TBot>();
  bot->OnStateChange = [this] { BotStateChanged(); };
  bot->SetKeys(FKeyState);  // keys held while it loads count from its first state
  return bot;
}

void TBotHost::MouseLook()
{
  // Relative motion stands in for reading the cursor and moving it back to the centre. The
  // viewer shows the cursor and turns the camera only while the left button is held, so the
  // mouse can go to the window's edges without turning the model.
  int dx = 0, dy = 0;
  platform::TakeMouseMotion(dx, dy);
  if (FViewing && !platform::LeftMouseButtonHeld()) dx = dy = 0;
  Turn(dx, dy);
  Zoom(platform::TakeMouseWheel());
  FCamera->Apply();
}

void TBotHost::Turn(int dx, int dy)
{
  const int x = CursorCentreX + dx, y = CursorCentreY + dy;
  render::TVector rotation = FCamera->Rotation;
  rotation.y += static_cast<float>(CursorCentreY - y) * DegreesPerPixel;
  const float level = LevelPitch();
  rotation.y = std::clamp(rotation.y, level - MaxPitch, level + MaxPitch);
  rotation.z = 0;
  FCamera->Rotation = rotation;
  FCamera->Turn += static_cast<float>(CursorCentreX - x) * DegreesPerPixel;
}

void TBotHost::AdvanceAndDrawBot()
{
  FDrawnArea = {};
  if (!FBot->Active()) return;
  FPlayback.Advance(*FBot, TickClock());
  if (FFitPending) {
    FFitPending = false;
    std::string reason;
    if (FitCamera(reason)) FCamera->Apply();
  }
  FBot->Model().Style = FStyle;
  FBot->Weapon().Style = FStyle;
  FBot->Draw();
  FDrawnArea = FBot->DrawnArea();
}

void TBotHost::DrawFrameNumberOverlay(render::TGLFont& font)
{
  if (FShowFrameNumber) font.Print(0, 17, FrameNumberText(), 1);
}

std::string TBotHost::FrameNumberText() const
{
  if (!FBot->Active()) return "Frame:-";
  const bots::TMD2& model = FBot->Model();
  if (FShowPlayback) {
    std::string group;
    for (const TFrameGroup& g : FGroups)
      if (model.CurrentFrame >= g.First && model.CurrentFrame <= g.Last) group = g.Name;
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
  SetCulling(false);
  if (FViewing) platform::ShowCursor(false);  // the mouse turns the camera again
  FViewing = false;
  FViewedModel.clear();
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
  FPlayback.Reset();
  FGroups = FBot->Model().IsLoaded() ? FrameGroups(FBot->Model()) : std::vector<TFrameGroup>{};
}

void TBotHost::LoadBotText(const std::string& name, const std::string& text,
                           const std::string& baseDir, render::TConsole& console,
                           bots::TSoundManager* sounds)
{
  FBot = NewBot();
  FBot->SoundManager = sounds;
  FBot->BaseDir = baseDir;
  FBot->LoadText(FBotScript, console, name, text);
  BotLoaded();
}

namespace {

bool IsImageFile(const std::string& name)
{
  std::error_code error;
  return std::filesystem::is_regular_file(name, error);
}

// The skin to show on the model at `modelPath`: `given` when it names a file, else the one
// the search finds; "" with the reasons on the console when there is none.
std::string ChooseSkin(const std::string& modelPath, const std::string& given,
                       render::TConsole& console)
{
  if (!given.empty()) {
    if (IsImageFile(given)) return given;
    console.Add("Skin " + given + " not found; " + modelPath + " is drawn untextured");
    return {};
  }
  bots::TMD2 probe;
  if (!probe.LoadFromFile(modelPath)) return {};  // the model's own load reports it
  const TSkinSearch search = FindSkin(modelPath, probe.SkinNames());
  for (const std::string& refused : search.Refused) console.AddWrapped("Skin name " + refused);
  if (search.Skipped > 0)
    console.AddWrapped("Skin names: " + std::to_string(search.Skipped) + " more recorded in " +
                       modelPath + " were not looked for (only the first " +
                       std::to_string(MaxSkinNames) + " are)");
  if (!search.Found.empty()) return search.Found;
  console.AddWrapped("No skin found for " + modelPath + "; " + modelPath +
                     " is drawn untextured. Tried:");
  for (const std::string& tried : search.Tried) console.AddWrapped("  " + tried);
  return {};
}

std::string BaseName(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void TBotHost::ViewModel(const TViewRequest& request, render::TConsole& console,
                         bots::TSoundManager* sounds)
{
  for (const std::string* name :
       {&request.Model, &request.Skin, &request.Weapon, &request.WeaponSkin}) {
    std::string literal;
    if (!QuoteScriptString(*name, literal)) {
      console.AddWrapped("Cannot view: a file name holds a control character");
      return;
    }
  }
  std::string weapon = request.Weapon;
  if (!weapon.empty()) {
    bots::TMD2 probe;
    if (!probe.LoadFromFile(weapon)) {
      console.AddWrapped("Weapon model " + weapon + " not found; the model is shown without it");
      console.AddWrapped("  " + bots::MD2LastError());
      weapon.clear();
    }
  }
  const std::string skin = ChooseSkin(request.Model, request.Skin, console);
  const std::string weaponSkin =
      weapon.empty() ? std::string() : ChooseSkin(weapon, request.WeaponSkin, console);

  const std::string name = BaseName(request.Model) + " (view)";
  LoadBotText(name, ViewerBotText(request.Model, skin, weapon, weaponSkin), "", console, sounds);
  if (!FBot->Active() && (!skin.empty() || !weaponSkin.empty())) {
    console.AddWrapped("The skins could not be loaded; the models are drawn untextured");
    LoadBotText(name, ViewerBotText(request.Model, "", weapon, ""), "", console, sounds);
  }
  // Framed after the first frame, once the bot shows its first state's animation.
  FFitPending = FBot->Active();
  SetCulling(true);
  if (!FViewing) platform::ShowCursor(true);
  FViewing = true;
  FViewedModel = request.Model;
  // Space pauses and resumes in the viewer instead of jumping.
  if (FKeyMap[platform::VK_SPACE] == DefaultJumpAction) SetKeyAction(platform::VK_SPACE, 0);
  if (FBot->Active()) ReportMisfits(console);
}

bool TBotHost::FitCamera(std::string& reason)
{
  const bots::TMD2& body = FBot->Model();
  if (!body.IsLoaded() || body.GetFrameCount() == 0 || body.GetVertexCount() == 0) {
    reason = "no model is loaded";
    return false;
  }
  // Bounds over the frames the body plays now, in the models' own coordinates.
  render::TVector low = body.GetVertex(body.StartFrame, 0), high = low;
  auto include = [&](const bots::TMD2& model) {
    const int32_t first = std::min(model.StartFrame, model.EndFrame);
    const int32_t last =
        std::min(std::max(model.StartFrame, model.EndFrame), model.GetFrameCount() - 1);
    for (int32_t frame = std::max(first, 0); frame <= std::max(last, first); ++frame)
      for (int32_t i = 0; i < model.GetVertexCount(); ++i) {
        const render::TVector v = model.GetVertex(frame, i);
        low = render::Vector(std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z));
        high = render::Vector(std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z));
      }
  };
  include(body);
  if (FBot->HasWeapon() && FBot->Weapon().IsLoaded() && FBot->Weapon().GetVertexCount() > 0)
    include(FBot->Weapon());

  FFitCentre = render::Vector((low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2);
  const double dx = high.x - low.x, dy = high.y - low.y, dz = high.z - low.z;
  const double radius = std::max(std::sqrt(dx * dx + dy * dy + dz * dz) / 2, 0.5);

  render::TViewVolume& volume = FCamera->ViewVolume;
  const double halfHeight = volume.FieldOfView * Pi / 360;
  const double aspect =
      volume.ViewportHeight > 0 ? double(volume.ViewportWidth) / volume.ViewportHeight : 1;
  const double halfWidth = std::atan(std::tan(halfHeight) * aspect);
  const double distance = radius * FitMargin / std::sin(std::min(halfHeight, halfWidth));
  volume.NearPlane = std::clamp((distance - radius) / 2, 0.01, 1.0);
  volume.FarPlane = std::max(1000.0, (distance + radius) * 2);

  // The model turned half round (its +x towards the eye) and stood up (z up), then moved so
  // that its centre is the point looked at: the mouse turns it about its own middle.
  const double elevation = FitElevation * Pi / 180;
  FCamera->Target = &FFitCentre;
  FCamera->Turn = 180;
  FCamera->Rotation = render::Vector(-90, 0, 0);
  FCamera->Up = render::Vector(0, 1, 0);
  FCamera->Center = render::Vector(0, 0, 0);
  FCamera->Eye = render::Vector(static_cast<float>(-distance * std::cos(elevation)),
                                static_cast<float>(distance * std::sin(elevation)), 0);
  return true;
}

namespace {

// Longest piece of a bad line quoted in its message.
constexpr size_t QuotedLineLength = 40;

// Text is what a line of masks is made of: control characters other than line ends and tabs
// (a NUL above all) mean a file of another kind.
bool IsText(std::string_view text)
{
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\n' && c != '\r' && c != '\t') || u == 0x7F;
  });
}

}  // namespace

void TBotHost::LoadAnimationFile(const std::string& name)
{
  // Only regular files: a device or FIFO would be read forever or block the program.
  // The text is kept whole and read a line at a time, with a limit on its size.
  std::string text;
  std::string error;
  switch (platform::ReadWholeFile(name, text, platform::MaxTextFileSize, error)) {
    case platform::TReadStatus::Missing:
      throw script::EScriptError("Animation file" + name + " not found");
    case platform::TReadStatus::Failed: throw script::EScriptError(error);
    case platform::TReadStatus::Ok: break;
  }
  if (!IsText(text))
    throw script::EScriptError("Animation file " + name + " is not a text file; it was not played");
  FAnimText = std::move(text);
  FAnimName = name;
  FAnimPlaying = true;
  FAnimIndex = 0;
  FAnimNext = 0;
  std::string_view first;
  const size_t second = render::NextLine(FAnimText, 0, first);
  if (second < FAnimText.size()) {  // more than one line
    // A bot that has not reached its first state yet takes the line when it does, and that
    // first state change does not move playback on.
    FAnimWaitsForState = FBot->Automata().Current() < 0;
    FBot->SetKeys(AnimationMask(first, 0));
    FAnimIndex = 1;
    FAnimNext = second;
  } else {
    StopAnimation();
  }
}

uint16_t TBotHost::AnimationMask(std::string_view line, int32_t index) const
{
  try {
    return static_cast<uint16_t>(script::StrToInt(line));
  } catch (const script::Exception&) {
    const std::string quoted = line.size() > QuotedLineLength
                                   ? std::string(line.substr(0, QuotedLineLength)) + "..."
                                   : std::string(line);
    throw script::EScriptError("Animation file " + FAnimName + " line " +
                               std::to_string(index + 1) + ": '" + quoted +
                               "' is not a valid integer value");
  }
}

void TBotHost::StopAnimation()
{
  FAnimPlaying = false;
  FAnimWaitsForState = false;
  // The file's last mask is let go as keys are released: the bot goes on with the keys held.
  if (FBot) FBot->SetKeys(FKeyState);
}

void TBotHost::BotStateChanged()
{
  if (!FAnimPlaying) return;
  if (FAnimWaitsForState) {
    // The bot's first state: the first line applies now (a bot loaded meanwhile never had it).
    FAnimWaitsForState = false;
    std::string_view first;
    render::NextLine(FAnimText, 0, first);
    FBot->SetKeys(AnimationMask(first, 0));
    return;
  }
  // The last line is never applied: playback ends at the state change after the one before it.
  std::string_view line;
  const size_t next = FAnimNext < FAnimText.size() ? render::NextLine(FAnimText, FAnimNext, line)
                                                   : FAnimText.size();
  if (next < FAnimText.size()) {
    FBot->SetKeys(AnimationMask(line, FAnimIndex));
    ++FAnimIndex;
    FAnimNext = next;
  } else {
    StopAnimation();
  }
}

}  // namespace quarn::shell
