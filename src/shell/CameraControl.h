#pragma once
#include <memory>
#include <optional>
#include <string>

#include "render/Camera.h"

namespace quarn::bots {
class TBot;
}

namespace quarn::shell {

// The camera around the bot: where it starts, the mouse turning it and its wheel zooming,
// framing the models, and the viewport and field of view.
class TCameraControl {
public:
  void Create(int viewportWidth, int viewportHeight);
  void Release();
  // Puts the camera back to its start view: the one kept by KeepStartView (a viewed model's
  // framing), else the demo's fixed view.
  void Reset();
  // Keeps the camera as it is now as the view Reset returns to, until ForgetStartView.
  void KeepStartView();
  void ForgetStartView() { FStartView.reset(); }
  // Moves the eye toward the point looked at (positive) or away, within fixed distances.
  void Zoom(int notches);
  // Turns by the mouse's motion and zooms by its wheel since the last call, then applies the
  // camera. With `onlyWithLeftButton` the motion turns nothing unless the left button is held
  // (the viewer shows the cursor, which may then go to the window's edges).
  void MouseLook(bool onlyWithLeftButton);
  // Turns by a mouse motion, within the tilt limits.
  void Turn(int dx, int dy);
  // Points the camera at the front (+x) of the bot's body and weapon, all of them in view over
  // the frames of the body's current animation; false with a reason when no model is loaded.
  bool Fit(bots::TBot& bot, std::string& reason);
  void Resize(int viewportWidth, int viewportHeight);
  void SetFieldOfView(double degrees);

  render::TTargetCamera& Camera() { return *FCamera; }

private:
  // The rotation about y at which the view looks level at the model.
  float LevelPitch() const;

  // Where Reset puts the camera (the fields Fit sets), when not the demo's view.
  struct TView {
    render::TVector Eye, Center, Rotation, Up, Target;
    float Turn;
    double NearPlane, FarPlane;
  };

  std::unique_ptr<render::TTargetCamera> FCamera;
  std::optional<TView> FStartView;
  render::TVector FFitCentre{};  // the framed model's centre, the camera's target once fitted
};

}  // namespace quarn::shell
