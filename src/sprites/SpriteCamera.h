#pragma once
#include <cstdint>
#include <vector>

#include "model/Bounds.h"
#include "render/Camera.h"

namespace quarn::bots {
class TMD2;
}

namespace quarn::sprites {

// A box in the models' own coordinates.
using model::TBox;

// The box holding every keyframe from first to last of the body and, when given and loaded,
// the weapon (frames clamped as the models draw them). Blended poses lie between keyframes,
// so the box holds them too.
TBox AnimationBounds(const bots::TMD2& body, const bots::TMD2* weapon, int32_t first, int32_t last);

// The box holding every keyframe of the body and the weapon: what one scale for the whole
// model frames.
TBox ModelBounds(const bots::TMD2& body, const bots::TMD2* weapon);

// Every vertex of keyframes first to last of the body and, when given, the weapon (x, y, z
// after each other, frames clamped as the models draw them): blended poses lie between them.
std::vector<float> FramePoints(const bots::TMD2& body, const bots::TMD2* weapon, int32_t first,
                               int32_t last);

// How the models are looked at: the viewer's fitted camera (the model stood up, its front
// towards the eye, looked down on from Elevation degrees), turned by Yaw degrees and Direction
// of Directions full turns about the model's up axis.
struct TViewSetup {
  TBox Bounds;
  std::vector<float> Points;  // what the frame must hold (x, y, z after each other); none: Bounds
  int32_t Directions = 8;
  double Yaw = 0;
  double Elevation = 30;
  double PixelsPerUnit = 0;  // orthographic only; 0: the scale that fits Bounds
  int32_t Width = 128;
  int32_t Height = 128;
  bool Perspective = false;
  double FieldOfView = 30;
};

// A point of the frame in pixels from its top left corner.
struct TPixelPoint {
  double X = 0;
  double Y = 0;
};

// The camera of the frames that share a scale: orthographic views share one scale over every
// direction, so that a sprite keeps its size through the animations and round the model.
class TSpriteCamera {
public:
  explicit TSpriteCamera(const TViewSetup& setup);

  // Loads the projection, viewport and model-view matrix of a direction (0..Directions-1).
  void Apply(int32_t direction);
  // Where the model's origin (a character's feet) lands in the frame of a direction.
  TPixelPoint Pivot(int32_t direction);

  // Room around the model: the viewer's margin round its bounding sphere.
  static constexpr double Margin = 1.05;

private:
  void Place(int32_t direction);

  TViewSetup FSetup;
  render::TVector FCentre{0, 0, 0, 0};
  render::TTargetCamera FCamera;
  double FRadius = 0.5;   // of the box's bounding sphere
  double FHalfWidth = 1;  // orthographic view, in model units
  double FHalfHeight = 1;
};

}  // namespace quarn::sprites
