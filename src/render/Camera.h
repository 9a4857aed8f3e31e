#pragma once
#include "render/OpenGL.h"
#include "render/Vector.h"

namespace quarn::render {

// Turns an eye, a point looked at, an up direction and three rotation angles into the
// projection and model-view matrices, once per frame before anything is drawn.
class TCamera {
public:
  TCamera() = default;
  virtual ~TCamera() = default;
  TCamera(const TCamera&) = delete;
  TCamera& operator=(const TCamera&) = delete;

  // Loads the projection and viewport, then the model-view matrix: the look-at transform
  // followed by the rotations about z, x, y when LookAtFirst, else the rotations about x, y, z
  // followed by the look-at transform. Does nothing while not Enabled.
  virtual void Apply();

  bool Enabled = true;
  TVector Eye = Vector(3, 3, 3);
  TVector Center = Vector(0, 0, 0);
  TVector Up = Vector(0, 1, 0);
  TVector Rotation{0, 0, 0, 0};  // degrees about x, y, z
  bool LookAtFirst = true;
  TViewVolume ViewVolume;
};

// The camera the demo uses: a further turn about z, applied after everything else, so it acts
// first on the drawn geometry (turning a z-up model about its own up axis).
class TTargetCamera : public TCamera {
public:
  // The turn is multiplied onto the current matrix even when the camera is disabled.
  void Apply() override;

  // Position of an object to keep in view, not owned; null (the default) follows nothing.
  // When set, Apply ends by moving that point to the origin of the view.
  const TVector* Target = nullptr;
  float Turn = 0;  // degrees about z
};

}  // namespace quarn::render
