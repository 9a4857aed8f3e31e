#include "shell/CameraControl.h"

#include <algorithm>
#include <cmath>

#include "bots/Bot.h"
#include "model/Bounds.h"
#include "platform/Application.h"
#include "platform/Window.h"

namespace quarn::shell {

namespace {

constexpr float FitElevation = 15.0f;  // degrees the fitted camera looks down at the model
constexpr float FitMargin = 1.05f;     // room around the model's bounding sphere
constexpr double Pi = 3.14159265358979323846;

constexpr double DemoNearPlane = 1.0;
constexpr double DemoFarPlane = 1000.0;

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

void TCameraControl::Create(int viewportWidth, int viewportHeight)
{
  FCamera = std::make_unique<render::TTargetCamera>();
  FCamera->ViewVolume.ViewportWidth = viewportWidth;
  FCamera->ViewVolume.ViewportHeight = viewportHeight;
  FCamera->LookAtFirst = true;
  Reset();
}

void TCameraControl::Reset()
{
  render::TTargetCamera& camera = *FCamera;
  if (FStartView) {
    const TView& view = *FStartView;
    camera.Eye = view.Eye;
    camera.Center = view.Center;
    camera.Rotation = view.Rotation;
    camera.Up = view.Up;
    FFitCentre = view.Target;
    camera.Target = &FFitCentre;
    camera.Turn = view.Turn;
    camera.ViewVolume.NearPlane = view.NearPlane;
    camera.ViewVolume.FarPlane = view.FarPlane;
    return;
  }
  // The demo's view, also after FitCamera pointed the camera at a model's middle.
  camera.Eye = render::Vector(-200, 100, 0);
  camera.Center = render::Vector(0, 30, 0);
  camera.Rotation = render::Vector(-90, 23, 0);
  camera.Up = render::Vector(0, 1, 0);
  camera.Target = nullptr;
  camera.Turn = 0;
  camera.ViewVolume.NearPlane = DemoNearPlane;
  camera.ViewVolume.FarPlane = DemoFarPlane;
}

void TCameraControl::KeepStartView()
{
  const render::TTargetCamera& camera = *FCamera;
  FStartView = TView{camera.Eye,        camera.Center,
                     camera.Rotation,   camera.Up,
                     FFitCentre,        camera.Turn,
                     camera.ViewVolume.NearPlane, camera.ViewVolume.FarPlane};
}

void TCameraControl::Zoom(int notches)
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

float TCameraControl::LevelPitch() const
{
  // The model's up axis turns about its y axis by Rotation.y and then by -90 about x, which
  // lays it in the x-y plane of the look-at space at Rotation.y degrees from y toward x; the
  // view is level when that axis is square to the line of sight.
  const float dx = FCamera->Center.x - FCamera->Eye.x, dy = FCamera->Center.y - FCamera->Eye.y;
  if (dx == 0 && dy == 0) return 0;
  return std::atan2(-dy, dx) / RadiansPerDegree;
}

void TCameraControl::Release() { FCamera.reset(); }

void TCameraControl::MouseLook(bool onlyWithLeftButton)
{
  // Relative motion stands in for reading the cursor and moving it back to the centre.
  int dx = 0, dy = 0;
  platform::TakeMouseMotion(dx, dy);
  if (onlyWithLeftButton && !platform::LeftMouseButtonHeld()) dx = dy = 0;
  Turn(dx, dy);
  Zoom(platform::TakeMouseWheel());
  FCamera->Apply();
}

void TCameraControl::Turn(int dx, int dy)
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

void TCameraControl::Resize(int viewportWidth, int viewportHeight)
{
  if (!FCamera || viewportWidth <= 0 || viewportHeight <= 0) return;
  FCamera->ViewVolume.ViewportWidth = viewportWidth;
  FCamera->ViewVolume.ViewportHeight = viewportHeight;
}

void TCameraControl::SetFieldOfView(double degrees)
{
  if (FCamera) FCamera->ViewVolume.FieldOfView = degrees;
}

bool TCameraControl::Fit(bots::TBot& bot, std::string& reason)
{
  const bots::TMD2& body = bot.Model();
  if (!body.IsLoaded() || body.GetFrameCount() == 0 || body.GetVertexCount() == 0) {
    reason = "no model is loaded";
    return false;
  }
  // Bounds over the frames each model plays now, in the models' own coordinates.
  auto playing = [](const bots::TMD2& model) {
    return model::FrameBounds(model, model.StartFrame, model.EndFrame);
  };
  model::TBox box = playing(body);
  if (bot.HasWeapon()) box.Include(playing(bot.Weapon()));
  const render::TVector low = render::Vector(box.Low[0], box.Low[1], box.Low[2]);
  const render::TVector high = render::Vector(box.High[0], box.High[1], box.High[2]);

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

}  // namespace quarn::shell
